// Frame times of the cave (scenes 5, 6) and the rocket field (scenes 7, 8), with the canyon
// flight (scene 1) for scale; whole frames as the demo draws them, each finished (glFinish) before
// the next:
//   cave_rockets_frame_bench [WxH] [frames per part]     (defaults 1280x720, 16)
// The parts run in turn, round after round, with a baseline measured in the same rounds: a
// cleared frame and one full-screen quad of the solid-colour program. Medians of the rounds, as
// wall time and as CPU time of the whole process (the GL's rasterising threads included), which
// other work on a shared machine disturbs less.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/DemoWindow.h"
#include "app/LaunchSettings.h"
#include "audio/FrameClockMusicPlayer.h"
#include "demo/DemoAssets.h"
#include "demo/FrameHead.h"
#include "demo/LoadPhase.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Part {
    const char* name;
    double firstBar, lastBar;  // frames spread over [first, last)
};

// -1 bars: the baseline quad.
const Part kParts[] = {
    {"baseline (one full-screen quad)", -1, -1}, {"scene 1 (canyon flight, for scale)", 9, 16},
    {"scene 5 (cave, bars 56-60)", 56.8, 60},    {"scene 6 (cave, bars 60-72)", 60, 72},
    {"scene 7 (rockets, bars 72-88)", 72.7, 88}, {"scene 8 (rockets, bars 88-104)", 88, 104}};

double processMilliseconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

struct FrameTime {
    double wall = 0.0, cpu = 0.0;  // ms per frame
};

FrameTime frameMilliseconds(DemoAssets& a, const LaunchSettings& settings, const Part& part,
                            int frames, int round) {
    gl.glFinish();
    const Clock::time_point start = Clock::now();
    const double cpuStart = processMilliseconds();
    for (int i = 0; i < frames; ++i) {
        if (part.firstBar < 0) {
            gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            a.solidColorShader->use();
            a.solidColorShader->setFloat4("icolor", 0.5f, 0.4f, 0.3f, 1.0f);
            a.quadBuffer->draw(6);
        } else {
            // Each round samples other moments of the part.
            const double at = (i + (round + 0.5) / 8.0) / frames;
            const double bars = part.firstBar + (part.lastBar - part.firstBar) * at;
            const auto position = static_cast<std::int64_t>(bars * 4.0 * kSecondsPerBeat * 1e7);
            SceneClock clock = frameHead(position, settings, a.sceneStartBars);
            drawScene(a, clock);
        }
        gl.glFinish();
    }
    FrameTime time;
    time.wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / frames;
    time.cpu = (processMilliseconds() - cpuStart) / frames;
    return time;
}

}  // namespace

int main(int argc, char** argv) {
    LaunchSettings settings;
    settings.width = 1280;
    settings.height = 720;
    if (argc > 1 && std::sscanf(argv[1], "%dx%d", &settings.width, &settings.height) != 2) {
        std::printf("usage: cave_rockets_frame_bench [WxH] [frames per part]\n");
        return 2;
    }
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 16;
    settings.screenWidth = float(settings.width);
    settings.screenHeight = float(settings.height);

    DemoWindow window;
    if (!window.create(settings.width, settings.height, false)) return 1;
    FrameClockMusicPlayer music;
    DemoAssets assets;
    std::printf("Loading (build logs follow)\n");
    loadDemoAssets(assets, settings, music);
    gl.glEnable(GL_DEPTH_TEST);
    gl.glDepthFunc(GL_LEQUAL);
    gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    constexpr int kRounds = 4;
    const int perRound = std::max(1, frames / kRounds);
    constexpr int kPartCount = sizeof(kParts) / sizeof(kParts[0]);
    std::vector<double> wall[kPartCount], cpu[kPartCount];
    for (const Part& part : kParts) frameMilliseconds(assets, settings, part, 1, 0);  // warm up
    for (int round = 0; round < kRounds; ++round) {
        for (int p = 0; p < kPartCount; ++p) {
            const FrameTime time = frameMilliseconds(assets, settings, kParts[p], perRound, round);
            wall[p].push_back(time.wall);
            cpu[p].push_back(time.cpu);
        }
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };

    std::printf("\n%dx%d, %d frames a part in %d rounds, medians\n", settings.width,
                settings.height, perRound * kRounds, kRounds);
    std::printf("%-36s %9s %8s %6s %9s %8s\n", "", "wall ms", "x base", "fps", "CPU ms", "x base");
    const double wallBase = median(wall[0]), cpuBase = median(cpu[0]);
    for (int p = 0; p < kPartCount; ++p) {
        const double w = median(wall[p]), c = median(cpu[p]);
        std::printf("%-36s %9.2f %8.2f %6.1f %9.2f %8.2f\n", kParts[p].name, w, w / wallBase,
                    1000.0 / w, c, c / cpuBase);
    }
    window.shutdown();
    return 0;
}
