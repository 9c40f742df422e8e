#include <gtest/gtest.h>

#include "app/Keyboard.h"
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

// At a low frame rate a whole key sequence falls between two frames: each press must keep the
// modifiers it went down with and its count, whatever is held when the frame reads them.
TEST(Transport, KeyPressesBetweenTwoSlowFramesSeekAsTheyWereTyped) {
    Keyboard keys;
    keys.press(Key::Shift, kShiftHeld);
    keys.press(Key::Right, kShiftHeld);  // Shift+Right: a beat
    keys.release(Key::Right);
    keys.release(Key::Shift);
    keys.press(Key::Right, 0);  // then Right twice: two bars
    keys.release(Key::Right);
    keys.press(Key::Right, 0);
    keys.press(Key::Left, kShiftHeld, 2);   // a held Shift+Left folded into one message: two beats
    keys.press(Key::Space, 0);              // not a seek
    ASSERT_FALSE(keys.isDown(Key::Shift));  // what a frame starting now sees held
    EXPECT_EQ(keys.presses(Key::Right), 3);

    double bars = 20.0;
    int seeks = 0;
    for (const KeyEvent& press : keys.pressesThisFrame()) {
        Seek seek;
        if (!Transport::seekFor(press, seek)) continue;
        for (int i = 0; i < press.count; ++i, ++seeks) bars = Transport::target(seek, bars);
    }
    EXPECT_EQ(seeks, 5);
    EXPECT_DOUBLE_EQ(bars, 20.0 + 0.25 + 2.0 - 0.5);

    keys.startFrame();  // the next frame: nothing pressed again, Right still held
    EXPECT_TRUE(keys.pressesThisFrame().empty());
    EXPECT_TRUE(keys.isDown(Key::Right));
    keys.reset();
    EXPECT_FALSE(keys.isDown(Key::Right));
}

}  // namespace
