// What developer mode adds, on this machine's GL, off screen:
//   devmode_bench [WxH] [frames]   (defaults 1280x720, 24 frames)
// 1. The overlay: drawn after each of the frames at bars spread over the demo, both finished with
//    glFinish and timed apart; its cost against the baseline (a cleared frame and one full-screen
//    quad, same run) and against the frames, in wall and process CPU time.
// 2. Reloads: every shader, image and mesh reloaded from its unchanged file, timed as the console
//    line reports it (median of 3 per file, summed per kind).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchDemo.h"
#include "app/dev/AssetReloader.h"
#include "app/dev/DevOverlay.h"
#include "audio/MusicPosition.h"
#include "demo/Timeline.h"
#include "gl/GlEntryTable.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

const std::vector<DevOverlay::Line> kLines = {{"57:3  76.854 s"},
                                              {"scene 5 cave"},
                                              {"paused  loop 56.000b-60.000b"},
                                              {"16.7 ms  60 fps"},
                                              {"reloaded assets/stone.shader in 12 ms"}};

}  // namespace

int main(int argc, char** argv) {
    BenchDemo bench;
    if (!loadBenchDemo(bench, argc, argv, "devmode_bench [WxH] [frames]")) return 2;
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 24;
    const int width = bench.settings.width, height = bench.settings.height;
    DevOverlay overlay;
    if (!overlay.create()) return 1;

    gl.glFinish();
    Clock::time_point start = Clock::now();
    for (int i = 0; i < frames; ++i) {
        drawBaselineFrame(bench.assets);
        gl.glFinish();
    }
    const double baseline = millisecondsSince(start) / frames;

    // Each frame finished first, then the overlay alone drawn over it and finished.
    double frame = 0.0, cost = 0.0, frameCpu = 0.0, costCpu = 0.0;
    for (int i = 0; i < frames; ++i) {
        const double bars = kLastSceneEndBar * (i + 0.5) / frames;
        const std::int64_t position = positionOfSeconds(secondsOfBars(bars));
        start = Clock::now();
        double cpu = processCpuMilliseconds();
        bench.demo.frame(position);
        gl.glFinish();
        frame += millisecondsSince(start);
        frameCpu += processCpuMilliseconds() - cpu;
        start = Clock::now();
        cpu = processCpuMilliseconds();
        overlay.draw(kLines, width, height);
        gl.glFinish();
        cost += millisecondsSince(start);
        costCpu += processCpuMilliseconds() - cpu;
    }
    frame /= frames;
    cost /= frames;
    frameCpu /= frames;
    costCpu /= frames;
    std::printf("\n%dx%d, %d frames\n", width, height, frames);
    std::printf("baseline (one full-screen quad): %8.3f ms\n", baseline);
    std::printf("demo frame (mean):               %8.3f ms   %8.3f ms CPU\n", frame, frameCpu);
    std::printf(
        "overlay:                         %8.3f ms   %8.3f ms CPU  (%.3f x baseline, "
        "%.1f %% of the frame)\n",
        cost, costCpu, cost / baseline, 100.0 * cost / frame);

    AssetReloader reloader(bench.assets);
    double shaders = 0.0, images = 0.0, meshes = 0.0, slowest = 0.0;
    std::string slowestPath;
    for (const std::string& path : AssetReloader::paths()) {
        std::vector<double> times;
        for (int i = 0; i < 3; ++i) {
            start = Clock::now();
            if (!reloader.reload(path).ok) std::printf("%s did not reload\n", path.c_str());
            gl.glFinish();
            times.push_back(millisecondsSince(start));
        }
        const double ms = median(times);
        const bool shader = path.find(".shader") != std::string::npos;
        const bool mesh = path.find(".mesh") != std::string::npos;
        (shader ? shaders : mesh ? meshes : images) += ms;
        if (ms > slowest) slowest = ms, slowestPath = path;
    }
    std::printf(
        "reload, all 20 shaders: %.1f ms, all 15 images: %.1f ms, both meshes: %.1f ms; "
        "slowest %s %.1f ms\n",
        shaders, images, meshes, slowestPath.c_str(), slowest);
    overlay.release();
    closeBenchDemo(bench);
    return 0;
}
