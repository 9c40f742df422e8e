#include "app/headless/RunnerOptions.h"

#include "app/CommandLine.h"

namespace {

bool parseTimeList(const std::string& list, RunnerOptions& o) {
    o.times.clear();
    o.timeTexts.clear();
    for (size_t p = 0; p <= list.size();) {
        size_t comma = list.find(',', p);
        if (comma == std::string::npos) comma = list.size();
        const std::string item = list.substr(p, comma - p);
        double t = 0.0;
        if (!parseTime(item.c_str(), t)) return false;
        o.times.push_back(t);
        o.timeTexts.push_back(item);
        p = comma + 1;
    }
    return true;
}

// What people upload: H.264 high profile at CRF 16, AAC at 320 kb/s, edges supersampled.
bool applyPreset(const std::string& name, RunnerOptions& o) {
    if (name == "1080p60") {
        o.width = 1920;
        o.height = 1080;
    } else if (name == "2160p60") {
        o.width = 3840;
        o.height = 2160;
    } else {
        return false;
    }
    o.fps = 60.0;
    o.supersample = 2;
    o.x264Preset = "medium";
    o.x264Profile = "high";
    o.crf = 16;
    o.audioKbps = 320;
    return true;
}

CommandLine runnerCommandLine(RunnerOptions& o) {
    CommandLine line;
    line.program = "velmora-headless";
    line.arguments = "[options]";
    line.about =
        "Renders the demo off screen, frame n at music position n / fps, and ends after the\n"
        "first frame past bar 142.\n";
    line.options = {
        {"--size", "WxH", "picture size, 1 to 16384 each (default 1280x720)",
         sizeValue(o.width, o.height)},
        {"--fps", "N", "frames per second, 1 to 1000 (default 60)",
         numberValue(o.fps, RunnerOptions::kMinFps, RunnerOptions::kMaxFps)},
        {"--from", "T", "only the frames from T (inclusive)", timeValue(o.from)},
        {"--to", "T", "only the frames before T", timeValue(o.to)},
        {"--frames", "N", "stop after N frames",
         wholeNumberValue(o.frames, 1, RunnerOptions::kMaxFrames)},
        {"--first-frame", "N", "start at frame N (position N / fps), drawn as in a whole run",
         wholeNumberValue(o.firstFrame, 0, RunnerOptions::kMaxFrames)},
        {"--frame-count", "N", "render N frames (the same as --frames)",
         wholeNumberValue(o.frames, 1, RunnerOptions::kMaxFrames)},
        {"--times",
         "LIST",
         "only these positions, comma separated",
         {"times separated by commas: seconds, or bars with a 'b' suffix",
          [&o](const char* text) { return parseTimeList(text, o); }}},
        {"--png", "DIR",
         "write every frame as DIR/frame_NNNNN.png (N: the frame number, or\n"
         "the index into --times)",
         textValue(o.pngDir, "a folder")},
        {"--video", "FILE.mp4",
         "encode the frames with ffmpeg (H.264), the soundtrack muxed as AAC",
         textValue(o.videoPath, "a file name")},
        {"--segment", "FILE",
         "write the frames losslessly, without sound (FFV1 in Matroska):\n"
         "a piece of a capture on several machines (capture-farm)",
         textValue(o.segmentPath, "a file name")},
        {"--encoder-command", "FILE",
         "write --video's ffmpeg command to FILE (a NUL after each\n"
         "argument), print \"frames FIRST COUNT WxH\", render nothing",
         textValue(o.encoderCommandPath, "a file name")},
        {"--music", "FILE",
         std::string("the soundtrack to mux (default ") + MusicPlayer::kSoundtrackPath + ")",
         textValue(o.musicPath, "a file name")},
        {"--supersample", "N", "render at N times the size (1 to 4) and filter down",
         wholeNumberValue(o.supersample, 1, RunnerOptions::kMaxSupersample)},
        {"--crf", "N", "H.264 quality, 0 (lossless) to 51 (default 20)",
         wholeNumberValue(o.crf, 0, 51)},
        {"--x264-preset", "S",
         "H.264 encoder speed, ultrafast to veryslow (default veryfast):\n"
         "faster costs the renderer less CPU, for larger files",
         choiceValue(o.x264Preset, {"ultrafast", "superfast", "veryfast", "faster", "fast",
                                    "medium", "slow", "slower", "veryslow"})},
        {"--preset",
         "NAME",
         "1080p60 or 2160p60: size, 60 fps, supersample 2, H.264 high\n"
         "profile at CRF 16, AAC 320 kb/s; later options override it",
         {"1080p60 or 2160p60", [&o](const char* text) { return applyPreset(text, o); }}},
        {"--list-assets", "", "print the files the demo reads, one a line, and exit",
         flagValue(o.listAssets)},
    };
    line.notes =
        "Times are seconds, or bars with a 'b' suffix (e.g. 0,7.5b,10.1).\n"
        "Exit codes: 0 done, 1 a failed write or GL setup, 2 a bad option, 128 + N after signal "
        "N.\n";
    return line;
}

}  // namespace

void printRunnerHelp() {
    RunnerOptions options;
    printUsage(runnerCommandLine(options));
}

ParseResult parseRunnerOptions(int argc, char** argv, RunnerOptions& o) {
    const CommandLine line = runnerCommandLine(o);
    const ParseResult result = parseCommandLine(line, argc, argv);
    if (result != ParseResult::Run) return result;
    if (!o.times.empty() && (!o.videoPath.empty() || o.from >= 0.0 || o.to >= 0.0 || o.frames > 0 ||
                             o.firstFrame >= 0 || !o.segmentPath.empty())) {
        refuseArguments(line,
                        "--times renders single frames; it does not mix with --from, --to, "
                        "--frames, --first-frame, --video or --segment");
        return ParseResult::Bad;
    }
    if (!o.segmentPath.empty() && !o.videoPath.empty()) {
        refuseArguments(line, "--segment and --video are two ways to write the frames: give one");
        return ParseResult::Bad;
    }
    if (!o.encoderCommandPath.empty() && o.videoPath.empty()) {
        refuseArguments(line, "--encoder-command writes the command for --video FILE: give both");
        return ParseResult::Bad;
    }
    // x264's high profile has no lossless mode: ffmpeg would refuse it after the load phase.
    if (o.crf == 0 && o.x264Profile == "high") {
        refuseArguments(line,
                        "--crf 0 (lossless) does not mix with --preset: its H.264 high "
                        "profile has no lossless mode");
        return ParseResult::Bad;
    }
    return ParseResult::Run;
}
