#include "BenchDemo.h"

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "demo/FrameHead.h"
#include "demo/LoadPhase.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"

bool loadBenchDemo(BenchDemo& demo, int argc, char** argv, const char* usage) {
    LaunchSettings& s = demo.settings;
    s.width = 1280;
    s.height = 720;
    if (argc > 1 && std::sscanf(argv[1], "%dx%d", &s.width, &s.height) != 2) {
        std::fprintf(stderr, "usage: %s\n", usage);
        return false;
    }
    s.screenWidth = static_cast<float>(s.width);
    s.screenHeight = static_cast<float>(s.height);
    if (!demo.window.create(s.width, s.height, false)) return false;

    std::printf("Loading (build logs follow)\n");
    loadDemoAssets(demo.assets, s, demo.music);
    gl.glEnable(GL_DEPTH_TEST);
    gl.glDepthFunc(GL_LEQUAL);
    gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    return true;
}

SceneClock frameAtBar(BenchDemo& demo, double bars) {
    const auto position = static_cast<std::int64_t>(bars * 4.0 * kSecondsPerBeat * 1e7);
    return frameHead(position, demo.settings, demo.assets.sceneStartBars);
}

void drawBaselineFrame(DemoAssets& assets) {
    gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    assets.solidColorShader->use();
    assets.solidColorShader->setFloat4("icolor", 0.5f, 0.4f, 0.3f, 1.0f);
    assets.quadBuffer->draw(6);
}

static double milliseconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double processCpuMilliseconds() {
    return milliseconds(CLOCK_PROCESS_CPUTIME_ID);
}

double threadCpuMilliseconds() {
    return milliseconds(CLOCK_THREAD_CPUTIME_ID);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
