// Every program and tool reads its command line with the one grammar: strict sizes, times and
// numbers, one line and exit code 2 for anything it refuses, the usage for --help.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/ProgramRun.h"

namespace {

namespace fs = std::filesystem;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

int lineCount(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

// A fresh empty folder to run a program in.
std::string emptyFolder(const std::string& name) {
    const fs::path folder = fs::path(testing::TempDir()) /
                            ("velmora_commandline_" + std::to_string(getpid()) + "_" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder.string();
}

// The desktop program without a display: it parses its options, then stops with exit code 1.
ProgramRun runDesktop(const std::string& arguments) {
    return runProgram(std::string("DISPLAY= WAYLAND_DISPLAY= ") + VELMORA_DESKTOP, arguments);
}

TEST(CommandLine, TheDesktopProgramRefusesWhatTheRunnerRefuses) {
    struct Case {
        const char* arguments;
        const char* says;
    } const refused[] = {
        {"--size 800x600junk", "--size takes WIDTHxHEIGHT"},
        {"--size ' 100x 100'", "--size takes WIDTHxHEIGHT"},
        {"--size 0x100", "--size takes"},
        {"--size", "not nothing"},
        {"--dev --from 0x10", "--from takes a time"},
        {"--dev --from ' 5'", "--from takes a time"},
        {"--dev --from 200", "before the demo's end (bar 142, 191.46 s)"},
        {"--dev --from 142b", "before the demo's end"},
        {"--dev --from 1e9", "before the demo's end"},
        {"--from 5", "developer mode only"},
        {"--bogus", "--size, --fullscreen, --no-launcher, --dev, --from, --help"},
    };
    for (const Case& c : refused) {
        const ProgramRun run = runDesktop(c.arguments);
        EXPECT_EQ(run.exitCode, 2) << c.arguments << "\n" << run.output;
        EXPECT_EQ(lineCount(run.output), 1) << c.arguments << "\n" << run.output;
        EXPECT_TRUE(contains(run.output, c.says)) << c.arguments << "\n" << run.output;
    }
    for (const char* accepted :
         {"--dev --from 141.9b --size 64x36", "--dev --from 0", "--no-launcher --fullscreen"}) {
        const ProgramRun run = runDesktop(accepted);
        EXPECT_EQ(run.exitCode, 1) << accepted << "\n" << run.output;
        EXPECT_TRUE(contains(run.output, "no display")) << accepted << "\n" << run.output;
    }
}

// Conflicting options are refused, not ignored; the lossless --crf 0 would fail in ffmpeg only
// after the load phase.
TEST(CommandLine, TheRunnerRefusesOptionsThatDoNotGoTogether) {
    for (const char* arguments : {"--preset 1080p60 --crf 0", "--times 1,2,3 --frames 1"}) {
        const ProgramRun run = runProgram(VELMORA_HEADLESS, arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments << "\n" << run.output;
        EXPECT_EQ(lineCount(run.output), 1) << arguments << "\n" << run.output;
    }
    // Without the preset's high profile, lossless stays allowed.
    const ProgramRun run = runProgram(VELMORA_HEADLESS, "--crf 0 --size 16x16 --frames 1");
    EXPECT_EQ(run.exitCode, 0) << run.output;
}

// With its working folder deleted, a relative output or soundtrack cannot be resolved: one line,
// exit code 1, no abort.
TEST(CommandLine, ARelativePathWithoutAWorkingFolderIsOneLine) {
    for (const char* option : {"--png out", "--music song.mp3"}) {
        const std::string gone = emptyFolder("gone");
        const std::string command = "cd " + gone + " && rmdir " + gone + " && " +
                                    programCommand(VELMORA_HEADLESS, "--size 16x16 --frames 1 ") +
                                    option + " 2>&1";
        std::string output;
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[4096];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
        const int status = pclose(pipe);
        const ProgramRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
        EXPECT_EQ(run.exitCode, 1) << option << "\n" << run.output;
        EXPECT_TRUE(contains(run.output, "against the working folder")) << run.output;
    }
}

// --help prints the usage and does nothing else (it once rendered the soundtrack over
// ./assets/tunevox_11.mp3, or wrote pictures into a folder named "--help"); an unknown option is
// refused naming every option.
TEST(CommandLine, EveryProgramAnswersHelpAndRefusesUnknownOptions) {
    for (const std::string program : {VELMORA_PROGRAMS}) {
        const std::string name = fs::path(program).filename().string();
        const std::string folder = emptyFolder(name);
        fs::create_directory(folder + "/assets");
        ProgramRun run = runProgram(program, "--help", folder);
        EXPECT_EQ(run.exitCode, 0) << name << "\n" << run.output;
        EXPECT_TRUE(contains(run.output, "Usage: " + name)) << run.output;
        EXPECT_TRUE(fs::is_empty(folder + "/assets")) << name;
        EXPECT_FALSE(fs::exists(folder + "/--help")) << name;
        run = runProgram(program, "--bogus out", folder);
        EXPECT_EQ(run.exitCode, 2) << name << "\n" << run.output;
        EXPECT_EQ(lineCount(run.output), 1) << name << "\n" << run.output;
        EXPECT_TRUE(contains(run.output, "unknown option --bogus")) << run.output;
        EXPECT_TRUE(contains(run.output, "--help)")) << run.output;
        fs::remove_all(folder);
    }
}

// The tools' own values and arguments, held to the same grammar.
TEST(CommandLine, TheToolsRefuseMalformedValuesAndMissingArguments) {
    struct Case {
        const char* tool;
        const char* arguments;
    } const refused[] = {
        {"synth", "a.mp3 b.mp3"},
        {"velmora-imagegen", ""},
        {"velmora-meshgen", "a b"},
        {"velmora-contactsheet", "--columns 0 sheet.png a.png"},
        {"velmora-contactsheet", "sheet.png"},
        {"velmora-framediff", "--max-mean 1x a.png b.png"},
        {"velmora-cameratrack", "--step 0 cave"},
        {"velmora-meshview", "--size 64x36junk a.mesh out cave@60"},
        {"velmora-meshview", "--light 1,2 a.mesh out cave@60"},
    };
    for (const std::string program : {VELMORA_PROGRAMS}) {
        const std::string name = fs::path(program).filename().string();
        for (const Case& c : refused) {
            if (name != c.tool) continue;
            const std::string folder = emptyFolder(name);
            const ProgramRun run = runProgram(program, c.arguments, folder);
            EXPECT_EQ(run.exitCode, 2) << name << " " << c.arguments << "\n" << run.output;
            EXPECT_EQ(lineCount(run.output), 1) << name << " " << c.arguments << "\n" << run.output;
            EXPECT_TRUE(fs::is_empty(folder)) << name << " " << c.arguments;
            fs::remove_all(folder);
        }
    }
}

}  // namespace
