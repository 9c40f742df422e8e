#include "BenchDemo.h"

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "audio/MusicPosition.h"
#include "demo/FrameHead.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"

bool loadBenchDemo(BenchDemo& demo, int argc, char** argv, const char* usage) {
    BenchDemo::Size& s = demo.settings;
    if (argc > 1 && std::sscanf(argv[1], "%dx%d", &s.width, &s.height) != 2) {
        std::fprintf(stderr, "usage: %s\n", usage);
        return false;
    }
    if (!demo.window.create(s.width, s.height, false)) return false;

    std::printf("Loading (build logs follow)\n");
    demo.demo.load(s.width, s.height, demo.music);
    return true;
}

void closeBenchDemo(BenchDemo& demo) {
    demo.demo.release();
    demo.window.shutdown();
}

SceneClock frameAtBar(BenchDemo& demo, double bars) {
    return frameHead(positionOfSeconds(secondsOfBars(bars)),
                     static_cast<float>(demo.settings.width),
                     static_cast<float>(demo.settings.height));
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
