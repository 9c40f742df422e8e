#pragma once
#include <array>
#include <cstdint>

#include "demo/Scenes.h"

// The running order of the demo: one row per scene, and the conversions between bars, beats and
// seconds that every other file derives its times from.

// 178 BPM, four beats a bar.
constexpr double kBeatsPerMinute = 178.0;
constexpr double kSecondsPerBeat = 0.33707865168539325;  // 60 / 178
constexpr int kBeatsPerBar = 4;

constexpr double secondsOfBeats(double beats) {
    return beats * kSecondsPerBeat;
}
// Written as the clock writes it (bars times four, then times the beat), so the two agree to the
// last bit.
constexpr double secondsOfBars(double bars) {
    return bars * 4.0 * kSecondsPerBeat;
}
constexpr double barsOfSeconds(double seconds) {
    return seconds / (4.0 * kSecondsPerBeat);
}
constexpr double beatsOfSeconds(double seconds) {
    return seconds / kSecondsPerBeat;
}

using SceneRoutine = void (*)(DemoAssets&, SceneClock&);

struct TimelineScene {
    int index;
    std::int32_t startBar;
    const char* name;
    SceneRoutine draw;
};

// Pairs of scenes share one routine, which runs across both windows (only the temple's reads
// which of the two it is drawing).
constexpr int kSceneCount = 11;
inline constexpr TimelineScene kTimeline[kSceneCount] = {
    {0, 0, "intro", drawIntroScene},        {1, 8, "canyon", drawCanyonScene},
    {2, 22, "big logo", drawCanyonScene},   {3, 24, "tunnel", drawAsteroidTunnelScene},
    {4, 40, "fly-by", drawCliffFlybyScene}, {5, 56, "cave", drawCaveScene},
    {6, 60, "cave 2", drawCaveScene},       {7, 72, "rockets", drawRocketsScene},
    {8, 88, "rockets 2", drawRocketsScene}, {9, 104, "temple", drawTempleScene},
    {10, 120, "finale", drawTempleScene},
};
// Scene 10 ends here; from this bar on only the cleared background is shown...
constexpr std::int32_t kLastSceneEndBar = 136;
// ...until the first frame past this bar, which ends the demo.
constexpr float kEndBar = 142.0f;

// The scene start table the clock searches: the eleven start bars and the end of the last scene.
constexpr int kSceneTableSize = kSceneCount + 1;
constexpr std::array<std::int32_t, kSceneTableSize> sceneStartBarTable() {
    std::array<std::int32_t, kSceneTableSize> bars{};
    for (int i = 0; i < kSceneCount; ++i) bars[i] = kTimeline[i].startBar;
    bars[kSceneCount] = kLastSceneEndBar;
    return bars;
}

constexpr double sceneStartSeconds(int scene) {
    return secondsOfBars(kTimeline[scene].startBar);
}
// The end of a scene: the next one's start, or the end of the last scene.
constexpr std::int32_t sceneEndBar(int scene) {
    return scene + 1 < kSceneCount ? kTimeline[scene + 1].startBar : kLastSceneEndBar;
}
