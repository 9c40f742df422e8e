#include "SceneChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "support/SceneTestAssets.h"

SceneClock clockAtBars(double bars, bool past) {
    const LaunchSettings& s = SceneTestAssets::settings();
    const std::int32_t* starts = SceneTestAssets::get().sceneStartBars;
    auto position = static_cast<std::int64_t>(std::floor(bars * 4.0 * kSecondsPerBeat * 1e7)) - 50;
    SceneClock c = computeSceneClock(position, s.screenWidth, s.screenHeight, starts);
    while (c.bars < bars || (past && c.bars == bars))
        c = computeSceneClock(++position, s.screenWidth, s.screenHeight, starts);
    return c;
}

std::vector<double> lastCallArgs(const GlCallRecorder& calls, const std::string& function) {
    std::vector<double> args;
    for (const GlCallRecorder::Call& call : calls.calls())
        if (call.function == function) args = call.args;
    return args;
}

int countPixels(const std::function<bool(int r, int g, int b)>& test, double x0, double y0,
                double x1, double y1) {
    const std::vector<unsigned char> pixels = readFrame();
    const int w = SceneTestAssets::kWidth, h = SceneTestAssets::kHeight;
    int count = 0;
    for (int y = int(y0 * h); y < int(y1 * h); ++y)
        for (int x = int(x0 * w); x < int(x1 * w); ++x) {
            const unsigned char* p = &pixels[(size_t(y) * w + x) * 4];
            if (test(p[0], p[1], p[2])) ++count;
        }
    return count;
}
