// The cave's camcorder viewfinder drawn alone over black, on the real context with the real
// program and frame picture: what it draws by itself must move with the uniforms the cave sets,
// the time code with the clock, the sound meters with the beat, the zoom bar with the last beat.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "support/FrameChecks.h"
#include "support/SceneTestAssets.h"

namespace {

struct Beat {
    float beats, kick, saw;
};

// Places in the 1280 x 720 frame picture, measured from its top-left corner.
struct Box {
    float x0, y0, x1, y1;
};
constexpr Box kSecondsDigits = {1080, 626, 1122, 656};
constexpr Box kFrameDigits = {1128, 626, 1170, 656};
constexpr Box kHoursAndMinutes = {990, 626, 1075, 656};
constexpr Box kMeters = {556, 50, 724, 78};
constexpr Box kZoomFill = {200, 636, 296, 644};

class CamcorderOverlayTest : public ::testing::Test {
protected:
    DemoAssets& a = SceneTestAssets::get();

    // The frame picture's pass (blink_factor 0) at demo time `seconds`, over black.
    std::vector<unsigned char> draw(float seconds, Beat beat) {
        gl.glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        gl.glDisable(GL_DEPTH_TEST);
        gl.glEnable(GL_BLEND);
        const ShaderProgram& camera = *a.displayCameraShader;
        camera.use();
        camera.setFloat("t", seconds);
        camera.setFloat("beats", beat.beats);
        camera.setFloat("kick", beat.kick);
        camera.setFloat("bounce", 0.0f);
        camera.setFloat("saw", beat.saw);
        camera.setFloat("t_scene",
                        static_cast<float>(seconds - secondsOfBars(sceneNamed("cave").startBar)));
        camera.setFloat4("ipos", 0.0f, 0.0f, 1.0f, 1.0f);
        camera.setFloat("blink_factor", 0.0f);
        bindToUnit(0, *a.bordersTexture);
        a.quadBuffer->draw(6);
        gl.glDisable(GL_BLEND);
        gl.glEnable(GL_DEPTH_TEST);
        return readFrame();
    }

    // Pixels of `box` that differ between two frames by more than 24 in some channel.
    static int changed(const std::vector<unsigned char>& one, const std::vector<unsigned char>& two,
                       Box box) {
        return count(box, [&](size_t i) {
            for (int c = 0; c < 3; ++c)
                if (std::abs(int(one[i + c]) - int(two[i + c])) > 24) return true;
            return false;
        });
    }
    // Bright pixels of `box`: the marks, white or the meters' lit segments.
    static int bright(const std::vector<unsigned char>& frame, Box box) {
        return count(box, [&](size_t i) { return frame[i] + frame[i + 1] + frame[i + 2] > 360; });
    }

    template <typename Test>
    static int count(Box box, Test test) {
        int n = 0;
        // The boxes are in the 1280 x 720 picture's pixels.
        for (size_t i : pixelOffsetsFromTopLeft(double(box.x0) / 1280, double(box.y0) / 720,
                                                double(box.x1) / 1280, double(box.y1) / 720))
            n += test(i);
        return n;
    }
};

TEST_F(CamcorderOverlayTest, TimeCodeCountsTwentyFiveFramesASecond) {
    const Beat beat = {256.0f, 0.0f, 0.0f};
    // 80.0 s is 00:01:20:00; one frame later only the frame digits change.
    const std::vector<unsigned char> at = draw(80.0f, beat);
    const std::vector<unsigned char> nextFrame = draw(80.041f, beat);
    EXPECT_GT(changed(at, nextFrame, kFrameDigits), 2);
    EXPECT_EQ(changed(at, nextFrame, kSecondsDigits), 0);
    EXPECT_EQ(changed(at, nextFrame, kHoursAndMinutes), 0);
    // A second later the seconds change too, the minutes do not.
    const std::vector<unsigned char> nextSecond = draw(81.0f, beat);
    EXPECT_GT(changed(at, nextSecond, kSecondsDigits), 2);
    EXPECT_EQ(changed(at, nextSecond, kHoursAndMinutes), 0);
    EXPECT_GT(bright(at, kHoursAndMinutes), 10);  // the digits are drawn at all
}

TEST_F(CamcorderOverlayTest, MetersJumpOnTheBeatAndFallBackOverIt) {
    const int onBeat = bright(draw(80.0f, {256.0f, 0.0f, 0.0f}), kMeters);
    const int lateInBeat = bright(draw(80.0f, {256.8f, 0.0f, 0.8f}), kMeters);
    const int offBeat = bright(draw(80.0f, {257.0f, 1.0f, 0.0f}), kMeters);
    EXPECT_GT(onBeat, lateInBeat + 10);
    EXPECT_GT(offBeat, lateInBeat);  // every beat kicks them up ...
    EXPECT_GE(onBeat, offBeat);      // ... the bar's first the most
    EXPECT_GT(lateInBeat, 0);        // and some level stays
}

TEST_F(CamcorderOverlayTest, ZoomBarRunsToTOverTheLastBeat) {
    const Beat before = {286.5f, 2.0f, 0.5f}, zoomed = {287.9f, 3.0f, 0.9f};
    EXPECT_EQ(bright(draw(96.0f, before), kZoomFill), 0);
    EXPECT_GT(bright(draw(96.5f, zoomed), kZoomFill), 10);
}

}  // namespace
