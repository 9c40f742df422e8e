#pragma once
#include <sys/types.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A helper program the runner feeds (ffmpeg) in a process group of its own: Ctrl-C in the
// terminal reaches only the runner, which then ends the stream so that the child finishes its
// file, instead of both stopping at once. Its standard error is read by a thread, passed on to
// the runner's and its last line kept for the runner's own message. A child that cannot make
// progress after a stop signal is killed with its whole group.
class ChildProcess {
public:
    struct End {
        int status = 0;           // as waitpid gives it
        double cpuSeconds = 0.0;  // of the child and what it waited for
        bool killedStuck = false;
    };

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts args[0], found on PATH, with `input` as its standard input. 0, or the error number
    // of the failure.
    int start(std::vector<std::string> args, int input);
    bool started() const { return pid_ > 0; }
    // Waits for it to end. Once `stopRequested()` holds, a child that uses no CPU time for
    // `stuckSeconds` is killed with its group.
    End wait(const std::function<bool()>& stopRequested, double stuckSeconds);
    void killGroup();
    // The last line it wrote to its standard error, once it has ended.
    std::string lastErrorLine();

    // From a signal handler: kills the group of the child running now, if any.
    static void killRunningGroup();

private:
    void readErrors(int fd);
    double runningCpuSeconds() const;

    pid_t pid_ = -1;
    std::thread errorReader_;
    std::mutex mutex_;
    std::string lastLine_, partLine_;
    static std::atomic<pid_t> running_;
};
