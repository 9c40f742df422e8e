#pragma once
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "audio/MusicPlayer.h"

// The headless runner's command line (the grammar of app/CommandLine.h). Every value is bounded,
// so nothing computed from it can overflow.
struct RunnerOptions {
    int width = 1280, height = 720;
    double fps = 60.0;
    double from = -1.0, to = -1.0;  // -1: not given
    long frames = -1;               // --frames, or --frame-count
    long firstFrame = -1;           // --first-frame: frame n at n / fps; -1: not given
    std::vector<double> times;
    std::vector<std::string> timeTexts;  // as typed, for messages
    std::string pngDir;
    std::string videoPath;
    std::string segmentPath;  // --segment: lossless, no sound
    std::string
        encoderCommandPath;  // --encoder-command: write --video's ffmpeg command, render nothing
    std::string musicPath;  // empty: the demo's own soundtrack
    int supersample = 1;
    // ffmpeg's H.264 and AAC settings: quick by default, upload quality by --preset.
    std::string x264Preset = "veryfast";
    std::string x264Profile;  // empty: ffmpeg's choice
    int crf = 20;
    int audioKbps = 192;
    bool listAssets = false;  // print the files the demo reads and exit

    static constexpr double kMinFps = 1.0, kMaxFps = 1000.0;
    static constexpr long kMaxFrames = 1000000000;
    static constexpr int kMaxSupersample = 4;
};

// Prints one line naming the bad option on failure.
ParseResult parseRunnerOptions(int argc, char** argv, RunnerOptions& options);
void printRunnerHelp();
