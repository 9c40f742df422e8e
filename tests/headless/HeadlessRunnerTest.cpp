// The headless runner as a user meets it: options it must refuse, capture writes that fail, a
// signal during a video capture, an ffmpeg that dies. None may hang, lose frames silently or end
// with exit code 0.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
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
    BackgroundRunner(const std::string& arguments, const std::string& log,
                     const std::string& program = VELMORA_HEADLESS)
        : log_(log) {
        const std::string command =
            "exec " + programCommand(program, arguments) + " > " + log + " 2>&1";
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

    // A frame's name taken by a device (/dev/full here) is not written through, nor replaced.
    fs::create_directories(dir + "/full");
    fs::create_symlink("/dev/full", dir + "/full/frame_00000.png");
    run = runHeadless("--size 64x36 --frames 2 --png " + dir + "/full");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(contains(
        run.output, "Cannot write " + dir + "/full/frame_00000.png (it is not a regular file)"))
        << run.output;
    EXPECT_TRUE(contains(run.output, "capture stopped after")) << run.output;
    EXPECT_TRUE(fs::is_symlink(dir + "/full/frame_00000.png"));
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

// ffmpeg killed mid-capture leaves an MP4 without its index: the runner says so, keeps none of
// it and fails.
TEST(HeadlessRunner, AnFfmpegThatDiesLeavesNoBrokenFile) {
    const std::string video = tempPath("dies.mp4"), log = tempPath("dies.log");
    BackgroundRunner runner("--size 64x36 --fps 30 --video " + video, log);
    ASSERT_TRUE(runner.waitForFrames()) << fileText(log);
    const pid_t ffmpeg = runner.child();
    ASSERT_GT(ffmpeg, 0);
    kill(ffmpeg, SIGKILL);
    EXPECT_EQ(runner.wait(), 1) << fileText(log);
    EXPECT_TRUE(contains(fileText(log), "killed by signal 9; " + video + " is not written"))
        << fileText(log);
    EXPECT_FALSE(fs::exists(video));
    std::remove(log.c_str());
}

// ---- Outputs: the runner removes or replaces only what it wrote itself.

// A folder of stand-ins for ffmpeg and ffprobe (shell scripts, or links to the real ones), to
// put first on PATH as "PATH=<folder> <runner>".
class FakeTools {
public:
    explicit FakeTools(const std::string& name) : dir_(tempPath(name)) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~FakeTools() { fs::remove_all(dir_); }
    void script(const std::string& tool, const std::string& body) {
        std::ofstream(dir_ + "/" + tool) << "#!/bin/sh\nPATH=/usr/bin:/bin\n" << body << "\n";
        fs::permissions(dir_ + "/" + tool, fs::perms::owner_all);
    }
    void real(const std::string& tool) {
        const std::string found = runProgram("sh", "-c 'command -v " + tool + "'").output;
        fs::create_symlink(found.substr(0, found.find('\n')), dir_ + "/" + tool);
    }
    std::string runner() const { return "PATH=" + dir_ + " " + VELMORA_HEADLESS; }

private:
    std::string dir_;
};

// Each of these used to be removed after ffmpeg failed on it (the device node as root, the
// folder, the soundtrack itself, a file ffmpeg could not replace): now they are refused before
// anything is rendered, or left as they were.
TEST(RunnerOutputs, NothingTheRunDidNotWriteIsRemovedOrReplaced) {
    const std::string dir = tempPath("outputs");
    fs::remove_all(dir);
    fs::create_directories(dir + "/folder");
    ASSERT_EQ(mkfifo((dir + "/device.mp4").c_str(), 0600), 0);  // a device node needs root
    fs::copy_file("assets/tunevox_11.mp3", dir + "/music.mp3");
    const std::string size = "--size 32x18 --frames 2 --video ";
    for (const char* target : {"/folder", "/device.mp4"}) {
        const ProgramRun run = runHeadless(size + dir + target);
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_TRUE(contains(run.output, "Cannot write " + dir + target + " (")) << run.output;
        EXPECT_FALSE(contains(run.output, "frames rendered")) << run.output;
    }
    EXPECT_TRUE(fs::is_directory(dir + "/folder"));
    EXPECT_TRUE(fs::is_fifo(dir + "/device.mp4"));

    ProgramRun run = runHeadless(size + dir + "/music.mp3 --music " + dir + "/music.mp3");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(contains(run.output, "it is the soundtrack")) << run.output;
    EXPECT_EQ(fs::file_size(dir + "/music.mp3"), fs::file_size("assets/tunevox_11.mp3"));

    // Typed in a release folder, assets/tunevox_11.mp3 names that folder's own soundtrack.
    fs::create_directories(dir + "/release/assets");
    fs::copy_file("assets/tunevox_11.mp3", dir + "/release/assets/tunevox_11.mp3");
    run = runProgram(VELMORA_HEADLESS, size + "assets/tunevox_11.mp3", dir + "/release");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(contains(run.output, "it is the soundtrack")) << run.output;
    EXPECT_EQ(fs::file_size(dir + "/release/assets/tunevox_11.mp3"),
              fs::file_size("assets/tunevox_11.mp3"));

    // An ffmpeg that fails: its last error line is shown, the file that had the name stays.
    FakeTools tools("failing");
    tools.real("ffprobe");
    tools.script("ffmpeg",
                 "cat > /dev/null; echo 'first error' >&2; echo 'Disk quota exceeded' "
                 ">&2; exit 1");
    std::ofstream(dir + "/old.mp4") << "an older video";
    run = runProgram(tools.runner(), size + dir + "/old.mp4");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(contains(run.output, "ffmpeg failed (exit code 1): \"Disk quota exceeded\"; " +
                                         dir + "/old.mp4 is not written"))
        << run.output;
    EXPECT_EQ(fileText(dir + "/old.mp4"), "an older video");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 5)
        << "a temporary file stayed behind";
    fs::remove_all(dir);
}

// "wrote" only for a complete file with frames in it.
TEST(RunnerOutputs, NoWroteWithoutACompleteFile) {
    const std::string video = tempPath("nothing.mp4"), log = tempPath("nothing.log");
    FakeTools tools("silent");
    tools.real("ffprobe");
    tools.script("ffmpeg", "cat > /dev/null; exit 0");  // reads every frame, writes nothing
    ProgramRun run = runProgram(tools.runner(), "--size 32x18 --frames 3 --video " + video);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(contains(run.output, "ffmpeg ended without a complete file")) << run.output;
    EXPECT_FALSE(contains(run.output, "wrote")) << run.output;
    EXPECT_FALSE(fs::exists(video));

    // Ctrl-C during the load phase, before any frame: nothing is written.
    BackgroundRunner runner("--size 32x18 --video " + video, log);
    for (int i = 0; i < 600 && runner.child() <= 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    kill(runner.pid(), SIGINT);
    EXPECT_EQ(runner.wait(), 128 + SIGINT) << fileText(log);
    EXPECT_FALSE(contains(fileText(log), "wrote")) << fileText(log);
    EXPECT_FALSE(fs::exists(video));
    std::remove(log.c_str());
}

// ffprobe or ffmpeg missing: the line names the missing program, not the soundtrack, and nothing
// is rendered into a file without its sound.
TEST(RunnerOutputs, AMissingFfmpegOrFfprobeIsNamed) {
    const std::string video = tempPath("missing.mp4");
    FakeTools onlyFfmpeg("onlyffmpeg"), onlyFfprobe("onlyffprobe");
    onlyFfmpeg.real("ffmpeg");
    onlyFfprobe.real("ffprobe");
    ProgramRun run = runProgram(onlyFfmpeg.runner(), "--size 32x18 --frames 2 --video " + video);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_EQ(run.output.rfind("Cannot start ffprobe (No such file or directory)", 0), 0u)
        << run.output;
    run = runProgram(onlyFfprobe.runner(), "--size 32x18 --frames 2 --video " + video);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_EQ(run.output.rfind("Cannot start ffmpeg (not found on PATH)", 0), 0u) << run.output;
    EXPECT_FALSE(fs::exists(video));
}

// An ffmpeg that stops reading used to hang the run past SIGTERM and stay behind it.
TEST(RunnerOutputs, AnFfmpegThatStopsReadingIsKilledAfterTheSignal) {
    const std::string video = tempPath("stuck.mp4"), log = tempPath("stuck.log");
    FakeTools tools("stuck");
    tools.real("ffprobe");
    tools.script("ffmpeg", "exec sleep 600");
    BackgroundRunner runner("--size 64x36 --video " + video, log, tools.runner());
    pid_t ffmpeg = 0;
    for (int i = 0; i < 600 && (ffmpeg = runner.child()) <= 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_GT(ffmpeg, 0);
    // Stuck in a write once the pipe is full, or else in the wait at the end: either way the
    // signal gives the stand-in a deadline.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    kill(runner.pid(), SIGTERM);
    EXPECT_EQ(runner.wait(), 128 + SIGTERM) << fileText(log);
    EXPECT_TRUE(contains(fileText(log), "after the signal: stopped it")) << fileText(log);
    EXPECT_NE(kill(ffmpeg, 0), 0) << "the stand-in still runs";
    EXPECT_FALSE(fs::exists(video));
    std::remove(log.c_str());
}

// ---- Standard streams: a closed stdout/stderr used to let ffmpeg's messages into the video.
TEST(RunnerStreams, ClosedStandardStreamsNeverReachTheOutput) {
    const std::string video = tempPath("closed.mp4");
    const int status =
        std::system((programCommand(VELMORA_HEADLESS, "--size 64x36 --frames 20 --video " + video) +
                     " >&- 2>&-")
                        .c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(runProgram("ffmpeg", "-v error -i " + video + " -f null -").output, "");
    EXPECT_EQ(probe(video, "v", "nb_frames"), "20\n");
    std::remove(video.c_str());
}

// ---- Special files as assets: a FIFO, an endless device or a huge file in place of a shader,
// an image, a mesh or the soundtrack ends the load with one line each; nothing waits or
// reads forever.
TEST(RunnerSpecialFiles, SpecialFilesInPlaceOfAssetsAreRefusedWithOneLineEach) {
    const std::string root = tempPath("special");
    fs::remove_all(root);
    fs::create_directories(root + "/assets/mesh");
    for (const auto& entry : fs::recursive_directory_iterator("assets")) {
        const std::string copy = root + "/" + entry.path().string();
        if (entry.is_directory()) fs::create_directories(copy);
        if (entry.is_regular_file()) fs::create_symlink(fs::absolute(entry.path()), copy);
    }
    auto replace = [&](const std::string& name) {
        fs::remove(root + "/" + name);
        return root + "/" + name;
    };
    ASSERT_EQ(mkfifo(replace("assets/stone.shader").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", replace("assets/cliff.shader"));
    ASSERT_EQ(mkfifo(replace("assets/rec.png").c_str(), 0600), 0);
    fs::create_symlink("/dev/urandom", replace("assets/sand.jpg"));
    fs::create_symlink("/dev/zero", replace("assets/mesh/pantheon.mesh"));
    std::ofstream(replace("assets/mesh/cave.mesh")) << "1,1";
    fs::resize_file(root + "/assets/mesh/cave.mesh", 200ull << 20);  // sparse: no disk used
    ASSERT_EQ(mkfifo(replace("assets/tunevox_11.mp3").c_str(), 0600), 0);

    const ProgramRun run =
        runProgram(VELMORA_HEADLESS, "--size 32x18 --frames 2 --video " + root + "/v.mp4", root);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    for (const char* line :
         {"Can't open shader file assets/stone.shader! (it is not a regular file)",
          "Can't open shader file assets/cliff.shader! (it is not a regular file)",
          "Unable to load texture assets/rec.png: it is not a regular file",
          "Unable to load texture assets/sand.jpg: it is not a regular file",
          "Mesh file assets/mesh/pantheon.mesh rejected: it is not a regular file",
          "Mesh file assets/mesh/cave.mesh rejected: it holds 200 MB, more than the 64 MB",
          "No soundtrack at assets/tunevox_11.mp3 (it is not a regular file)"})
        EXPECT_TRUE(contains(run.output, line)) << line << "\n" << run.output;
    fs::remove_all(root);
}

}  // namespace
