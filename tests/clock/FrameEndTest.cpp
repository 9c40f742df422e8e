#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "demo/Demo.h"
#include "demo/FrameEnd.h"
#include "demo/SceneClock.h"
#include "support/GlTestContext.h"

namespace {

class FrameEndOnAWindow : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(context.ok()); }

    GlTestContext context{16, 16};
};

TEST_F(FrameEndOnAWindow, Bar142ItselfGoesOnAndTheFramePastItIsTheLast) {
    GLuint framebuffer = 0;
    gl.glGenFramebuffers(1, &framebuffer);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    EXPECT_TRUE(frameEnd(142.0f));
    GLint bound = -1;
    gl.glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
    gl.glDeleteFramebuffers(1, &framebuffer);
    EXPECT_TRUE(frameEnd(NAN));
    EXPECT_FALSE(frameEnd(std::nextafter(142.0f, 200.0f)));
}

// The whole timeline at 60 fps on the frame clock, frame n at n / 60 s: the loop of the demo
// without the scenes.
TEST_F(FrameEndOnAWindow, TimelineAt60FpsEndsOnTheFirstFramePastBar142) {
    auto clockOf = [&](long frame) {
        return computeSceneClock(framePosition(frame, 60.0), 16.0f, 16.0f);
    };
    long frame = 0;
    while (frameEnd(clockOf(frame).bars) && frame < 20000) ++frame;

    // Frames 0 to 11,488: bar 142 falls between 191.45 s and 191.4667 s.
    EXPECT_EQ(frame, 11488);
    EXPECT_GT(clockOf(frame).bars, 142.0f);
    EXPECT_LE(clockOf(frame - 1).bars, 142.0f);
    EXPECT_EQ(clockOf(frame).scene, nullptr);
    // What the runner asks the demo.
    EXPECT_TRUE(Demo::isLastFrame(framePosition(frame, 60.0)));
    EXPECT_FALSE(Demo::isLastFrame(framePosition(frame - 1, 60.0)));
}

// The runner: the real entry sequence and frame loop, ended by the frame end.
std::string runHeadless(const std::string& arguments) {
    const std::string command = std::string(VELMORA_HEADLESS) + " " + arguments + " 2>&1";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

long framesRendered(const std::string& output) {
    const size_t at = output.rfind(" frames rendered");
    if (at == std::string::npos) return -1;
    const size_t start = output.rfind(' ', at - 1) + 1;
    return std::stol(output.substr(start, at - start));
}

// Ranges in the frames after the last scene, so the cost of the scenes does not matter.
TEST(HeadlessRunner, RendersRangesAndEndsAfterBar142) {
    // 184 s to the end at 60 fps: frames 11,040 to 11,488.
    EXPECT_EQ(framesRendered(runHeadless("--size 16x16 --fps 60 --from 184")), 449);
    // Bars 137 to 138 (184.719 s to 186.067 s) at 30 fps: frames 5542 to 5582.
    EXPECT_EQ(framesRendered(runHeadless("--size 16x16 --fps 30 --from 137b --to 138b")), 41);
    EXPECT_EQ(framesRendered(runHeadless("--size 16x16 --fps 30 --from 190 --frames 3")), 3);
    const std::string bad = runHeadless("--size 16x16 --from 1x");
    EXPECT_NE(bad.find("--from takes a time"), std::string::npos) << bad;
    EXPECT_NE(bad.find("not \"1x\""), std::string::npos) << bad;
}

}  // namespace
