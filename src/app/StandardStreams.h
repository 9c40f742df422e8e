#pragma once
// A program started with standard input, output or error closed (`2>&-`) would be given that
// descriptor for the next file it opens, and its progress lines, or a child's messages, would
// then be written into a PNG or a video. The first thing every Linux program does is to open
// each closed one on /dev/null.
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

inline void keepStandardStreamsOpen() {
    // open() takes the lowest free descriptor: the closed one, as 0..fd-1 are open by then.
    for (int fd = 0; fd <= 2; ++fd)
        if (fcntl(fd, F_GETFD) < 0 && open("/dev/null", O_RDWR) != fd) _exit(127);
}
#endif
