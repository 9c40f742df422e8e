#include "app/headless/VideoEncoder.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <vector>

extern char** environ;

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

bool fileExists(const std::string& path) {
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::fclose(file);
        return true;
    }
    return false;
}

}  // namespace

VideoEncoder::~VideoEncoder() {
    finish();
}

bool VideoEncoder::start(const Settings& s) {
    path_ = s.path;
    frameBytes_ = static_cast<std::size_t>(s.width) * s.height * 4;
    failed_ = false;
    const bool withSound = fileExists(s.audioPath);
    if (!withSound)
        std::printf("No soundtrack at %s: %s will have no sound\n", s.audioPath.c_str(),
                    s.path.c_str());

    std::vector<std::string> args = {
        "ffmpeg",     "-hide_banner", "-loglevel",
        "error",      "-nostats",     "-y",
        "-f",         "rawvideo",     "-pix_fmt",
        "rgba",       "-s",           std::to_string(s.width) + "x" + std::to_string(s.height),
        "-framerate", number(s.fps),  "-i",
        "-"};
    if (withSound) {
        // Input options: decode from the first frame's position, exactly as long as the picture.
        args.insert(args.end(), {"-ss", number(s.audioStartSeconds), "-t", number(s.audioSeconds),
                                 "-i", s.audioPath, "-map", "0:v", "-map", "1:a"});
    }
    // GL rows come bottom first; yuv420p needs even sizes, so an odd last row or column goes.
    args.insert(args.end(), {"-vf", "vflip,crop=trunc(iw/2)*2:trunc(ih/2)*2", "-c:v", "libx264",
                             "-preset", "veryfast", "-crf", "20", "-pix_fmt", "yuv420p"});
    if (withSound) args.insert(args.end(), {"-c:a", "aac", "-b:a", "192k"});
    args.insert(args.end(), {"-movflags", "+faststart", s.path});

    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        std::printf("Cannot make a pipe to ffmpeg (%s)\n", std::strerror(errno));
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    const int error = posix_spawnp(&pid_, "ffmpeg", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    if (error != 0) {
        close(fds[1]);
        pid_ = -1;
        std::printf("Cannot start ffmpeg (%s): it is needed to write %s\n", std::strerror(error),
                    s.path.c_str());
        return false;
    }
    pipe_ = fds[1];
    // A dead ffmpeg must show up as a failed write, not end this process.
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

bool VideoEncoder::writeFrame(const std::uint8_t* rgba) {
    if (pipe_ < 0 || failed_) return false;
    std::size_t done = 0;
    while (done < frameBytes_) {
        const ssize_t n = write(pipe_, rgba + done, frameBytes_ - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = true;
            std::printf("ffmpeg stopped taking frames (%s)\n", std::strerror(errno));
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool VideoEncoder::finish() {
    if (pid_ < 0) return false;
    close(pipe_);
    pipe_ = -1;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (failed_ || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("ffmpeg failed: %s is not complete\n", path_.c_str());
        return false;
    }
    return true;
}
