#include "app/headless/ChildProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

std::atomic<pid_t> ChildProcess::running_{-1};

ChildProcess::~ChildProcess() {
    if (started()) {
        killGroup();
        wait([] { return false; }, 0.0);
    }
}

int ChildProcess::start(std::vector<std::string> args, int input) {
    int errors[2];
    if (pipe2(errors, O_CLOEXEC) != 0) return errno;
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int error = posix_spawnp(&pid_, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(errors[1]);
    if (error != 0) {
        close(errors[0]);
        pid_ = -1;
        return error;
    }
    running_ = pid_;
    errorReader_ = std::thread(&ChildProcess::readErrors, this, errors[0]);
    return 0;
}

void ChildProcess::readErrors(int fd) {
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n <= 0) continue;
        ssize_t shown = 0;
        while (shown < n) {
            const ssize_t w = write(STDERR_FILENO, buffer + shown, static_cast<size_t>(n - shown));
            if (w <= 0) break;
            shown += w;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] == '\n' || buffer[i] == '\r') {
                if (!partLine_.empty()) lastLine_ = partLine_;
                partLine_.clear();
            } else if (partLine_.size() < 1000) {
                partLine_ += buffer[i];
            }
        }
    }
    close(fd);
}

// User and system time from /proc/PID/stat (fields 14 and 15, after the command's parentheses).
double ChildProcess::runningCpuSeconds() const {
    std::ifstream in("/proc/" + std::to_string(pid_) + "/stat");
    std::stringstream text;
    text << in.rdbuf();
    const std::string stat = text.str();
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return 0.0;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i >= 14) ticks += std::atol(field.c_str());
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

ChildProcess::End ChildProcess::wait(const std::function<bool()>& stopRequested,
                                     double stuckSeconds) {
    using Clock = std::chrono::steady_clock;
    End end;
    rusage usage{};
    double cpu = -1.0;
    Clock::time_point lastProgress = Clock::now();
    for (;;) {
        const pid_t done = wait4(pid_, &end.status, WNOHANG, &usage);
        if (done == pid_ || (done < 0 && errno != EINTR)) break;
        if (done == 0) {
            if (stopRequested()) {
                const double now = runningCpuSeconds();
                if (now != cpu) lastProgress = Clock::now();
                cpu = now;
                if (Clock::now() - lastProgress > std::chrono::duration<double>(stuckSeconds)) {
                    killGroup();
                    end.killedStuck = true;
                }
            }
            usleep(50 * 1000);
        }
    }
    running_ = -1;
    // Whatever it left behind in its group (a script's children) would keep its standard error
    // open, and the reader waiting.
    kill(-pid_, SIGKILL);
    pid_ = -1;
    if (errorReader_.joinable()) errorReader_.join();
    end.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    return end;
}

void ChildProcess::killGroup() {
    if (pid_ > 0) kill(-pid_, SIGKILL);
}

std::string ChildProcess::lastErrorLine() {
    std::lock_guard<std::mutex> lock(mutex_);
    return partLine_.empty() ? lastLine_ : partLine_;
}

void ChildProcess::killRunningGroup() {
    const pid_t pid = running_;
    if (pid > 0) kill(-pid, SIGKILL);
}
