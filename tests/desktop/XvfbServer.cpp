#include "XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

pid_t serverPid = -1;

void stopServer() {
    if (serverPid <= 0) return;
    kill(serverPid, SIGTERM);
    waitpid(serverPid, nullptr, 0);
    serverPid = -1;
}

// Xvfb picks a free display number and writes it to the descriptor given with -displayfd.
// -noreset: every test closes its connection, and a server resetting refuses the next one.
bool launch() {
    int fds[2];
    if (pipe(fds) != 0) return false;
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        close(fds[0]);
        if (int null = open("/dev/null", O_WRONLY); null >= 0) {
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1080x24",
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    serverPid = pid;
    std::atexit(stopServer);

    std::string number;
    pollfd readable = {fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&readable, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) {
        stopServer();
        return false;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    setenv("SDL_VIDEODRIVER", "x11", 1);
    return true;
}

}  // namespace

bool startPrivateXServer() {
    static const bool started = launch();
    return started;
}
