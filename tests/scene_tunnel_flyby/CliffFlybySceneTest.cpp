// Scene 4 at the edges of its timeline: the fly-by, the roll between bars 44 and 48 (both
// strict), the high view after 48, the title cards from bar 44 with the bands parting as
// "fadeout" grows, and the fade to black whose alpha is sent unclamped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "demo/SceneCameras.h"
#include "demo/Scenes.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "support/DrawnCamera.h"
#include "support/FrameChecks.h"
#include "support/MatrixChecks.h"
#include "support/SceneTestAssets.h"

namespace {

using Draw = GlCallRecorder::Draw;

const std::vector<double> kDusk = {0.29411766f, 0.1254902f, 0.10980392f};
const std::vector<double> kPanel = {0.17635f, 0.1095f, 1.2946f, 1.5743f};
const std::vector<double> kName = {0.24007f, 0.27065f, 1.0397f, 0.6374f};
constexpr double kBandHeight = 0.14305555820465088;
// From bar 44 the world is turned 0.4 rad about the flight axis; the camera, looking across it
// at the wall, sees the picture tilted by this much.
constexpr double kRolledTilt = 0.1869;

class CliffFlybySceneTest : public ::testing::Test {
protected:
    DemoAssets& a = SceneTestAssets::get();

    RecordedFrame draw(const SceneClock& clock) {
        EXPECT_STREQ(clock.sceneName(), "fly-by") << clock.bars;
        return drawRecorded(drawCliffFlybyScene, clock);
    }
    static float sceneTime(const SceneClock& c) {
        return c.sceneSeconds(sceneNamed("fly-by").startBar);
    }

    // The wall drawn with the demo's fly-by camera and the warp its high view asks for; the
    // viewpoint in use.
    static std::string expectDrawnWithTheFlybyCamera(const RecordedFrame& f) {
        const CameraShot shot = flybyCamera(f.clock);
        const Draw& wall = f.calls->draws().at(0);
        EXPECT_EQ(wall.uniform("matrix"), shotMatrix(shot, f.clock));
        const double warp = std::string(shot.viewpoint) == "high" ? 1.0 : 0.0;
        EXPECT_EQ(wall.uniform("distort"), std::vector<double>{warp});
        return shot.viewpoint;
    }
    // The wall drawn with `view` through the frame's lens, warped or not.
    static void expectWall(const RecordedFrame& f, const Matrix4& view, double distort) {
        const Draw& wall = f.calls->draws().at(0);
        Matrix4 product;
        multiply(product, view, f.clock.projection);
        expectMatrixNear(wall.uniform("matrix"), product, 2e-5);
        EXPECT_EQ(wall.uniform("distort"), std::vector<double>{distort});
    }
};

TEST_F(CliffFlybySceneTest, FirstFrameFliesAlongTheWallWithoutCards) {
    const RecordedFrame f = draw(clockAtBars(40.0));
    ASSERT_EQ(f.clock.bars, 40.0f);
    const float ts = sceneTime(f.clock);
    EXPECT_NEAR(ts, 0.0f, 1e-5f);

    const std::vector<Draw>& draws = f.calls->draws();
    ASSERT_EQ(draws.size(), 2u);  // the wall and the (transparent) fade
    const Draw& wall = draws[0];
    EXPECT_EQ(wall.program, a.cliffShader->program);
    EXPECT_EQ(wall.vertexArray, a.fieldMeshA.geometry->vertexArray);
    EXPECT_EQ(wall.count, a.fieldMeshA.indexCount);
    EXPECT_TRUE(wall.depthTest);
    EXPECT_FALSE(wall.blend);
    EXPECT_EQ(wall.textures[0], a.cliffTexture->id);
    EXPECT_EQ(wall.textures[1], a.mossTexture->id);
    EXPECT_EQ(wall.uniform("t"), std::vector<double>{f.clock.seconds});
    EXPECT_EQ(wall.uniform("beats"), std::vector<double>{f.clock.beats});
    EXPECT_EQ(wall.uniform("kick"), std::vector<double>{f.clock.beatInBar});
    EXPECT_EQ(wall.uniform("bounce"), std::vector<double>{f.clock.beatSine});
    EXPECT_EQ(wall.uniform("saw"), std::vector<double>{f.clock.beatFraction});
    EXPECT_EQ(wall.uniform("t_scene"), std::vector<double>{ts});
    EXPECT_EQ(wall.uniform("cliff_stripes"), std::vector<double>{0.0});
    EXPECT_EQ(wall.uniform("tex"), std::vector<double>{0});
    EXPECT_EQ(wall.uniform("moss"), std::vector<double>{1});
    EXPECT_EQ(wall.uniform("lightpos"), (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(wall.uniform("lightradius"), std::vector<double>{40.0});
    EXPECT_EQ(wall.uniform("falloff"), std::vector<double>{0.8f});
    EXPECT_EQ(wall.uniform("fog_color"), kDusk);
    // Eye (-10, 0, 100) looking at (0, 0, 95).
    Matrix4 view;
    lookAt(view, -10.0f, 0.0f, 100.0f, 0.0f, 0.0f, 95.0f, 0.0f, 1.0f, 0.0f);
    expectWall(f, view, 0.0);

    const Draw& fade = draws[1];
    EXPECT_EQ(fade.program, a.solidColorShader->program);
    EXPECT_EQ(fade.vertexArray, a.quadBuffer->vertexArray);
    EXPECT_TRUE(fade.blend);
    EXPECT_TRUE(fade.depthTest);
    EXPECT_EQ(fade.uniform("icolor"), (std::vector<double>{0.0, 0.0, 0.0, 0.0}));

    EXPECT_EQ(lastCallArgs(*f.calls, "glClearColor"),
              (std::vector<double>{kDusk[0], kDusk[1], kDusk[2], 0.0}));
    EXPECT_TRUE(f.depthTestAfter);
    EXPECT_FALSE(f.blendAfter);
    EXPECT_EQ(f.stackDepthAfter, f.stackDepthBefore);
}

TEST_F(CliffFlybySceneTest, RollAndCardsStartJustAfterBar44) {
    {
        const RecordedFrame f = draw(clockAtBars(44.0));
        ASSERT_EQ(f.clock.bars, 44.0f);
        EXPECT_EQ(f.calls->draws().size(), 2u);
        EXPECT_EQ(expectDrawnWithTheFlybyCamera(f), "fly-by");
        EXPECT_NEAR(pictureTilt(f.calls->draws()[0].uniform("matrix")), 0.0, 1e-6);
    }
    const RecordedFrame f = draw(clockAtBars(44.0, true));
    EXPECT_GT(f.clock.bars, 44.0f);
    EXPECT_EQ(f.calls->draws().size(), 6u);
    EXPECT_EQ(expectDrawnWithTheFlybyCamera(f), "rolled");
    EXPECT_NEAR(std::fabs(pictureTilt(f.calls->draws()[0].uniform("matrix"))), kRolledTilt, 1e-3);
}

TEST_F(CliffFlybySceneTest, CardsGoPanelBandsNameThenTheFade) {
    const RecordedFrame f = draw(clockAtBars(46.0));
    const float ts = sceneTime(f.clock);
    EXPECT_EQ(expectDrawnWithTheFlybyCamera(f), "rolled");

    const std::vector<Draw>& draws = f.calls->draws();
    ASSERT_EQ(draws.size(), 6u);
    const struct {
        ShaderProgram* program;
        GLuint image;
    } cards[4] = {{a.displayGreetBgShader.get(), a.bigLogoBgTexture->id},
                  {a.displayAttentionShader.get(), a.attentionTexture->id},
                  {a.displayAttentionShader.get(), a.attentionTexture->id},
                  {a.displayGroupnameShader.get(), a.mirraTexture->id}};
    for (int i = 0; i < 4; ++i) {
        const Draw& d = draws[1 + i];
        SCOPED_TRACE(i);
        EXPECT_EQ(d.program, cards[i].program->program);
        EXPECT_EQ(d.textures[0], cards[i].image);
        EXPECT_EQ(d.vertexArray, a.quadBuffer->vertexArray);
        EXPECT_EQ(d.count, 6);
        EXPECT_TRUE(d.blend);
        EXPECT_TRUE(d.depthTest);
        EXPECT_EQ(d.uniform("fadeout"), std::vector<double>{0.0});
        EXPECT_EQ(d.uniform("t_scene"), std::vector<double>{ts});
        EXPECT_EQ(d.uniform("t"), std::vector<double>{f.clock.seconds});
        EXPECT_EQ(d.uniform("saw"), std::vector<double>{f.clock.beatFraction});
    }
    EXPECT_EQ(draws[1].uniform("ipos"), kPanel);
    EXPECT_EQ(draws[2].uniform("scroll_direction"), std::vector<double>{1.0});
    EXPECT_EQ(draws[2].uniform("ipos"), (std::vector<double>{0.0, 0.0, 1.0, kBandHeight}));
    EXPECT_EQ(draws[3].uniform("scroll_direction"), std::vector<double>{-1.0});
    EXPECT_EQ(draws[3].uniform("ipos"),
              (std::vector<double>{0.0, static_cast<float>(0.85694444), 1.0, kBandHeight}));
    EXPECT_EQ(draws[4].uniform("ipos"), kName);
    EXPECT_EQ(draws[4].uniform("screen"),
              (std::vector<double>{SceneTestAssets::kWidth, SceneTestAssets::kHeight}));
    EXPECT_EQ(draws[5].program, a.solidColorShader->program);

    // On screen: the lower band's black and yellow stripes along the bottom edge.
    const auto yellow = [](int r, int g, int b) { return r > 180 && g > 110 && b < 90; };
    const auto dark = [](int r, int g, int b) { return r + g + b < 120; };
    EXPECT_GT(countPixelsFromTopLeft(yellow, 0.0, 0.97, 1.0, 1.0), 100);
    EXPECT_GT(countPixelsFromTopLeft(dark, 0.0, 0.97, 1.0, 1.0), 100);
    EXPECT_TRUE(f.depthTestAfter);
    EXPECT_FALSE(f.blendAfter);
}

TEST_F(CliffFlybySceneTest, HighViewSinksStretchedJustAfterBar48) {
    {
        const RecordedFrame f = draw(clockAtBars(48.0));
        ASSERT_EQ(f.clock.bars, 48.0f);
        EXPECT_EQ(expectDrawnWithTheFlybyCamera(f), "fly-by");  // neither rolled nor high
    }
    const RecordedFrame f = draw(clockAtBars(48.0, true));
    EXPECT_GT(f.clock.bars, 48.0f);
    EXPECT_LT(double(f.clock.bars) - 48.0, 1e-5);
    EXPECT_EQ(expectDrawnWithTheFlybyCamera(f), "high");
    // From height 87, ten units out, looking at the wall 10 up, stretched.
    Matrix4 high;
    lookAt(high, -10.0f, 87.0f, 10.0f, 0.0f, 10.0f, 0.0f, 0.0f, 1.0f, 0.0f);
    scale(high, 1.0f, 2.9f, 2.9f);
    expectWall(f, high, 1.0);

    // Four bars later the eye has sunk to about 87 - 32.8^1.1 = 40.
    const RecordedFrame later = draw(clockAtBars(52.0));
    Matrix4 sunk;
    lookAt(sunk, -10.0f, float(87.0 - std::pow(8.2 * 4.0, 1.1)), 6.0f, 0.0f, 10.0f, 0.0f, 0.0f,
           1.0f, 0.0f);
    scale(sunk, 1.0f, 2.9f, 2.9f);
    expectWall(later, sunk, 1.0);
}

// Until bar 48 the camera runs 10 units from the wall's axis at 16 units a second, level, then
// tilted from bar 44.
TEST_F(CliffFlybySceneTest, FlyByRunsAlongTheWallTenUnitsOffAtSixteenUnitsASecond) {
    const double step = 0.25;
    for (double bars = sceneNamed("fly-by").startBar; bars < 48.0; bars += step) {
        const SceneClock now = sceneClockAtBars(bars), next = sceneClockAtBars(bars + step);
        const CameraShot a = flybyCamera(now), b = flybyCamera(next);
        const DrawnCamera from = drawnCamera(shotMatrix(a, now));
        const DrawnCamera to = drawnCamera(shotMatrix(b, next));
        EXPECT_NEAR(std::hypot(from.eye[0], from.eye[1]), 10.0, 1e-3) << bars;
        if (std::string(a.viewpoint) == b.viewpoint) {
            const double speed = (to.eye[2] - from.eye[2]) / (next.seconds - now.seconds);
            EXPECT_NEAR(speed, 16.0, 1e-2) << bars;
        }
        const double roll = std::fabs(pictureTilt(shotMatrix(a, now)));
        EXPECT_NEAR(roll, bars > 44.0 ? kRolledTilt : 0.0, 1e-3) << bars;
    }
}

TEST_F(CliffFlybySceneTest, BandsPartAsFadeoutGrows) {
    const double start = secondsOfBars(sceneNamed("fly-by").startBar);
    const RecordedFrame f = draw(sceneClockAtSeconds(start + 14.5));
    const std::vector<Draw>& draws = f.calls->draws();
    ASSERT_EQ(draws.size(), 6u);
    const double fadeout = draws[1].uniform("fadeout").at(0);
    EXPECT_NEAR(fadeout, 0.52, 1e-5);
    EXPECT_NEAR(draws[2].uniform("ipos").at(1), -0.52, 1e-5);
    EXPECT_NEAR(draws[3].uniform("ipos").at(1), 0.52 + 0.85694444, 1e-5);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(draws[i].uniform("fadeout").at(0), fadeout);

    // Held at 1 from ts = 18.19 on; nothing before ts = 10.5.
    EXPECT_EQ(draw(sceneClockAtSeconds(start + 19.0)).calls->draws()[1].uniform("fadeout"),
              std::vector<double>{1.0});
    EXPECT_EQ(draw(sceneClockAtSeconds(start + 10.4)).calls->draws()[1].uniform("fadeout"),
              std::vector<double>{0.0});
}

// The cards leave whole, never cut: half a beat into the name card's exit at bar 51 (scene second
// 15) both halves of its word still show as at rest; the tickers are gone before they part far
// enough for the screen's edge to cut their letters. Each drawn alone on black, as the routine
// draws it; lit pixels in the left and right half of the frame.
TEST_F(CliffFlybySceneTest, CardsAndTickersLeaveWholeNeverCut) {
    const auto lit = [&](const ShaderProgram& program, const Texture2D& image,
                         const std::vector<double>& ipos, float ts) {
        gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        gl.glDisable(GL_DEPTH_TEST);
        gl.glEnable(GL_BLEND);
        program.use();
        bindToUnit(0, image);
        const float fadeout = static_cast<float>(std::min(0.13 * std::max(ts - 10.5, 0.0), 1.0));
        program.setFloat("t_scene", ts);
        program.setFloat("fadeout", fadeout);
        program.setFloat2("screen", SceneTestAssets::kWidth, SceneTestAssets::kHeight);
        program.setFloat4("ipos", float(ipos[0]), float(ipos[1]), float(ipos[2]), float(ipos[3]));
        a.quadBuffer->draw(6);
        gl.glDisable(GL_BLEND);
        gl.glEnable(GL_DEPTH_TEST);
        const auto any = [](int r, int g, int b) { return std::max({r, g, b}) > 12; };
        return std::min(countPixelsFromTopLeft(any, 0.0, 0.0, 0.5, 1.0),
                        countPixelsFromTopLeft(any, 0.5, 0.0, 1.0, 1.0));
    };
    gl.glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    const int atRest = lit(*a.displayGroupnameShader, *a.mirraTexture, kName, 14.0f);
    EXPECT_GT(atRest, 500);
    EXPECT_GT(lit(*a.displayGroupnameShader, *a.mirraTexture, kName, 15.0f), atRest / 2);
    EXPECT_EQ(lit(*a.displayGroupnameShader, *a.mirraTexture, kName, 15.3f), 0);
    // Half a band's height parted.
    const float parting = 10.5f + 0.05f / 0.13f;
    const std::vector<double> lower = {0.0, -0.05, 1.0, kBandHeight};
    EXPECT_EQ(lit(*a.displayAttentionShader, *a.attentionTexture, lower, parting), 0);
}

TEST_F(CliffFlybySceneTest, FadeToBlackOverTheLastTwoBarsIsNotClamped) {
    EXPECT_NEAR(draw(clockAtBars(55.0)).calls->draws().back().uniform("icolor")[3], 1.0, 1e-5);
    const RecordedFrame f = draw(clockAtBars(55.5));
    const Draw& fade = f.calls->draws().back();
    EXPECT_EQ(fade.program, a.solidColorShader->program);
    EXPECT_NEAR(fade.uniform("icolor")[3], 1.5, 1e-5);
    EXPECT_EQ(countPixelsFromTopLeft([](int r, int g, int b) { return r + g + b > 6; }), 0);
    EXPECT_TRUE(f.depthTestAfter);
    EXPECT_FALSE(f.blendAfter);
    // Still untouched at bar 54.
    EXPECT_EQ(draw(clockAtBars(54.0)).calls->draws().back().uniform("icolor")[3], 0.0);
}

}  // namespace
