// Frame times of every scene on this machine's GL, drawn off screen as the demo draws them:
//   scene_frame_bench [WxH] [frames per scene] [first scene] [last scene]
// (defaults 1280x720, 12 frames, scenes 0 to 10)
// Each frame is finished (glFinish) before the next; the baseline, measured in the same run, is a
// cleared frame with one full-screen quad of the solid-colour program.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "BenchDemo.h"
#include "demo/FrameHead.h"
#include "gl/GlEntryTable.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    BenchDemo demo;
    if (!loadBenchDemo(demo, argc, argv, "scene_frame_bench [WxH] [frames] [first] [last]"))
        return 2;
    const BenchDemo::Size& settings = demo.settings;
    DemoAssets& assets = demo.assets;
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 12;
    const int firstScene = argc > 3 ? std::max(0, std::atoi(argv[3])) : 0;
    const int lastScene = argc > 4 ? std::min(kSceneCount - 1, std::atoi(argv[4])) : 10;

    // Baseline: a cleared frame and one full-screen quad.
    gl.glFinish();
    Clock::time_point start = Clock::now();
    double cpuStart = processCpuMilliseconds();
    for (int i = 0; i < frames; ++i) {
        drawBaselineFrame(assets);
        gl.glFinish();
    }
    const double baseline = millisecondsSince(start) / frames;
    const double cpuBaseline = (processCpuMilliseconds() - cpuStart) / frames;
    std::printf("\n%dx%d, %d frames each; wall time, and CPU time of all threads\n", settings.width,
                settings.height, frames);
    std::printf("baseline (one full-screen quad):   %8.2f ms            %8.2f ms CPU\n", baseline,
                cpuBaseline);

    for (int scene = firstScene; scene <= lastScene; ++scene) {
        const double firstBar = kTimeline[scene].startBar;
        const double lastBar = endBar(kTimeline[scene]);
        start = Clock::now();
        cpuStart = processCpuMilliseconds();
        for (int i = 0; i < frames; ++i) {
            // Spread over the scene, away from its edges.
            const double bars = firstBar + (lastBar - firstBar) * (i + 0.5) / frames;
            SceneClock clock = frameAtBar(demo, bars);
            drawScene(assets, clock);
            gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
            gl.glFinish();
        }
        const double ms = millisecondsSince(start) / frames;
        const double cpu = (processCpuMilliseconds() - cpuStart) / frames;
        std::printf("scene %2d (bars %3d-%3d): %8.2f ms %6.2f x  %5.1f fps  %8.2f ms CPU %6.2f x\n",
                    scene, kTimeline[scene].startBar, endBar(kTimeline[scene]), ms, ms / baseline,
                    1000.0 / ms, cpu, cpu / cpuBaseline);
    }
    closeBenchDemo(demo);
    return 0;
}
