// Scene 4 at the edges of its timeline: the fly-by, the roll between bars 44 and 48 (both
// strict), the high view after 48, the title cards from bar 44 with the bands parting as
// "fadeout" grows, and the fade to black whose alpha is sent unclamped.
#include <gtest/gtest.h>

#include <cmath>

#include "SceneChecks.h"
#include "demo/Scenes.h"
#include "gl/GeometryBuffer.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "support/SceneTestAssets.h"

namespace {

using Draw = GlCallRecorder::Draw;

const std::vector<double> kDusk = {0.29411766f, 0.1254902f, 0.10980392f};
const std::vector<double> kPanel = {-0.02207028865814209, -0.05000000074505806, 2.0882811546325684,
                                    2.5391666889190674};
const std::vector<double> kName = {0.08085936307907104, 0.20999999344348907, 1.6765625476837158,
                                   1.0277777910232544};
constexpr double kBandHeight = 0.14305555820465088;

class CliffFlybySceneTest : public ::testing::Test {
protected:
    DemoAssets& a = SceneTestAssets::get();

    RecordedFrame draw(const SceneClock& clock) {
        EXPECT_EQ(clock.sceneIndex, 4) << clock.bars;
        return drawRecorded(drawCliffFlybyScene, clock);
    }
    static float sceneTime(const SceneClock& c) { return c.sceneSeconds(40); }

    // The fly-by's view: 10 units off the wall's side of the axis, looking 5 units ahead.
    static Matrix4 flybyView(const SceneClock& c) {
        const float z0 = 100.0f - 16.0f * sceneTime(c);
        Matrix4 view;
        lookAt(view, -10.0f, 0.0f, z0, 0.0f, 0.0f, z0 - 5.0f, 0.0f, 1.0f, 0.0f);
        return view;
    }
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
        expectWall(f, flybyView(f.clock), 0.0);
    }
    const RecordedFrame f = draw(clockAtBars(44.0, true));
    EXPECT_GT(f.clock.bars, 44.0f);
    EXPECT_EQ(f.calls->draws().size(), 6u);
    Matrix4 rolled = flybyView(f.clock);
    rotate(rolled, 0.4f, 0.0f, 0.0f, 1.0f);
    expectWall(f, rolled, 0.0);
}

TEST_F(CliffFlybySceneTest, CardsGoPanelBandsNameThenTheFade) {
    const RecordedFrame f = draw(clockAtBars(46.0));
    const float ts = sceneTime(f.clock);
    Matrix4 rolled = flybyView(f.clock);
    rotate(rolled, 0.4f, 0.0f, 0.0f, 1.0f);
    expectWall(f, rolled, 0.0);

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
              (std::vector<double>{0.0, 0.43194442987442017, 1.0, kBandHeight}));
    EXPECT_EQ(draws[4].uniform("ipos"), kName);
    EXPECT_EQ(draws[4].uniform("screen"),
              (std::vector<double>{SceneTestAssets::kWidth, SceneTestAssets::kHeight}));
    EXPECT_EQ(draws[5].program, a.solidColorShader->program);

    // On screen: the lower band's black and yellow stripes along the bottom edge.
    const auto yellow = [](int r, int g, int b) { return r > 180 && g > 110 && b < 90; };
    const auto dark = [](int r, int g, int b) { return r + g + b < 120; };
    EXPECT_GT(countPixels(yellow, 0.0, 0.0, 1.0, 0.03), 100);
    EXPECT_GT(countPixels(dark, 0.0, 0.0, 1.0, 0.03), 100);
    EXPECT_TRUE(f.depthTestAfter);
    EXPECT_FALSE(f.blendAfter);
}

TEST_F(CliffFlybySceneTest, HighViewSinksStretchedJustAfterBar48) {
    {
        const RecordedFrame f = draw(clockAtBars(48.0));
        ASSERT_EQ(f.clock.bars, 48.0f);
        expectWall(f, flybyView(f.clock), 0.0);  // neither rolled nor high
    }
    const RecordedFrame f = draw(clockAtBars(48.0, true));
    EXPECT_GT(f.clock.bars, 48.0f);
    const double d = double(f.clock.bars) - 48.0;
    EXPECT_LT(d, 1e-5);
    Matrix4 high;
    lookAt(high, -10.0f, float(87.0 - std::pow(8.2 * d, 1.1)), float(10.0 - d), 0.0f, 10.0f, 0.0f,
           0.0f, 1.0f, 0.0f);
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

TEST_F(CliffFlybySceneTest, BandsPartAsFadeoutGrows) {
    const double start = 40.0 * 4.0 * kSecondsPerBeat;
    const RecordedFrame f = draw(sceneClockAtSeconds(start + 14.5));
    const std::vector<Draw>& draws = f.calls->draws();
    ASSERT_EQ(draws.size(), 6u);
    const double fadeout = draws[1].uniform("fadeout").at(0);
    EXPECT_NEAR(fadeout, 0.52, 1e-5);
    EXPECT_NEAR(draws[2].uniform("ipos").at(1), -0.52, 1e-5);
    EXPECT_NEAR(draws[3].uniform("ipos").at(1), 0.95194443, 1e-5);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(draws[i].uniform("fadeout").at(0), fadeout);

    // Held at 1 from ts = 18.19 on; nothing before ts = 10.5.
    EXPECT_EQ(draw(sceneClockAtSeconds(start + 19.0)).calls->draws()[1].uniform("fadeout"),
              std::vector<double>{1.0});
    EXPECT_EQ(draw(sceneClockAtSeconds(start + 10.4)).calls->draws()[1].uniform("fadeout"),
              std::vector<double>{0.0});
}

TEST_F(CliffFlybySceneTest, FadeToBlackOverTheLastTwoBarsIsNotClamped) {
    EXPECT_NEAR(draw(clockAtBars(55.0)).calls->draws().back().uniform("icolor")[3], 1.0, 1e-5);
    const RecordedFrame f = draw(clockAtBars(55.5));
    const Draw& fade = f.calls->draws().back();
    EXPECT_EQ(fade.program, a.solidColorShader->program);
    EXPECT_NEAR(fade.uniform("icolor")[3], 1.5, 1e-5);
    EXPECT_EQ(countPixels([](int r, int g, int b) { return r + g + b > 6; }), 0);
    EXPECT_TRUE(f.depthTestAfter);
    EXPECT_FALSE(f.blendAfter);
    // Still untouched at bar 54.
    EXPECT_EQ(draw(clockAtBars(54.0)).calls->draws().back().uniform("icolor")[3], 0.0);
}

}  // namespace
