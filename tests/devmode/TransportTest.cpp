#include <gtest/gtest.h>

#include "app/dev/Transport.h"
#include "demo/Timeline.h"

namespace {

using Seek = Transport::Seek;

TEST(Transport, StepsByBarsAndBeatsWithinTheDemo) {
    EXPECT_DOUBLE_EQ(Transport::target(Seek::BarForward, 20.5), 21.5);
    EXPECT_DOUBLE_EQ(Transport::target(Seek::BarBack, 20.5), 19.5);
    EXPECT_DOUBLE_EQ(Transport::target(Seek::BeatForward, 20.5), 20.75);
    EXPECT_DOUBLE_EQ(Transport::target(Seek::BeatBack, 20.5), 20.25);
    EXPECT_DOUBLE_EQ(Transport::target(Seek::BarBack, 0.5), 0.0);
    EXPECT_DOUBLE_EQ(Transport::target(Seek::BarForward, 141.5), kEndBar);
    EXPECT_DOUBLE_EQ(Transport::target(Seek::Start, 77.0), 0.0);
}

TEST(Transport, SceneKeysFollowTheTimelineTable) {
    EXPECT_DOUBLE_EQ(Transport::target(Seek::NextScene, 21.25), 22.0);
    EXPECT_DOUBLE_EQ(Transport::target(Seek::NextScene, 22.0), 24.0);  // from a start: the next
    EXPECT_DOUBLE_EQ(Transport::target(Seek::NextScene, 125.0), kLastSceneEndBar);
    EXPECT_DOUBLE_EQ(Transport::target(Seek::NextScene, 137.0), kEndBar);
    // Back to the start of the scene playing, or to the one before right after a start.
    EXPECT_DOUBLE_EQ(Transport::target(Seek::PreviousScene, 23.0), 22.0);
    EXPECT_DOUBLE_EQ(Transport::target(Seek::PreviousScene, 22.0), 8.0);
    EXPECT_DOUBLE_EQ(Transport::target(Seek::PreviousScene, 22.1), 8.0);
    EXPECT_DOUBLE_EQ(Transport::target(Seek::PreviousScene, 22.2), 22.0);
    EXPECT_DOUBLE_EQ(Transport::target(Seek::PreviousScene, 3.0), 0.0);
    EXPECT_DOUBLE_EQ(Transport::target(Seek::PreviousScene, 140.0), kLastSceneEndBar);
    // Every start is reached going forward from the one before.
    for (const TimelineScene& scene : kTimeline)
        EXPECT_DOUBLE_EQ(Transport::target(Seek::NextScene, scene.startBar), endBar(scene));
}

TEST(Transport, LoopsTheSceneOrTheMarkedRangeAndWrapsAtItsEnd) {
    Transport t;
    double to = -1.0;
    EXPECT_FALSE(t.wraps(30.0, to));
    EXPECT_EQ(t.loopLine(), "loop off");

    t.toggleSceneLoop(22.4);
    ASSERT_TRUE(t.looping());
    EXPECT_EQ(t.loopLine(), "loop 22.000b-24.000b");
    EXPECT_FALSE(t.wraps(23.99, to));
    EXPECT_TRUE(t.wraps(24.0, to));
    EXPECT_DOUBLE_EQ(to, 22.0);
    t.toggleSceneLoop(22.4);
    EXPECT_FALSE(t.looping());

    t.toggleSceneLoop(138.0);  // after the last scene: the closing bars
    EXPECT_EQ(t.loopLine(), "loop 136.000b-142.000b");
    t.toggleSceneLoop(138.0);

    t.setLoopIn(30.5);
    EXPECT_FALSE(t.looping());
    EXPECT_EQ(t.loopLine(), "loop in 30.500b");
    t.setLoopOut(29.0);  // out before in: no loop yet
    EXPECT_FALSE(t.looping());
    t.setLoopOut(32.25);
    EXPECT_EQ(t.loopLine(), "loop 30.500b-32.250b");
    EXPECT_TRUE(t.wraps(40.0, to));  // a seek past the end wraps too
    EXPECT_DOUBLE_EQ(to, 30.5);
    EXPECT_EQ(positionLine(31.0, true, t), "position 31.000b paused loop 30.500b-32.250b");
    EXPECT_EQ(positionLine(20.99999999, false, Transport()), "position 21.000b playing");
}

}  // namespace
