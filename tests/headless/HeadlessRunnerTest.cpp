// The headless runner as a user meets it: options it must refuse, capture writes that fail, a
// signal during a video capture, an ffmpeg that dies. None may hang, lose frames silently or end
// with exit code 0.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "support/ProgramRun.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

ProgramRun runHeadless(const std::string& arguments) {
    return runProgram(VELMORA_HEADLESS, arguments);
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string tempPath(const std::string& name) {
    return testing::TempDir() + "velmora_runner_" + std::to_string(getpid()) + "_" + name;
}

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string probe(const std::string& file, const char* stream, const char* entries) {
    return runProgram("ffprobe", "-v error -select_streams " + std::string(stream) +
                                     " -show_entries stream=" + entries + " -of csv=p=0 " + file)
        .output;
}

// The runner started in the background, its output going to a file.
class BackgroundRunner {
public:
    BackgroundRunner(const std::string& arguments, const std::string& log) : log_(log) {
        const std::string command =
            "exec " + programCommand(VELMORA_HEADLESS, arguments) + " > " + log + " 2>&1";
        const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
        if (posix_spawnp(&pid_, "sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
            pid_ = -1;
    }
    ~BackgroundRunner() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    // Waits (up to two minutes: sanitized builds load slowly) until the progress line shows.
    bool waitForFrames() {
        for (int i = 0; i < 1200 && pid_ > 0; ++i) {
            if (contains(fileText(log_), "\rframe ")) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    // ffmpeg, the runner's one child process.
    pid_t child() const {
        std::string children;
        for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid_) + "/task"))
            children += fileText(task.path().string() + "/children");
        return static_cast<pid_t>(std::atol(children.c_str()));
    }
    pid_t pid() const { return pid_; }
    int wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    std::string log_;
};

TEST(HeadlessRunner, RefusesMalformedAndOutOfRangeOptionsNamingThem) {
    const char* const bad[] = {
        "--size 100x100junk", "--size 0x100", "--size 20000x100", "--fps 30abc",
        "--fps 1e-300",       "--fps inf",    "--fps 5000",       "--frames 9223372036854775807",
        "--frames 12x",       "--from 1.5s",  "--times 1,,2",     "--supersample 5",
        "--supersample 2.5",  "--crf 52",     "--preset 720p",    "--png",
        "--bogus 1"};
    for (const char* arguments : bad) {
        const ProgramRun run = runHeadless(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments << "\n" << run.output;
        const std::string text = arguments, option = text.substr(0, text.find(' '));
        EXPECT_TRUE(contains(run.output, option)) << arguments << "\n" << run.output;
        EXPECT_FALSE(contains(run.output, "frames rendered")) << arguments;
    }
}

// --times 143b,10,20 used to render the first time only and say nothing of the two others.
TEST(HeadlessRunner, TimesPastTheEndAreNamedAndNothingIsRendered) {
    const ProgramRun run = runHeadless("--size 32x18 --times 143b,10,200,20");
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_TRUE(contains(run.output, "past the demo's end (bar 142, 191.46 s): 143b 200"))
        << run.output;
}

// The largest counts the options take end in arithmetic that holds: the range is cut at the
// demo's end (its last frame is the first past bar 142, 191.5 s at 10 fps).
TEST(HeadlessRunner, TheLargestValuesCannotOverflow) {
    ProgramRun run = runHeadless("--size 32x18 --fps 10 --from 191.3 --frames 1000000000");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(contains(run.output, "3 frames rendered")) << run.output;
    run = runHeadless("--size 32x18 --fps 1000 --from 900000000000");
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_TRUE(contains(run.output, "no frame in the range")) << run.output;
}

TEST(HeadlessRunner, BothLinuxProgramsExplainTheirOptions) {
    for (const char* program : {VELMORA_HEADLESS, VELMORA_DESKTOP}) {
        const ProgramRun run = runProgram(program, "--help");
        EXPECT_EQ(run.exitCode, 0) << program;
        EXPECT_TRUE(contains(run.output, "Usage:")) << run.output;
        EXPECT_TRUE(contains(run.output, "--size WxH")) << run.output;
    }
    EXPECT_TRUE(contains(runHeadless("--help").output, "--supersample N"));
}

// Every way a PNG can fail to be written ends the run with the file, the system's reason and
// exit code 1; no truncated file stays behind.
TEST(HeadlessRunner, AFailedPngWriteEndsTheRunWithTheFileAndTheReason) {
    const std::string dir = tempPath("png");
    fs::create_directories(dir);

    // A folder that cannot exist: below a regular file.
    std::ofstream(dir + "/plain") << "x";
    ProgramRun run = runHeadless("--size 32x18 --frames 2 --png " + dir + "/plain/frames");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(contains(run.output, dir + "/plain/frames (Not a directory)")) << run.output;

    // A frame's name taken by a folder: the file cannot be opened.
    fs::create_directories(dir + "/taken/frame_00001.png");
    run = runHeadless("--size 32x18 --frames 3 --png " + dir + "/taken");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(
        contains(run.output, "Cannot write " + dir + "/taken/frame_00001.png (Is a directory)"))
        << run.output;

    // A full disk: the frame's file is /dev/full, where every write fails with ENOSPC.
    fs::create_directories(dir + "/full");
    fs::create_symlink("/dev/full", dir + "/full/frame_00000.png");
    run = runHeadless("--size 64x36 --frames 2 --png " + dir + "/full");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(contains(run.output,
                         "Cannot write " + dir + "/full/frame_00000.png (No space left on device)"))
        << run.output;
    EXPECT_TRUE(contains(run.output, "capture stopped after")) << run.output;
    fs::remove_all(dir);
}

// Ctrl-C or a SIGTERM during a capture: the frames so far make a complete, playable file whose
// sound ends with its picture, ffmpeg is not left running, and the exit code says so (128 + 2).
TEST(HeadlessRunner, ASignalDuringAVideoCaptureClosesTheFileShorter) {
    const std::string video = tempPath("signal.mp4"), log = tempPath("signal.log");
    const std::string music = "assets/tunevox_11.mp3";
    if (!std::ifstream(music)) GTEST_SKIP() << "no soundtrack";
    BackgroundRunner runner("--size 64x36 --fps 30 --video " + video, log);
    ASSERT_TRUE(runner.waitForFrames()) << fileText(log);
    const pid_t ffmpeg = runner.child();
    ASSERT_GT(ffmpeg, 0);
    kill(runner.pid(), SIGINT);
    EXPECT_EQ(runner.wait(), 128 + SIGINT) << fileText(log);
    EXPECT_NE(kill(ffmpeg, 0), 0) << "ffmpeg still runs";

    const std::string said = fileText(log);
    const std::size_t at = said.find("stopped by signal 2 after ");
    ASSERT_NE(at, std::string::npos) << said;
    const long frames = std::atol(said.c_str() + at + 26);
    EXPECT_GT(frames, 0);
    EXPECT_TRUE(contains(said, "wrote " + video + " (" + std::to_string(frames) + " frames"))
        << said;
    EXPECT_EQ(probe(video, "v", "nb_frames"), std::to_string(frames) + "\n");
    const double picture = frames / 30.0;
    EXPECT_NEAR(std::atof(probe(video, "a", "duration").c_str()), picture, 0.05);
    std::remove(video.c_str());
    std::remove(log.c_str());
}

// ffmpeg killed mid-capture leaves an MP4 without its index: the runner says so, removes it and
// fails.
TEST(HeadlessRunner, AnFfmpegThatDiesLeavesNoBrokenFile) {
    const std::string video = tempPath("dies.mp4"), log = tempPath("dies.log");
    BackgroundRunner runner("--size 64x36 --fps 30 --video " + video, log);
    ASSERT_TRUE(runner.waitForFrames()) << fileText(log);
    const pid_t ffmpeg = runner.child();
    ASSERT_GT(ffmpeg, 0);
    kill(ffmpeg, SIGKILL);
    EXPECT_EQ(runner.wait(), 1) << fileText(log);
    EXPECT_TRUE(contains(fileText(log), "removed the incomplete " + video)) << fileText(log);
    EXPECT_FALSE(fs::exists(video));
    std::remove(log.c_str());
}

}  // namespace
