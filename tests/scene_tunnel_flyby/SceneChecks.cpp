#include "SceneChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "support/SceneTestAssets.h"

SceneClock clockAtBars(double bars, bool past) {
    const Demo& demo = SceneTestAssets::demo();
    auto position = static_cast<std::int64_t>(std::floor(secondsOfBars(bars) * 1e7)) - 50;
    SceneClock c = demo.clockAt(position);
    while (c.bars < bars || (past && c.bars == bars)) c = demo.clockAt(++position);
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
