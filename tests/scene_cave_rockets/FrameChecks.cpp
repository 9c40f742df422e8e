#include "FrameChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gl/GlEntryTable.h"
#include "support/SceneTestAssets.h"

SceneClock clockAtBeats(double beats) {
    const Demo& demo = SceneTestAssets::demo();
    auto position = static_cast<std::int64_t>(std::floor(secondsOfBeats(beats) * 1e7)) - 50;
    SceneClock c = demo.clockAt(position);
    while (c.beats < beats) c = demo.clockAt(++position);
    return c;
}

TextureUnits textureUnitsNow() {
    TextureUnits units;
    GLint active = 0;
    gl.glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    units.active = active - GL_TEXTURE0;
    for (int unit = 0; unit < 4; ++unit) {
        gl.glActiveTexture(GL_TEXTURE0 + unit);
        GLint bound = 0;
        gl.glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        units.bound[unit] = unsigned(bound);
    }
    gl.glActiveTexture(GLenum(active));
    return units;
}

int countPixels(const std::function<bool(int r, int g, int b)>& test, double x0, double y0,
                double x1, double y1) {
    const int w = SceneTestAssets::kWidth, h = SceneTestAssets::kHeight;
    const std::vector<unsigned char> pixels = readFrame();
    int count = 0;
    for (int row = int(y0 * h); row < int(y1 * h); ++row) {
        const int glRow = h - 1 - row;  // the frame is read bottom row first
        for (int col = int(x0 * w); col < int(x1 * w); ++col) {
            const unsigned char* p = &pixels[(size_t(glRow) * w + col) * 4];
            if (test(p[0], p[1], p[2])) ++count;
        }
    }
    return count;
}
