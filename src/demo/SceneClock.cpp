#include "demo/SceneClock.h"

#include <cmath>

#include "audio/MusicPosition.h"
#include "demo/SceneCameras.h"
#include "math/Scalar.h"

namespace {
constexpr float kPi = 3.1415927410125732f;
}

float SceneClock::sceneSeconds(int startBar) const {
    return static_cast<float>(static_cast<double>(seconds) - secondsOfBars(startBar));
}

SceneClock computeSceneClock(std::int64_t position, float screenWidth, float screenHeight) {
    SceneClock c;
    c.screenWidth = screenWidth;
    c.screenHeight = screenHeight;
    c.seconds = static_cast<float>(secondsOfPosition(position));
    c.beats = static_cast<float>(static_cast<double>(c.seconds) / 60.0 * kBeatsPerMinute);
    c.bars = c.beats * 0.25f;
    const double wholeBeats = std::floor(static_cast<double>(c.beats));
    c.beatInBar = static_cast<float>(static_cast<std::int32_t>(wholeBeats) % 4);
    const float x = 2.0f * c.beats * kPi;
    c.beatSine = sinSingle(x);
    c.beatFraction = c.beats - static_cast<float>(wholeBeats);

    // Scene k runs while start[k] <= bars < end[k]; a NaN falls in no scene.
    for (const TimelineScene& scene : kTimeline)
        if (static_cast<float>(scene.startBar) <= c.bars) c.scene = &scene;
    if (c.scene && !(c.bars < static_cast<float>(endBar(*c.scene)))) c.scene = nullptr;

    c.aspect = screenHeight / screenWidth;
    perspective(c.projection, kLensHalfWidth, c.aspect, 1.0f, 200.0f);
    return c;
}
