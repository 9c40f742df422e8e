// Frame times of the cave (scenes 5, 6) and the rocket field (scenes 7, 8), with the canyon
// flight (scene 1) for scale; whole frames as the demo draws them, each finished (glFinish) before
// the next:
//   cave_rockets_frame_bench [WxH] [frames per part]     (defaults 1280x720, 16)
// The parts run in turn, round after round, with a baseline measured in the same rounds: a
// cleared frame and one full-screen quad of the solid-colour program. Medians of the rounds, as
// wall time and as CPU time of the whole process (the GL's rasterising threads included), which
// other work on a shared machine disturbs less.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchDemo.h"
#include "demo/FrameHead.h"
#include "demo/Timeline.h"
#include "gl/GlEntryTable.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Part {
    const char* name;
    double firstBar, lastBar;  // frames spread over [first, last)
};

// -1 bars: the baseline quad. The canyon from its second bar until the tumble at bar 16; scenes 5
// and 7 past the fade from black and the opening flash.
const Part kParts[] = {
    {"baseline (one full-screen quad)", -1, -1},
    {"scene 1 (canyon flight, for scale)", sceneNamed("canyon").startBar + 1.0, 16.0},
    {"scene 5 (cave)", sceneNamed("cave").startBar + 0.8, endBar(sceneNamed("cave"))},
    {"scene 6 (cave 2)", sceneNamed("cave 2").startBar, endBar(sceneNamed("cave 2"))},
    {"scene 7 (rockets)", sceneNamed("rockets").startBar + 0.7, endBar(sceneNamed("rockets"))},
    {"scene 8 (rockets 2)", sceneNamed("rockets 2").startBar, endBar(sceneNamed("rockets 2"))}};

struct FrameTime {
    double wall = 0.0, cpu = 0.0;  // ms per frame
};

FrameTime frameMilliseconds(BenchDemo& demo, const Part& part, int frames, int round) {
    gl.glFinish();
    const Clock::time_point start = Clock::now();
    const double cpuStart = processCpuMilliseconds();
    for (int i = 0; i < frames; ++i) {
        if (part.firstBar < 0) {
            drawBaselineFrame(demo.assets);
        } else {
            // Each round samples other moments of the part.
            const double at = (i + (round + 0.5) / 8.0) / frames;
            const double bars = part.firstBar + (part.lastBar - part.firstBar) * at;
            SceneClock clock = frameAtBar(demo, bars);
            drawScene(demo.assets, clock);
        }
        gl.glFinish();
    }
    FrameTime time;
    time.wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / frames;
    time.cpu = (processCpuMilliseconds() - cpuStart) / frames;
    return time;
}

}  // namespace

int main(int argc, char** argv) {
    BenchDemo demo;
    if (!loadBenchDemo(demo, argc, argv, "cave_rockets_frame_bench [WxH] [frames per part]"))
        return 2;
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 16;

    constexpr int kRounds = 4;
    const int perRound = std::max(1, frames / kRounds);
    constexpr int kPartCount = sizeof(kParts) / sizeof(kParts[0]);
    std::vector<double> wall[kPartCount], cpu[kPartCount];
    for (const Part& part : kParts) frameMilliseconds(demo, part, 1, 0);  // warm up
    for (int round = 0; round < kRounds; ++round) {
        for (int p = 0; p < kPartCount; ++p) {
            const FrameTime time = frameMilliseconds(demo, kParts[p], perRound, round);
            wall[p].push_back(time.wall);
            cpu[p].push_back(time.cpu);
        }
    }

    std::printf("\n%dx%d, %d frames a part in %d rounds, medians\n", demo.settings.width,
                demo.settings.height, perRound * kRounds, kRounds);
    std::printf("%-36s %9s %8s %6s %9s %8s\n", "", "wall ms", "x base", "fps", "CPU ms", "x base");
    const double wallBase = median(wall[0]), cpuBase = median(cpu[0]);
    for (int p = 0; p < kPartCount; ++p) {
        const double w = median(wall[p]), c = median(cpu[p]);
        std::printf("%-36s %9.2f %8.2f %6.1f %9.2f %8.2f\n", kParts[p].name, w, w / wallBase,
                    1000.0 / w, c, c / cpuBase);
    }
    closeBenchDemo(demo);
    return 0;
}
