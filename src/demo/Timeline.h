#pragma once
#include <cstdint>

#include "demo/Scenes.h"
#include "demo/Tempo.h"

// The running order of the demo: one row per scene, and the conversions between bars, beats and
// seconds that every other file derives its times from.

constexpr double kSecondsPerBeat = 60.0 / kBeatsPerMinute;

constexpr double secondsOfBeats(double beats) {
    return beats * kSecondsPerBeat;
}
// Written as the clock writes it (bars times four, then times the beat), so the two agree to the
// last bit.
constexpr double secondsOfBars(double bars) {
    return bars * static_cast<double>(kBeatsPerBar) * kSecondsPerBeat;
}
constexpr double barsOfSeconds(double seconds) {
    return seconds / (static_cast<double>(kBeatsPerBar) * kSecondsPerBeat);
}
constexpr double beatsOfSeconds(double seconds) {
    return seconds / kSecondsPerBeat;
}

using SceneRoutine = void (*)(DemoAssets&, SceneClock&);

// One scene: where it starts, its name, and the routine that draws it. The frame's clock carries
// the row it falls in (SceneClock::scene), and the routine reads its times from there.
struct TimelineScene {
    std::int32_t startBar;
    const char* name;
    SceneRoutine draw;
};

// Neighbouring rows with the same routine are a pair: it runs as one scene across both windows,
// its time counting from the first one's start (only the temple looks at which of the two it is
// drawing).
constexpr int kSceneCount = 11;
// One table for the whole program (inline): a row is told by its address.
inline constexpr TimelineScene kTimeline[kSceneCount] = {
    {0, "intro", drawIntroScene},        {8, "canyon", drawCanyonScene},
    {22, "big logo", drawCanyonScene},   {24, "tunnel", drawAsteroidTunnelScene},
    {40, "fly-by", drawCliffFlybyScene}, {56, "cave", drawCaveScene},
    {60, "cave 2", drawCaveScene},       {72, "rockets", drawRocketsScene},
    {88, "rockets 2", drawRocketsScene}, {104, "temple", drawTempleScene},
    {120, "finale", drawTempleScene},
};
// The last scene ends here; from this bar on only the cleared background is shown...
constexpr std::int32_t kLastSceneEndBar = 136;
// ...until the first frame past this bar, which ends the demo (a NaN goes on).
constexpr float kEndBar = 142.0f;
constexpr bool isPastTheEnd(float bars) {
    return kEndBar < bars;
}

// The row's place in the running order, and the rows around it.
constexpr int sceneNumber(const TimelineScene& scene) {
    return static_cast<int>(&scene - kTimeline);
}
constexpr std::int32_t endBar(const TimelineScene& scene) {
    const int next = sceneNumber(scene) + 1;
    return next < kSceneCount ? kTimeline[next].startBar : kLastSceneEndBar;
}
// The second window of a pair.
constexpr bool isSecondOfPair(const TimelineScene& scene) {
    const int n = sceneNumber(scene);
    return n > 0 && kTimeline[n - 1].draw == scene.draw;
}
// The window its routine runs across: from the pair's first start to its last end.
constexpr std::int32_t routineStartBar(const TimelineScene& scene) {
    return isSecondOfPair(scene) ? kTimeline[sceneNumber(scene) - 1].startBar : scene.startBar;
}
constexpr std::int32_t routineEndBar(const TimelineScene& scene) {
    const int next = sceneNumber(scene) + 1;
    return next < kSceneCount && isSecondOfPair(kTimeline[next]) ? endBar(kTimeline[next])
                                                                 : endBar(scene);
}

constexpr bool sameName(const char* a, const char* b) {
    return *a == *b && (*a == '\0' || sameName(a + 1, b + 1));
}
// The row called `name` (a name no row has does not compile in a constant, and throws otherwise).
constexpr const TimelineScene& sceneNamed(const char* name) {
    int i = 0;
    while (i < kSceneCount && !sameName(kTimeline[i].name, name)) ++i;
    return i < kSceneCount ? kTimeline[i] : throw "no scene of that name";
}
