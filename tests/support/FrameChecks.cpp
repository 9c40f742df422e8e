#include "support/FrameChecks.h"

#include <cmath>
#include <cstdint>

#include "audio/MusicPosition.h"
#include "demo/Timeline.h"
#include "gl/GlEntryTable.h"
#include "support/SceneTestAssets.h"

namespace {

// The first position at or after `seconds`, a few steps early, from which `reached` is searched.
template <typename Reached>
SceneClock firstClock(double seconds, Reached reached) {
    const Demo& demo = SceneTestAssets::demo();
    auto position = positionOfSeconds(seconds) - 50;
    SceneClock c = demo.clockAt(position);
    while (!reached(c)) c = demo.clockAt(++position);
    return c;
}

}  // namespace

SceneClock clockAtBars(double bars, bool past) {
    return firstClock(secondsOfBars(bars),
                      [&](const SceneClock& c) { return past ? c.bars > bars : c.bars >= bars; });
}

SceneClock clockAtBeats(double beats) {
    return firstClock(secondsOfBeats(beats), [&](const SceneClock& c) { return c.beats >= beats; });
}

std::vector<double> lastCallArgs(const GlCallRecorder& calls, const std::string& function) {
    std::vector<double> args;
    for (const GlCallRecorder::Call& call : calls.calls())
        if (call.function == function) args = call.args;
    return args;
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

std::vector<size_t> pixelOffsetsFromTopLeft(double x0, double y0, double x1, double y1) {
    const int w = SceneTestAssets::kWidth, h = SceneTestAssets::kHeight;
    // The edges in whole pixels; a hair added so an edge meant to fall on a pixel boundary is not
    // lost to the rounding of the fraction.
    const auto edge = [](double fraction, int size) { return int(fraction * size + 1e-9); };
    std::vector<size_t> offsets;
    for (int row = edge(y0, h); row < edge(y1, h); ++row) {
        const int readRow = h - 1 - row;  // the frame is read bottom row first
        for (int col = edge(x0, w); col < edge(x1, w); ++col)
            offsets.push_back((size_t(readRow) * w + col) * 4);
    }
    return offsets;
}

int countPixelsFromTopLeft(const std::function<bool(int r, int g, int b)>& test, double x0,
                           double y0, double x1, double y1) {
    const std::vector<unsigned char> pixels = readFrame();
    int count = 0;
    for (size_t i : pixelOffsetsFromTopLeft(x0, y0, x1, y1))
        if (test(pixels[i], pixels[i + 1], pixels[i + 2])) ++count;
    return count;
}
