// velmora-headless: renders the demo off screen, frame n at music position n / fps, as fast as the
// GL allows, and ends like the demo: after the first frame past bar 142. Options:
//   --size WxH        picture size (default 1280x720)
//   --fps N           frames per second of the frame clock (default 60)
//   --from T, --to T  render only the frames from T (inclusive) to T (exclusive)
//   --frames N        stop after N frames
//   --times LIST      render only these positions, comma separated
//   --png DIR         write every rendered frame as DIR/frame_NNNNN.png (rows top first; N is the
//                     frame number, or the index into --times)
//   --video FILE.mp4  encode the frames with ffmpeg (H.264), the soundtrack muxed as AAC
//   --music FILE      the soundtrack to mux (default assets/tunevox_11.mp3)
// Times are seconds, or bars with a 'b' suffix (e.g. 0,7.5b,10.1).
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AssetRoot.h"
#include "app/DemoWindow.h"
#include "app/MusicTime.h"
#include "app/PictureSize.h"
#include "app/headless/PngFile.h"
#include "app/headless/VideoEncoder.h"
#include "audio/FrameClockMusicPlayer.h"
#include "demo/Demo.h"
#include "demo/SceneClock.h"

namespace {

struct Options {
    int width = 1280, height = 720;
    double fps = 60.0;
    double from = -1.0, to = -1.0;  // -1: not given
    long frames = -1;
    std::vector<double> times;
    std::string pngDir;
    std::string videoPath;
    std::string musicPath = MusicPlayer::kSoundtrackPath;
};

bool parseTimeList(const std::string& list, std::vector<double>& times) {
    for (size_t p = 0; p <= list.size();) {
        size_t comma = list.find(',', p);
        if (comma == std::string::npos) comma = list.size();
        double t = 0.0;
        if (comma > p && !parseMusicTime(list.substr(p, comma - p), t)) return false;
        if (comma > p) times.push_back(t);
        p = comma + 1;
    }
    return !times.empty();
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = false;
        if (!v) {
            ok = false;
        } else if (a == "--size") {
            ok = std::sscanf(v, "%dx%d", &o.width, &o.height) == 2 && o.width > 0 && o.height > 0 &&
                 o.width <= 16384 && o.height <= 16384;
        } else if (a == "--fps") {
            o.fps = std::atof(v);
            ok = o.fps > 0.0 && o.fps <= 1000.0;
        } else if (a == "--frames") {
            o.frames = std::atol(v);
            ok = o.frames > 0;
        } else if (a == "--from") {
            ok = parseMusicTime(v, o.from);
        } else if (a == "--to") {
            ok = parseMusicTime(v, o.to);
        } else if (a == "--times") {
            ok = parseTimeList(v, o.times);
        } else if (a == "--png") {
            o.pngDir = v;
            ok = true;
        } else if (a == "--video") {
            o.videoPath = v;
            ok = true;
        } else if (a == "--music") {
            o.musicPath = v;
            ok = true;
        }
        if (!ok) {
            std::fprintf(stderr, "velmora-headless: unknown, incomplete or bad option %s%s%s\n",
                         a.c_str(), v ? " " : "", v ? v : "");
            return false;
        }
        ++i;
    }
    if (!o.times.empty() && (!o.videoPath.empty() || o.from >= 0.0 || o.to >= 0.0)) {
        std::fprintf(stderr,
                     "velmora-headless: --times renders single frames; it does not mix "
                     "with --from, --to or --video\n");
        return false;
    }
    return true;
}

// The first frame whose bars exceed the end bar: the demo's last frame. Bars only grow with the
// frame number, so a binary search finds it.
long lastFrameOfDemo(double fps) {
    static const std::int32_t kNoScenes[kSceneTableSize] = {};
    auto pastEnd = [&](long frame) {
        return kEndBar < computeSceneClock(framePosition(frame, fps), 1.0f, 1.0f, kNoScenes).bars;
    };
    long low = 0, high = 1;
    while (!pastEnd(high)) high *= 2;
    while (low < high) {
        const long mid = low + (high - low) / 2;
        if (pastEnd(mid))
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

// frame 1234/5745  21%  45.3 fps  1:42 left, rewritten in place at most four times a second.
class ProgressLine {
public:
    explicit ProgressLine(long total) : total_(total) {}

    void update(long done) {
        const Clock::time_point now = Clock::now();
        if (done <= 1) start_ = shown_ = now;  // the rate counts from the first frame on
        if (done < total_ && now - shown_ < std::chrono::milliseconds(250)) return;
        shown_ = now;
        const double elapsed = std::chrono::duration<double>(now - start_).count();
        const double fps = elapsed > 0.0 ? (done - 1) / elapsed : 0.0;
        const long left = fps > 0.0 ? std::lround((total_ - done) / fps) : 0;
        std::fprintf(stderr, "\rframe %ld/%ld  %3ld%%  %.1f fps  %ld:%02ld left  ", done, total_,
                     total_ > 0 ? done * 100 / total_ : 100, fps, left / 60, left % 60);
        if (done >= total_) std::fputc('\n', stderr);
    }

private:
    using Clock = std::chrono::steady_clock;
    long total_;
    Clock::time_point start_{}, shown_{};
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) return 2;
    // Paths given on the command line stay relative to where they were typed.
    for (std::string* path : {&options.pngDir, &options.videoPath, &options.musicPath})
        if (!path->empty() && *path != MusicPlayer::kSoundtrackPath)
            *path = std::filesystem::absolute(*path).string();
    if (!enterAssetRoot()) return 1;
    const double fps = options.fps;

    // Frames first..last (inclusive) of the frame clock, or the indices into --times.
    long first = 0, last = -1;
    long total = 0;
    if (!options.times.empty()) {
        last = static_cast<long>(options.times.size()) - 1;
        total = last + 1;
    } else {
        // A small tolerance so that --from 1.2 at 30 fps starts at frame 36, not 37.
        if (options.from >= 0.0) first = static_cast<long>(std::ceil(options.from * fps - 1e-6));
        last = lastFrameOfDemo(fps);
        if (options.to >= 0.0)
            last = std::min(last, static_cast<long>(std::ceil(options.to * fps - 1e-6)) - 1);
        if (options.frames > 0) last = std::min(last, first + options.frames - 1);
        if (last < first) {
            std::fprintf(stderr,
                         "velmora-headless: no frame in the range (the demo ends at %.2f s)\n",
                         lastFrameOfDemo(fps) / fps);
            return 2;
        }
        total = last - first + 1;
    }
    auto positionOf = [&](long frame) -> std::int64_t {
        if (!options.times.empty()) return std::llround(options.times[frame] * 1e7);
        return framePosition(frame, fps);
    };

    // The context first: a size the GL cannot draw at ends the run before anything is written.
    FrameClockMusicPlayer music;
    DemoWindow window;
    if (!window.create(options.width, options.height, false)) return 1;
    if (const std::string problem = pictureSizeProblem(options.width, options.height);
        !problem.empty()) {
        window.reportError(problem);
        return 1;
    }

    if (!options.pngDir.empty()) {
        std::error_code error;
        std::filesystem::create_directories(options.pngDir, error);
    }
    VideoEncoder video;
    if (!options.videoPath.empty()) {
        VideoEncoder::Settings s;
        s.path = options.videoPath;
        s.width = options.width;
        s.height = options.height;
        s.fps = fps;
        s.audioPath = options.musicPath;
        s.audioStartSeconds = first / fps;
        s.audioSeconds = total / fps;
        if (!video.start(s)) return 1;
    }

    Demo demo;
    demo.load(options.width, options.height, music);

    const bool capture = !options.pngDir.empty() || !options.videoPath.empty();
    std::vector<std::uint8_t> pixels(static_cast<size_t>(options.width) * options.height * 4);
    std::vector<std::uint8_t> flipped(options.pngDir.empty() ? 0 : pixels.size());
    ProgressLine progress(total);
    bool videoFailed = false;
    long rendered = 0;

    bool running = window.pump();
    for (long frame = first; running && frame <= last && !videoFailed; ++frame) {
        const std::int64_t position = positionOf(frame);
        // A frame that does not follow the one before in the run is drawn as the run shows it.
        if (!options.times.empty() || frame == first) demo.prepareLoneFrame(position, fps);
        music.setPosition(position);
        const bool more = demo.frame(music.position());
        ++rendered;
        if (capture) {
            gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
            gl.glReadPixels(0, 0, options.width, options.height, GL_RGBA, GL_UNSIGNED_BYTE,
                            pixels.data());
        }
        if (!options.pngDir.empty()) {
            const size_t row = static_cast<size_t>(options.width) * 4;
            for (int y = 0; y < options.height; ++y)
                std::memcpy(&flipped[y * row], &pixels[(options.height - 1 - y) * row], row);
            char name[64];
            std::snprintf(name, sizeof name, "/frame_%05ld.png", frame);
            writePng(options.pngDir + name, options.width, options.height, flipped.data());
        }
        if (!options.videoPath.empty() && !video.writeFrame(pixels.data())) videoFailed = true;
        if (capture) progress.update(rendered);
        if (!more) window.endRequested = 1;
        running = window.pump();
    }

    demo.release();
    window.shutdown();
    std::fprintf(stderr, "velmora-headless: %ld frames rendered\n", rendered);
    if (!options.videoPath.empty()) {
        if (!video.finish() || videoFailed) return 1;
        std::fprintf(stderr, "velmora-headless: wrote %s (%ld frames, %.2f s)\n",
                     options.videoPath.c_str(), rendered, rendered / fps);
    }
    return 0;
}
