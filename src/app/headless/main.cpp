// velmora-headless: renders the demo off screen, frame n at music position n / fps, as fast as the
// GL allows, and ends like the demo: after the first frame past bar 142. `--help` lists the
// options (RunnerOptions.cpp). Frames are read back a few frames late through a ring of
// pixel-pack buffers and written (PNG, or piped to ffmpeg) on worker threads, so capturing costs
// the render loop little more than the copy out of the GL.
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/AssetRoot.h"
#include "app/DemoWindow.h"
#include "app/PictureSize.h"
#include "app/StandardStreams.h"
#include "app/headless/CaptureQueue.h"
#include "app/headless/ChildProcess.h"
#include "app/headless/Downsampler.h"
#include "app/headless/PixelReadback.h"
#include "app/headless/PngFile.h"
#include "app/headless/RunnerOptions.h"
#include "app/headless/VideoEncoder.h"
#include "audio/FrameClockMusicPlayer.h"
#include "audio/MusicPosition.h"
#include "demo/Demo.h"
#include "demo/SceneClock.h"

namespace {

volatile std::sig_atomic_t stopSignal = 0;

// SIGINT and SIGTERM end the loop after the frame in hand, so the capture is closed properly; a
// second one ends the program at once, and ffmpeg with it.
void onStopSignal(int signal) {
    if (stopSignal) {
        ChildProcess::killRunningGroup();
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    stopSignal = signal;
}

void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// The demo's last frame. Positions only grow with the frame number, so a binary search finds it.
long lastFrameOfDemo(double fps) {
    auto pastEnd = [&](long frame) { return Demo::isLastFrame(framePosition(frame, fps)); };
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

// --times past the demo's end would render nothing the demo shows: name them all.
bool timesWithinTheDemo(const RunnerOptions& o) {
    std::string past;
    for (size_t i = 0; i < o.times.size(); ++i)
        if (Demo::isLastFrame(positionOfSeconds(o.times[i]))) past += " " + o.timeTexts[i];
    if (past.empty()) return true;
    std::printf("velmora-headless: --times past the demo's end (bar %g, %.2f s):%s\n",
                static_cast<double>(kEndBar), secondsOfBars(kEndBar), past.c_str());
    return false;
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

// The farm's join encodes with exactly this command; each argument ends in a NUL byte.
bool writeCommand(const std::string& path, const std::vector<std::string>& args) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool ok = file != nullptr;
    for (const std::string& a : args)
        ok = ok && std::fwrite(a.c_str(), 1, a.size() + 1, file) == a.size() + 1;
    if (file && std::fclose(file) != 0) ok = false;
    if (!ok) std::printf("Cannot write %s (%s)\n", path.c_str(), std::strerror(errno));
    return ok;
}

double processCpuSeconds(rusage& usage) {
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

}  // namespace

int main(int argc, char** argv) {
    keepStandardStreamsOpen();
    RunnerOptions options;
    switch (parseRunnerOptions(argc, argv, options)) {
        case ParseResult::Help: printRunnerHelp(); return 0;
        case ParseResult::Bad: return 2;
        case ParseResult::Run: break;
    }
    if (options.listAssets) {
        for (const AssetRow& row : kAssetManifest) std::printf("%s\n", row.path);
        return 0;
    }
    // A segment is a video without sound, written losslessly.
    const bool lossless = !options.segmentPath.empty();
    if (lossless) options.videoPath = options.segmentPath;
    // Paths given on the command line stay relative to where they were typed; the demo's own
    // soundtrack is found in the asset root.
    for (std::string* path :
         {&options.pngDir, &options.videoPath, &options.musicPath, &options.encoderCommandPath}) {
        if (path->empty()) continue;
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(*path, error);
        if (error) {
            std::printf("velmora-headless: cannot resolve %s against the working folder (%s)\n",
                        path->c_str(), error.message().c_str());
            return 1;
        }
        *path = absolute.string();
    }
    if (options.musicPath.empty()) options.musicPath = MusicPlayer::kSoundtrackPath;
    if (!enterAssetRoot()) return 1;
    const double fps = options.fps;
    const int factor = options.supersample;

    // Frames first..last (inclusive) of the frame clock, or the indices into --times. fps, the
    // times and --frames are bounded, so none of this overflows.
    long first = 0, last = -1;
    long total = 0;
    if (!options.times.empty()) {
        if (!timesWithinTheDemo(options)) return 2;
        last = static_cast<long>(options.times.size()) - 1;
        total = last + 1;
    } else {
        const long lastOfDemo = lastFrameOfDemo(fps);
        // A small tolerance so that --from 1.2 at 30 fps starts at frame 36, not 37.
        if (options.firstFrame >= 0)
            first = options.firstFrame;
        else if (options.from >= 0.0)
            first = static_cast<long>(std::min(std::ceil(options.from * fps - 1e-6), 1e15));
        last = lastOfDemo;
        if (options.to >= 0.0)
            last = std::min(last, static_cast<long>(std::ceil(options.to * fps - 1e-6)) - 1);
        if (options.frames > 0 && options.frames <= last - first) last = first + options.frames - 1;
        if (last < first) {
            std::printf("velmora-headless: no frame in the range (the demo ends at %.2f s)\n",
                        lastOfDemo / fps);
            return 2;
        }
        total = last - first + 1;
    }
    auto positionOf = [&](long frame) -> std::int64_t {
        if (!options.times.empty()) return positionOfSeconds(options.times[frame]);
        return framePosition(frame, fps);
    };
    VideoEncoder::Settings encoding;
    encoding.path = options.videoPath;
    encoding.width = options.width;
    encoding.height = options.height;
    encoding.fps = fps;
    encoding.audioPath = options.musicPath;
    encoding.audioStartSeconds = first / fps;
    encoding.audioSeconds = total / fps;
    encoding.x264Preset = options.x264Preset;
    encoding.x264Profile = options.x264Profile;
    encoding.crf = options.crf;
    encoding.audioKbps = options.audioKbps;
    encoding.lossless = lossless;
    if (!options.encoderCommandPath.empty()) {
        // Absolute: the command runs from wherever the farm joins the pieces.
        std::error_code resolveError;  // after enterAssetRoot the working folder exists
        encoding.audioPath = std::filesystem::absolute(options.musicPath, resolveError).string();
        double soundSeconds = -1.0;
        if (!lossless && !VideoEncoder::probeSoundtrack(encoding, soundSeconds)) return 1;
        if (!writeCommand(options.encoderCommandPath,
                          VideoEncoder::command(encoding, soundSeconds, encoding.path)))
            return 1;
        std::printf("frames %ld %ld %dx%d\n", first, total, options.width, options.height);
        return 0;
    }
    catchStopSignals();

    // The context first: a size the GL cannot draw at ends the run before anything is written.
    // Supersampled, the demo is loaded at the render size: the scenes' pixel sizes ("screen")
    // and every target follow it, and the aspect, hence the framing, stays the output's.
    const int renderWidth = options.width * factor, renderHeight = options.height * factor;
    FrameClockMusicPlayer music;
    DemoWindow window;
    const bool created = window.create(renderWidth, renderHeight, false);
    const std::string problem = created ? pictureSizeProblem(renderWidth, renderHeight) : "";
    if (!created || !problem.empty()) {
        if (!problem.empty()) std::printf("%s\n", problem.c_str());
        if (factor > 1)
            std::printf("velmora-headless: --supersample %d at %dx%d renders at %dx%d\n", factor,
                        options.width, options.height, renderWidth, renderHeight);
        return 1;
    }

    const bool png = !options.pngDir.empty(), video = !options.videoPath.empty();
    if (png) {
        std::error_code error;
        std::filesystem::create_directories(options.pngDir, error);
        if (error || !std::filesystem::is_directory(options.pngDir)) {
            std::printf("Cannot make the folder %s (%s)\n", options.pngDir.c_str(),
                        error ? error.message().c_str() : "a file has that name");
            return 1;
        }
    }
    VideoEncoder encoder;
    if (video) {
        encoder.stopWhenStuck(&stopSignal);
        if (!encoder.start(encoding)) return 1;
    }

    // The supersampling copy has the scenes' target format at the render size: made first, it
    // finds out whether the GL can really hold that size before the load phase relies on it.
    const bool capture = png || video;
    Downsampler downsampler;
    if (capture && factor > 1 && !downsampler.create(options.width, options.height, factor))
        return 1;
    Demo demo;
    demo.load(renderWidth, renderHeight, music);

    PixelReadback readback;
    std::unique_ptr<CaptureQueue> queue;
    std::atomic<long> written{0};
    bool captureBroken = false;
    if (capture) {
        captureBroken = !readback.create(options.width, options.height);
        // Video frames must reach ffmpeg in order: one writer. PNG files are independent.
        const int hardware = static_cast<int>(std::thread::hardware_concurrency());
        const int workers = video ? 1 : std::clamp(hardware, 1, 4);
        queue = std::make_unique<CaptureQueue>(
            static_cast<std::size_t>(options.width) * options.height * 4, workers + 2, workers,
            [&](const CaptureQueue::Frame& f) {
                if (png) {
                    char name[64];
                    std::snprintf(name, sizeof name, "/frame_%05ld.png", f.number);
                    if (!writeFramePng(options.pngDir + name, options.width, options.height,
                                       f.pixels.data()))
                        return false;
                }
                if (video && !encoder.writeFrame(f.pixels.data())) return false;
                ++written;
                return true;
            });
    }
    auto deliver = [&](long number, const std::uint8_t* pixels) {
        CaptureQueue::Frame* frame = queue->acquire();
        if (!frame) return;  // a write failed: the loop stops at its next check
        frame->number = number;
        std::memcpy(frame->pixels.data(), pixels, frame->pixels.size());
        queue->submit(frame);
    };

    ProgressLine progress(total);
    const auto loopStart = std::chrono::steady_clock::now();
    long rendered = 0;
    GLsync inFlight = nullptr;  // the previous frame's fence, when rendering without output
    const GLuint64 kFenceWaitNs = 60ull * 1000 * 1000 * 1000;
    bool running = window.pump();
    for (long frame = first; running && frame <= last && !captureBroken; ++frame) {
        if (stopSignal || (queue && queue->failed())) break;
        const std::int64_t position = positionOf(frame);
        // A frame that does not follow the one before in the run is drawn as the run shows it.
        if (!options.times.empty() || frame == first) demo.prepareLoneFrame(position, fps);
        music.setPosition(position);
        const bool more = demo.frame(music.position());
        ++rendered;
        if (capture) {
            if (factor > 1)
                downsampler.resolve();
            else
                gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
            readback.queue(frame);
            if (readback.full() && !readback.takeOldest(deliver)) captureBroken = true;
            progress.update(rendered);
        } else {
            // Nothing reads these frames back, and nothing else holds the GL to the pace of
            // drawing (llvmpipe queues frames without bound): at most two frames in flight.
            const GLsync fence = gl.glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
            if (inFlight) {
                gl.glClientWaitSync(inFlight, GL_SYNC_FLUSH_COMMANDS_BIT, kFenceWaitNs);
                gl.glDeleteSync(inFlight);
            }
            inFlight = fence;
        }
        // --times frames are independent: none of them ends the run.
        if (!more && options.times.empty()) window.endRequested = 1;
        running = window.pump();
    }
    // The frames still in the ring are rendered: they go out too, unless writing has failed.
    while (capture && !captureBroken && !readback.empty() && !queue->failed())
        if (!readback.takeOldest(deliver)) captureBroken = true;
    if (inFlight) gl.glDeleteSync(inFlight);
    if (queue) queue->finish();
    const bool writeFailed = captureBroken || (queue && queue->failed());
    readback.release();
    downsampler.release();
    demo.release();
    window.shutdown();

    // ffmpeg finishes the file with what it was given; then its CPU time is known.
    const bool encoded = !video || encoder.finish();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - loopStart).count();
    rusage usage{};
    const double cpu = processCpuSeconds(usage);
    std::fprintf(stderr, "velmora-headless: %ld frames rendered\n", rendered);
    // Rendering, capture and ffmpeg's last frames, without the load phase: the benchmark's figure.
    std::fprintf(stderr, "velmora-headless: %ld frames in %.2f s (%.2f fps)\n", rendered, seconds,
                 seconds > 0.0 ? rendered / seconds : 0.0);
    std::fprintf(stderr, "velmora-headless: CPU %.2f s, writing frames %.2f s of it", cpu,
                 queue ? queue->workerCpuSeconds() : 0.0);
    if (video) std::fprintf(stderr, "; ffmpeg %.2f s", encoder.cpuSeconds());
    std::fprintf(stderr, "; peak memory %ld MB\n", usage.ru_maxrss / 1024);
    if (stopSignal) {
        std::printf("velmora-headless: stopped by signal %d after %ld of %ld frames\n",
                    static_cast<int>(stopSignal), written.load(), total);
        if (video && encoded)
            std::printf("velmora-headless: wrote %s (%ld frames, %.2f s), shorter than asked\n",
                        options.videoPath.c_str(), written.load(), written.load() / fps);
        return 128 + stopSignal;
    }
    if (writeFailed) {
        std::printf(
            "velmora-headless: capture stopped after %ld frames: a frame could not be "
            "written\n",
            written.load());
        return 1;
    }
    if (!encoded) return 1;
    if (video)
        std::fprintf(stderr, "velmora-headless: wrote %s (%ld frames, %.2f s)\n",
                     options.videoPath.c_str(), written.load(), written.load() / fps);
    return 0;
}
