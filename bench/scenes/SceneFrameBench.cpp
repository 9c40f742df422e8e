// Frame times of every scene on this machine's GL, drawn off screen as the demo draws them:
//   scene_frame_bench [WxH] [frames per scene] [first scene] [last scene]
// (defaults 1280x720, 12 frames, scenes 0 to 10)
// Each frame is finished (glFinish) before the next; the baseline, measured in the same run, is a
// cleared frame with one full-screen quad of the solid-colour program.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

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

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of every thread of the process (the driver's rasteriser threads included): steadier
// than wall time on a busy machine.
double cpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
    LaunchSettings settings;
    settings.width = 1280;
    settings.height = 720;
    if (argc > 1 && std::sscanf(argv[1], "%dx%d", &settings.width, &settings.height) != 2) {
        std::fprintf(stderr, "usage: scene_frame_bench [WxH] [frames] [first] [last]\n");
        return 2;
    }
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 12;
    const int firstScene = argc > 3 ? std::max(0, std::atoi(argv[3])) : 0;
    const int lastScene = argc > 4 ? std::min(kSceneTableSize - 2, std::atoi(argv[4])) : 10;
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

    // Baseline: a cleared frame and one full-screen quad.
    gl.glFinish();
    Clock::time_point start = Clock::now();
    double cpuStart = cpuMilliseconds();
    for (int i = 0; i < frames; ++i) {
        gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        assets.solidColorShader->use();
        assets.solidColorShader->setFloat4("icolor", 0.5f, 0.4f, 0.3f, 1.0f);
        assets.quadBuffer->draw(6);
        gl.glFinish();
    }
    const double baseline = millisecondsSince(start) / frames;
    const double cpuBaseline = (cpuMilliseconds() - cpuStart) / frames;
    std::printf("\n%dx%d, %d frames each; wall time, and CPU time of all threads\n", settings.width,
                settings.height, frames);
    std::printf("baseline (one full-screen quad):   %8.2f ms            %8.2f ms CPU\n", baseline,
                cpuBaseline);

    for (int scene = firstScene; scene <= lastScene; ++scene) {
        const double firstBar = assets.sceneStartBars[scene];
        const double lastBar = assets.sceneStartBars[scene + 1];
        start = Clock::now();
        cpuStart = cpuMilliseconds();
        for (int i = 0; i < frames; ++i) {
            // Spread over the scene, away from its edges.
            const double bars = firstBar + (lastBar - firstBar) * (i + 0.5) / frames;
            const auto position = static_cast<std::int64_t>(bars * 4.0 * kSecondsPerBeat * 1e7);
            SceneClock clock = frameHead(position, settings, assets.sceneStartBars);
            drawScene(assets, clock);
            gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
            gl.glFinish();
        }
        const double ms = millisecondsSince(start) / frames;
        const double cpu = (cpuMilliseconds() - cpuStart) / frames;
        std::printf("scene %2d (bars %3d-%3d): %8.2f ms %6.2f x  %5.1f fps  %8.2f ms CPU %6.2f x\n",
                    scene, assets.sceneStartBars[scene], assets.sceneStartBars[scene + 1], ms,
                    ms / baseline, 1000.0 / ms, cpu, cpu / cpuBaseline);
    }
    window.shutdown();
    return 0;
}
