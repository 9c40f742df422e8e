// MediaClock turns a media element's coarse current time into a smooth position. The readings
// here are made up: a coarse clock that steps every 250 ms, and the page's millisecond clock.
#include <gtest/gtest.h>

#include "audio/MediaClock.h"

namespace {

constexpr std::int64_t kMs = 10'000;  // 100 ns units per millisecond

TEST(MediaClockTest, RunsSmoothlyBetweenCoarseStepsAndFollowsEachStep) {
    MediaClock clock;
    clock.reset(0);
    EXPECT_EQ(clock.update(0, 1000.0, true), 0);
    EXPECT_EQ(clock.update(0, 1010.0, true), 10 * kMs);
    EXPECT_EQ(clock.update(0, 1249.5, true), 2495 * 1000);
    // The element steps to 250 ms at 1250 ms: on time, so the position goes on without a jump.
    EXPECT_EQ(clock.update(250 * kMs, 1250.0, true), 250 * kMs);
    EXPECT_EQ(clock.update(250 * kMs, 1300.0, true), 300 * kMs);
    // A late step (the sound ran slower) is taken from where it says.
    EXPECT_EQ(clock.update(520 * kMs, 1510.0, true), 520 * kMs);
    EXPECT_EQ(clock.update(520 * kMs, 1520.0, true), 530 * kMs);
}

TEST(MediaClockTest, NeverGoesBackWhenAStepReportsLessThanWasShown) {
    MediaClock clock;
    clock.reset(0);
    clock.update(0, 0.0, true);
    EXPECT_EQ(clock.update(0, 300.0, true), 300 * kMs);
    // The element was behind the page's clock: the picture holds until the sound catches up.
    EXPECT_EQ(clock.update(250 * kMs, 301.0, true), 300 * kMs);
    EXPECT_EQ(clock.update(250 * kMs, 340.0, true), 300 * kMs);
    EXPECT_EQ(clock.update(250 * kMs, 361.0, true), 310 * kMs);
}

TEST(MediaClockTest, HoldsWhilePausedAndGoesOnFromThereWhenResumed) {
    MediaClock clock;
    clock.reset(0);
    clock.update(100 * kMs, 0.0, true);
    EXPECT_EQ(clock.update(100 * kMs, 40.0, true), 140 * kMs);
    // Paused between two steps: the position stays where it was shown.
    EXPECT_EQ(clock.update(100 * kMs, 50.0, false), 140 * kMs);
    EXPECT_EQ(clock.update(100 * kMs, 5000.0, false), 140 * kMs);
    // Resumed: it runs on from the held position, not from when it stopped.
    EXPECT_EQ(clock.update(100 * kMs, 6000.0, true), 140 * kMs);
    EXPECT_EQ(clock.update(100 * kMs, 6020.0, true), 160 * kMs);
}

TEST(MediaClockTest, AStalledElementStopsThePositionOneSecondPastItsLastStep) {
    MediaClock clock;
    clock.reset(0);
    clock.update(2000 * kMs, 0.0, true);
    // Still "playing" but its time stands (buffering): the position runs at most a second ahead.
    EXPECT_EQ(clock.update(2000 * kMs, 900.0, true), 2900 * kMs);
    EXPECT_EQ(clock.update(2000 * kMs, 5000.0, true), 2000 * kMs + MediaClock::kMaxLead);
    // When the element moves again the position waits for it, then follows.
    EXPECT_EQ(clock.update(2500 * kMs, 5001.0, true), 3000 * kMs);
    EXPECT_EQ(clock.update(2500 * kMs, 5601.0, true), 3100 * kMs);
}

TEST(MediaClockTest, ResetMovesBothWaysAndAStoppedClockStaysPut) {
    MediaClock clock;
    clock.reset(0);
    clock.update(0, 0.0, true);
    EXPECT_EQ(clock.update(0, 800.0, true), 800 * kMs);
    clock.reset(100 * kMs);  // a seek back
    EXPECT_EQ(clock.position(), 100 * kMs);
    EXPECT_EQ(clock.update(100 * kMs, 900.0, false), 100 * kMs);
    EXPECT_EQ(clock.update(100 * kMs, 1900.0, false), 100 * kMs);
    clock.reset(90'000 * kMs);  // a seek forward
    EXPECT_EQ(clock.update(90'000 * kMs, 2000.0, true), 90'000 * kMs);
    // A page clock that goes backwards (it should not) does not move the position back either.
    EXPECT_EQ(clock.update(90'000 * kMs, 2010.0, true), 90'010 * kMs);
    EXPECT_EQ(clock.update(90'000 * kMs, 1000.0, true), 90'010 * kMs);
}

}  // namespace
