#include "app/headless/RunnerOptions.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo/Timeline.h"

namespace {

// A whole decimal integer in [low, high]: no sign other than '-', no spaces, nothing after it.
bool parseInteger(const char* text, long low, long high, long& value) {
    if (!std::isdigit(static_cast<unsigned char>(text[0])) && text[0] != '-') return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || v < low || v > high) return false;
    value = static_cast<long>(v);
    return true;
}

// A finite decimal number, all of `text` (strtod alone also takes "inf", hex, leading spaces).
bool parseNumber(const char* text, const char*& end, double& value) {
    const char* p = text;
    if (*p == '-' || *p == '+') ++p;
    if (!std::isdigit(static_cast<unsigned char>(*p)) && *p != '.') return false;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) return false;
    char* stop = nullptr;
    value = std::strtod(text, &stop);
    end = stop;
    return stop != text && std::isfinite(value);
}

bool parseSize(const char* text, int& width, int& height) {
    const char* x = std::strchr(text, 'x');
    if (!x) return false;
    const std::string w(text, x);
    long wv = 0, hv = 0;
    if (!parseInteger(w.c_str(), 1, RunnerOptions::kMaxSize, wv) ||
        !parseInteger(x + 1, 1, RunnerOptions::kMaxSize, hv))
        return false;
    width = static_cast<int>(wv);
    height = static_cast<int>(hv);
    return true;
}

// Seconds, or bars with a 'b' suffix; from 0 to the furthest position the clock holds.
bool parseTime(const std::string& text, double& seconds) {
    const char* end = nullptr;
    double value = 0.0;
    if (!parseNumber(text.c_str(), end, value)) return false;
    if (*end == 'b') {
        value = secondsOfBars(value);
        ++end;
    }
    if (*end != '\0' || !(value >= 0.0) || value > MusicPlayer::kMaxSeekSeconds) return false;
    seconds = value;
    return true;
}

bool parseTimeList(const std::string& list, RunnerOptions& o) {
    o.times.clear();
    o.timeTexts.clear();
    for (size_t p = 0; p <= list.size();) {
        size_t comma = list.find(',', p);
        if (comma == std::string::npos) comma = list.size();
        const std::string item = list.substr(p, comma - p);
        double t = 0.0;
        if (!parseTime(item, t)) return false;
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

}  // namespace

void printRunnerHelp() {
    std::printf(
        "Usage: velmora-headless [options]\n"
        "Renders the demo off screen, frame n at music position n / fps, and ends after the\n"
        "first frame past bar 142.\n"
        "  --size WxH         picture size, 1 to %d each (default 1280x720)\n"
        "  --fps N            frames per second, %g to %g (default 60)\n"
        "  --from T, --to T   only the frames from T (inclusive) to T (exclusive)\n"
        "  --frames N         stop after N frames\n"
        "  --first-frame N    start at frame N (position N / fps), drawn as in a whole run\n"
        "  --frame-count N    render N frames (the same as --frames)\n"
        "  --times LIST       only these positions, comma separated\n"
        "  --png DIR          write every frame as DIR/frame_NNNNN.png (N: the frame number, or\n"
        "                     the index into --times)\n"
        "  --video FILE.mp4   encode the frames with ffmpeg (H.264), the soundtrack muxed as AAC\n"
        "  --segment FILE     write the frames losslessly, without sound (FFV1 in Matroska):\n"
        "                     a piece of a capture on several machines (capture-farm)\n"
        "  --encoder-command FILE  write --video's ffmpeg command to FILE (a NUL after each\n"
        "                     argument), print \"frames FIRST COUNT WxH\", render nothing\n"
        "  --music FILE       the soundtrack to mux (default %s)\n"
        "  --supersample N    render at N times the size (1 to %d) and filter down\n"
        "  --crf N            H.264 quality, 0 (lossless) to 51 (default 20)\n"
        "  --x264-preset S    H.264 encoder speed, ultrafast to veryslow (default veryfast):\n"
        "                     faster costs the renderer less CPU, for larger files\n"
        "  --preset NAME      1080p60 or 2160p60: size, 60 fps, supersample 2, H.264 high\n"
        "                     profile at CRF 16, AAC 320 kb/s; later options override it\n"
        "  --help             this text\n"
        "Times are seconds, or bars with a 'b' suffix (e.g. 0,7.5b,10.1).\n"
        "Exit codes: 0 done, 1 a failed write or GL setup, 2 a bad option, 128 + N after signal "
        "N.\n",
        RunnerOptions::kMaxSize, RunnerOptions::kMinFps, RunnerOptions::kMaxFps,
        MusicPlayer::kSoundtrackPath, RunnerOptions::kMaxSupersample);
}

ParseResult parseRunnerOptions(int argc, char** argv, RunnerOptions& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") return ParseResult::Help;
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = false;
        long number = 0;
        const char* end = nullptr;
        const char* wanted = nullptr;  // what the option takes, for the message
        if (a == "--size") {
            wanted = "WIDTHxHEIGHT, each 1 to 16384";
            ok = v && parseSize(v, o.width, o.height);
        } else if (a == "--fps") {
            wanted = "a number from 1 to 1000";
            ok = v && parseNumber(v, end, o.fps) && *end == '\0' &&
                 o.fps >= RunnerOptions::kMinFps && o.fps <= RunnerOptions::kMaxFps;
        } else if (a == "--first-frame") {
            wanted = "a whole number from 0 to 1000000000";
            ok = v && parseInteger(v, 0, RunnerOptions::kMaxFrames, o.firstFrame);
        } else if (a == "--frames" || a == "--frame-count") {
            wanted = "a whole number from 1 to 1000000000";
            ok = v && parseInteger(v, 1, RunnerOptions::kMaxFrames, o.frames);
        } else if (a == "--from" || a == "--to") {
            wanted = "a time: seconds, or bars with a 'b' suffix";
            ok = v && parseTime(v, a == "--from" ? o.from : o.to);
        } else if (a == "--times") {
            wanted = "times separated by commas: seconds, or bars with a 'b' suffix";
            ok = v && parseTimeList(v, o);
        } else if (a == "--png" || a == "--video" || a == "--music" || a == "--segment" ||
                   a == "--encoder-command") {
            wanted = a == "--png" ? "a folder" : "a file name";
            ok = v && *v;
            if (ok)
                (a == "--png"       ? o.pngDir
                 : a == "--video"   ? o.videoPath
                 : a == "--segment" ? o.segmentPath
                 : a == "--music"   ? o.musicPath
                                    : o.encoderCommandPath) = v;
        } else if (a == "--supersample") {
            wanted = "a whole number from 1 to 4";
            ok = v && parseInteger(v, 1, RunnerOptions::kMaxSupersample, number);
            if (ok) o.supersample = static_cast<int>(number);
        } else if (a == "--crf") {
            wanted = "a whole number from 0 to 51";
            ok = v && parseInteger(v, 0, 51, number);
            if (ok) o.crf = static_cast<int>(number);
        } else if (a == "--x264-preset") {
            wanted = "one of x264's speeds, ultrafast to veryslow";
            static const char* const kSpeeds[] = {"ultrafast", "superfast", "veryfast",
                                                  "faster",    "fast",      "medium",
                                                  "slow",      "slower",    "veryslow"};
            for (const char* speed : kSpeeds) ok = ok || (v && std::strcmp(v, speed) == 0);
            if (ok) o.x264Preset = v;
        } else if (a == "--preset") {
            wanted = "1080p60 or 2160p60";
            ok = v && applyPreset(v, o);
        }
        if (!wanted) {
            std::printf("velmora-headless: unknown option %s (--help lists them)\n", a.c_str());
            return ParseResult::Bad;
        }
        if (!ok) {
            std::printf("velmora-headless: %s takes %s, not %s\n", a.c_str(), wanted,
                        v ? (std::string("\"") + v + "\"").c_str() : "nothing");
            return ParseResult::Bad;
        }
        ++i;
    }
    if (!o.times.empty() && (!o.videoPath.empty() || o.from >= 0.0 || o.to >= 0.0 ||
                             o.firstFrame >= 0 || !o.segmentPath.empty())) {
        std::printf(
            "velmora-headless: --times renders single frames; it does not mix "
            "with --from, --to, --first-frame, --video or --segment\n");
        return ParseResult::Bad;
    }
    if (!o.segmentPath.empty() && !o.videoPath.empty()) {
        std::printf(
            "velmora-headless: --segment and --video are two ways to write the frames: "
            "give one\n");
        return ParseResult::Bad;
    }
    if (!o.encoderCommandPath.empty() && o.videoPath.empty()) {
        std::printf(
            "velmora-headless: --encoder-command writes the command for --video FILE: "
            "give both\n");
        return ParseResult::Bad;
    }
    return ParseResult::Run;
}
