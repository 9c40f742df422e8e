#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "audio/MusicPosition.h"
#include "demo/SceneClock.h"

namespace {

SceneClock at(std::int64_t position, float width = 1280.0f, float height = 720.0f) {
    return computeSceneClock(position, width, height);
}

// The positions below were found offline by replaying the float roundings (position in seconds to
// float, then to beats in double to float) so that beats land exactly on the values named.

TEST(SceneClock, PositionZeroIsTheFirstFrameOfTheIntro) {
    const SceneClock c = at(0);
    EXPECT_EQ(c.seconds, 0.0f);
    EXPECT_EQ(c.beats, 0.0f);
    EXPECT_EQ(c.bars, 0.0f);
    EXPECT_EQ(c.beatInBar, 0.0f);
    EXPECT_EQ(c.beatSine, 0.0f);
    EXPECT_EQ(c.beatFraction, 0.0f);
    EXPECT_STREQ(c.sceneName(), "intro");
    EXPECT_EQ(c.sceneSeconds(0), 0.0f);
}

TEST(SceneClock, SceneStartsAreInclusiveAndBar136EndsTheScenes) {
    EXPECT_EQ(at(107865166).bars, 7.999999523162842f);
    EXPECT_STREQ(at(107865166).sceneName(), "intro");
    EXPECT_EQ(at(107865167).bars, 8.0f);
    EXPECT_STREQ(at(107865167).sceneName(), "canyon");

    EXPECT_EQ(at(1833707809).bars, 135.99998474121094f);
    EXPECT_STREQ(at(1833707809).sceneName(), "finale");
    EXPECT_EQ(at(1833707810).bars, 136.0f);
    EXPECT_EQ(at(1833707810).scene, nullptr);
    EXPECT_EQ(at(1914606705).scene, nullptr);  // bar 142

    // Each scene from its first whole bar, through the table, and its pair's time.
    const struct {
        const char* name;
        int startBar, routineStartBar;
        bool second;
    } expected[] = {
        {"intro", 0, 0, false},      {"canyon", 8, 8, false},    {"big logo", 22, 8, true},
        {"tunnel", 24, 24, false},   {"fly-by", 40, 40, false},  {"cave", 56, 56, false},
        {"cave 2", 60, 56, true},    {"rockets", 72, 72, false}, {"rockets 2", 88, 72, true},
        {"temple", 104, 104, false}, {"finale", 120, 104, true}};
    for (const auto& scene : expected) {
        const SceneClock c = at(positionOfSeconds(secondsOfBars(scene.startBar)) + 10000);
        ASSERT_STREQ(c.sceneName(), scene.name) << "bar " << scene.startBar;
        EXPECT_EQ(routineStartBar(*c.scene), scene.routineStartBar) << scene.name;
        EXPECT_EQ(isSecondOfPair(*c.scene), scene.second) << scene.name;
        EXPECT_EQ(&sceneNamed(scene.name), c.scene);
    }
}

TEST(SceneClock, BeatInBarAndFractionJustBeforeAndOnABeat) {
    const SceneClock before = at(26962921);
    EXPECT_EQ(before.beats, 7.999000072479248f);
    EXPECT_EQ(before.beatInBar, 3.0f);
    EXPECT_EQ(before.beatFraction, 7.999000072479248f - 7.0f);
    EXPECT_NEAR(before.beatFraction, 0.999f, 1e-6f);

    const SceneClock on = at(26966292);
    EXPECT_EQ(on.beats, 8.0f);
    EXPECT_EQ(on.beatInBar, 0.0f);
    EXPECT_EQ(on.beatFraction, 0.0f);

    const SceneClock third = at(10112359);  // beats 3.0: the fourth beat of the first bar
    EXPECT_EQ(third.beatInBar, 3.0f);
    EXPECT_EQ(at(16853932).beatInBar, 1.0f);  // beats 5.0
}

TEST(SceneClock, BeatSineFollowsTheQuarterBeats) {
    // beats 4.0, 4.25, 4.5, 4.75: sin of 2 * beats * pi with pi and the product in float.
    EXPECT_EQ(at(13483146).beats, 4.0f);
    EXPECT_NEAR(at(13483146).beatSine, 6.993822125878069e-07f, 1e-12f);
    EXPECT_EQ(at(14325843).beats, 4.25f);
    EXPECT_FLOAT_EQ(at(14325843).beatSine, 1.0f);
    EXPECT_EQ(at(15168539).beats, 4.5f);
    EXPECT_NEAR(at(15168539).beatSine, -7.154928027830465e-08f, 1e-12f);
    EXPECT_EQ(at(16011236).beats, 4.75f);
    EXPECT_FLOAT_EQ(at(16011236).beatSine, -1.0f);
}

TEST(SceneClock, AspectIsHeightOverWidthAndFeedsTheProjection) {
    const SceneClock c = at(0, 1920.0f, 1080.0f);
    EXPECT_EQ(c.aspect, 0.5625f);
    // Half-width 0.4 at the near plane 1: x scale 2 / 0.8, y scale 2 / (0.8 * aspect).
    EXPECT_NEAR(c.projection.m[0], 2.5f, 1e-6f);
    EXPECT_NEAR(c.projection.m[5], 4.4444444f, 1e-5f);
    EXPECT_NEAR(at(0, 512.0f, 512.0f).projection.m[5], 2.5f, 1e-6f);
}

TEST(SceneClock, SceneSecondsCountFromTheStartBar) {
    const SceneClock intro = at(26962921);
    EXPECT_EQ(intro.sceneSeconds(0), intro.seconds);
    // Exactly on bar 8 the float seconds differ from 8 bars in double by less than a float step.
    EXPECT_NEAR(at(107865167).sceneSeconds(8), 0.0f, 1e-6f);
    EXPECT_EQ(at(107865167).sceneSeconds(8), 2.893169153139752e-07f);
    // Bar 104 starts at 140.2247191 s.
    EXPECT_NEAR(at(1502247191).sceneSeconds(104), 10.0f, 2e-5f);
}

}  // namespace
