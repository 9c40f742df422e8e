// velmora-headless: renders the demo off screen, frame n at music position n / fps, as fast as the
// GL allows. Options:
//   --size WxH        picture size (default 1280x720)
//   --fps N           frames per second of the frame clock (default 60)
//   --frames N        stop after N frames
//   --times LIST      render only these positions, comma separated; seconds, or bars with a 'b'
//                     suffix (e.g. 0,7.5b,10.1)
//   --png DIR         write every rendered frame as DIR/frame_NNNNN.png (rows top first)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/DemoMain.h"
#include "app/DemoWindow.h"
#include "app/LaunchSettings.h"
#include "app/headless/PngFile.h"
#include "audio/FrameClockMusicPlayer.h"
#include "demo/SceneClock.h"

namespace {

struct Options {
    int width = 1280, height = 720;
    double fps = 60.0;
    long frames = -1;
    std::vector<double> times;
    std::string pngDir;
};

double parseTime(const std::string& text) {
    if (!text.empty() && text.back() == 'b')
        return std::atof(text.c_str()) * 4.0 * kSecondsPerBeat;
    return std::atof(text.c_str());
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--size" && v && std::sscanf(v, "%dx%d", &o.width, &o.height) == 2) ++i;
        else if (a == "--fps" && v && (o.fps = std::atof(v)) > 0) ++i;
        else if (a == "--frames" && v) o.frames = std::atol(argv[++i]);
        else if (a == "--png" && v) o.pngDir = argv[++i];
        else if (a == "--times" && v) {
            std::string list = argv[++i];
            for (size_t p = 0; p <= list.size();) {
                size_t comma = list.find(',', p);
                if (comma == std::string::npos) comma = list.size();
                if (comma > p) o.times.push_back(parseTime(list.substr(p, comma - p)));
                p = comma + 1;
            }
        } else {
            std::fprintf(stderr, "velmora-headless: unknown or incomplete option %s\n", a.c_str());
            return false;
        }
    }
    if (o.width <= 0 || o.height <= 0) {
        std::fprintf(stderr, "velmora-headless: --size needs a width and height above 0\n");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) return 2;

    LaunchSettings settings;
    settings.width = options.width;
    settings.height = options.height;
    FrameClockMusicPlayer music;
    DemoWindow window;

    std::vector<std::uint8_t> pixels(static_cast<size_t>(options.width) * options.height * 4);
    std::vector<std::uint8_t> flipped(pixels.size());
    long rendered = -1;  // the first pump comes before the first frame
    auto positionOf = [&](long frame) -> std::int64_t {
        if (!options.times.empty()) return static_cast<std::int64_t>(options.times[frame] * 1e7);
        return static_cast<std::int64_t>(frame * 1e7 / options.fps + 0.5);
    };
    const long last = !options.times.empty() ? static_cast<long>(options.times.size()) - 1
                      : options.frames > 0   ? options.frames - 1
                                             : -1;

    window.frameObserver = [&]() {
        if (rendered >= 0 && !options.pngDir.empty()) {
            gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
            gl.glReadPixels(0, 0, options.width, options.height, GL_RGBA, GL_UNSIGNED_BYTE,
                            pixels.data());
            const size_t row = static_cast<size_t>(options.width) * 4;
            for (int y = 0; y < options.height; ++y)
                std::memcpy(&flipped[y * row], &pixels[(options.height - 1 - y) * row], row);
            char name[64];
            std::snprintf(name, sizeof name, "/frame_%05ld.png", rendered);
            writePng(options.pngDir + name, options.width, options.height, flipped.data());
        }
        if (window.endRequested || (last >= 0 && rendered >= last)) {
            window.endRequested = 1;
            return;
        }
        ++rendered;
        music.setPosition(positionOf(rendered));
    };

    const int code = runDemo(settings, window, music);
    std::fprintf(stderr, "velmora-headless: %ld frames rendered\n", rendered + 1);
    return code;
}
