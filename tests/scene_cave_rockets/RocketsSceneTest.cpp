// Scenes 7 and 8 at the edges of their timeline: the opening flash and the computed sky, the
// camera choice around bars 88, 92 and 96, the odd-beat pulse, the rocket slots moving with the
// half beats, the dimming at the end, the rockets being in sight, and the state left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "demo/Scenes.h"
#include "gl/GeometryBuffer.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "math/Scalar.h"
#include "support/FrameChecks.h"
#include "support/MatrixChecks.h"
#include "support/SceneTestAssets.h"

namespace {

using Draw = GlCallRecorder::Draw;

class RocketsSceneTest : public ::testing::Test {
protected:
    DemoAssets& a = SceneTestAssets::get();

    RecordedFrame draw(const SceneClock& clock) {
        EXPECT_TRUE(clock.sceneIndex == 7 || clock.sceneIndex == 8) << clock.bars;
        return drawRecorded(drawRocketsScene, clock);
    }
    static float sceneTime(const SceneClock& c) { return c.sceneSeconds(72); }

    std::vector<Draw> rocketDraws(const RecordedFrame& f) {
        std::vector<Draw> out;
        for (const Draw& d : f.calls->draws())
            if (d.program == a.rocket1Shader->program) out.push_back(d);
        return out;
    }
    static std::vector<double> clearColour(const RecordedFrame& f) {
        std::vector<double> last;
        for (const auto& call : f.calls->calls())
            if (call.function == "glClearColor") last = call.args;
        return last;
    }
    // The breathing projection of the frame.
    static Matrix4 projection(const SceneClock& c) {
        Matrix4 p;
        perspective(p, 0.4f + 0.006f * (c.beatFraction + 1.0f), c.aspect, 1.0f, 200.0f);
        return p;
    }
    void expectView(const RecordedFrame& f, const Matrix4& view) {
        Matrix4 expected;
        multiply(expected, view, projection(f.clock));
        expectMatrixNear(f.calls->draws()[0].uniform("matrix"), expected, 1e-5);
    }
    static double flashAlpha(const RecordedFrame& f) {
        return f.calls->draws().back().uniform("icolor")[3];
    }
};

TEST_F(RocketsSceneTest, BarSeventyTwoOpensWhiteOverGroundAndRockets) {
    const RecordedFrame f = draw(clockAtBeats(288.0));
    ASSERT_EQ(f.clock.sceneIndex, 7);
    const float t = sceneTime(f.clock);
    EXPECT_NEAR(t, 0.0f, 1e-6f);

    // The sky: dark red, its green swinging, a little blue that is about to die away.
    const std::vector<double> sky = clearColour(f);
    ASSERT_EQ(sky.size(), 4u);
    EXPECT_NEAR(sky[0], 0.1854395, 1e-6);
    EXPECT_GE(sky[1], 0.0);
    EXPECT_LE(sky[1], 0.1112637 + 1e-6);
    EXPECT_NEAR(sky[2], 0.0148945, 1e-6);
    EXPECT_EQ(sky[3], 0.0);

    const std::vector<Draw>& draws = f.calls->draws();
    const Draw& ground = draws[0];
    EXPECT_EQ(ground.program, a.kertsiGroundShader->program);
    EXPECT_EQ(ground.vertexArray, a.fieldMeshC.geometry->vertexArray);
    EXPECT_EQ(ground.count, a.fieldMeshC.indexCount);
    EXPECT_TRUE(ground.depthTest);
    EXPECT_FALSE(ground.blend);
    EXPECT_EQ(ground.textures[0], a.cliffTexture->id);
    EXPECT_EQ(ground.textures[1], a.mossTexture->id);
    EXPECT_EQ(ground.textures[2], a.sandTexture->id);
    EXPECT_EQ(ground.uniform("tex"), std::vector<double>{0});
    EXPECT_EQ(ground.uniform("moss"), std::vector<double>{1});
    EXPECT_EQ(ground.uniform("sand"), std::vector<double>{2});
    const std::vector<double> lamp = ground.uniform("lightpos");
    ASSERT_EQ(lamp.size(), 3u);
    EXPECT_NEAR(lamp[1], -60.0, 1e-4);  // bobbing from the middle of its range
    EXPECT_EQ(ground.uniform("lightradius"), std::vector<double>{400.0});
    EXPECT_EQ(ground.uniform("falloff"), std::vector<double>{0.8f});
    EXPECT_EQ(ground.uniform("cliff_stripes"), std::vector<double>{0.0});
    EXPECT_EQ(ground.uniform("t_scene"), std::vector<double>{1.0});
    // The ground fog: the sky's red, its own green and blue.
    const std::vector<double> fog = ground.uniform("fog_color");
    ASSERT_EQ(fog.size(), 3u);
    EXPECT_EQ(fog[0], sky[0]);
    EXPECT_NEAR(fog[2], 25.0 / 70.0 * sky[2], 1e-6);

    const std::vector<Draw> rockets = rocketDraws(f);
    ASSERT_TRUE(rockets.size() == 198u || rockets.size() == 204u) << rockets.size();
    for (const Draw& d : rockets) {
        EXPECT_EQ(d.vertexArray, a.fieldMeshD.geometry->vertexArray);
        EXPECT_EQ(d.count, a.fieldMeshD.indexCount);
        EXPECT_TRUE(d.depthTest);
        EXPECT_TRUE(d.blend);
        EXPECT_EQ(d.uniform("matrix"), ground.uniform("matrix"));
        EXPECT_EQ(d.uniform("fog_color"), fog);
        EXPECT_EQ(d.uniform("beat"), std::vector<double>{576.0});
        EXPECT_EQ(d.uniform("t_scene"), std::vector<double>{t});
    }
    ASSERT_EQ(draws.size(), 1 + rockets.size() + 1);

    // Beat 288 is even: the flash alone, opaque.
    EXPECT_NEAR(flashAlpha(f), 1.0, 1e-6);
    EXPECT_EQ(countPixelsFromTopLeft([](int r, int g, int b) {
                  return std::min({r, g, b}) < 254;
              }),
              0);
}

TEST_F(RocketsSceneTest, SlotsMoveOnWithEveryHalfBeat) {
    // h = 600: slots 0, 2, 3, 4 of every six filled, from "id" 6 down.
    const RecordedFrame f = draw(clockAtBeats(300.1));
    const std::vector<Draw> rockets = rocketDraws(f);
    ASSERT_EQ(rockets.size(), 198u);
    std::vector<std::pair<double, double>> idPiece;
    for (const Draw& d : rockets) {
        EXPECT_EQ(d.uniform("beat"), std::vector<double>{600.0});
        idPiece.push_back({d.uniform("id")[0], d.uniform("piece")[0]});
    }
    for (int j = 0; j < 6; ++j) EXPECT_EQ(idPiece[j], std::make_pair(6.0, double(j)));
    std::vector<double> ids;
    for (size_t i = 0; i < idPiece.size(); i += 6) ids.push_back(idPiece[i].first);
    const std::vector<double> firstIds = {6, 4, 3, 2, 0, -2, -3, -4};
    EXPECT_EQ(std::vector<double>(ids.begin(), ids.begin() + 8), firstIds);
    EXPECT_EQ(ids.back(), -42.0);

    // Half a beat on, the pattern has moved by one slot; a beat on, 34 rockets stand.
    const RecordedFrame next = draw(clockAtBeats(300.6));
    const std::vector<Draw> moved = rocketDraws(next);
    ASSERT_EQ(moved.size(), 198u);
    EXPECT_EQ(moved[0].uniform("id")[0], 5.0);
    const RecordedFrame later = draw(clockAtBeats(301.1));
    EXPECT_EQ(rocketDraws(later).size(), 204u);
}

TEST_F(RocketsSceneTest, CameraCutsAroundTheTrackingShots) {
    {
        const RecordedFrame f = draw(clockAtBeats(352.0));  // bar 88: 88 mod 3 = 1
        ASSERT_EQ(f.clock.bars, 88.0f);
        const float s = f.clock.seconds, t = sceneTime(f.clock);
        const float upZ = static_cast<float>(0.05 * std::sin(2.0 * sinSingle(15.0f * t)));
        EXPECT_NE(upZ, 0.0f);
        Matrix4 view;
        lookAt(view, 10.0f * sinSingle(s + 5.0f) + 0.1f * f.clock.beatSine,
               sinSingle(2.0f * s) - 10.5f, static_cast<float>(std::sin(0.767 * s + 2.0)), 0.0f,
               -20.0f, 0.0f, 0.0f, 1.0f, upZ);
        expectView(f, view);
    }
    for (const double bars : {88.01, 92.0}) {
        const RecordedFrame f = draw(bars == 92.0 ? clockAtBeats(368.0) : sceneClockAtBars(bars));
        const float t = sceneTime(f.clock);
        Matrix4 view;
        lookAt(view, fmodSingle(4.0f * t, 50.0f), -15.0f, 50.0f, 0.0f, -10.0f, 0.0f, 0.1f, 1.0f,
               0.0f);
        expectView(f, view);
    }
    {
        const RecordedFrame f = draw(sceneClockAtBars(92.01));
        const float t = sceneTime(f.clock);
        Matrix4 view;
        lookAt(view, 60.0f, static_cast<float>(2.0 * std::sin(3.0 * t) - 10.0),
               fmodSingle(t, 50.0f) - 20.0f, 10.0f, -2.0f, 0.0f, 0.0f, 1.0f, 0.1f);
        expectView(f, view);
    }
    {
        const RecordedFrame f = draw(clockAtBeats(384.0));  // bar 96: viewpoint 0, no shake
        ASSERT_EQ(f.clock.bars, 96.0f);
        const float s = f.clock.seconds;
        Matrix4 view;
        lookAt(view, sinSingle(s) + 0.1f * f.clock.beatSine, sinSingle(2.0f * s) + 0.5f,
               static_cast<float>(std::sin(0.767 * s)), 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f);
        expectView(f, view);
    }
}

TEST_F(RocketsSceneTest, OddBeatsPulseOverTheFadingFlash) {
    const struct {
        double beats;
        double pulse;
    } cases[] = {{289.0, 0.16}, {289.8, 0.0},  {290.0, 0.0},
                 {301.0, 0.16}, {301.4, 0.08}, {302.0, 0.0}};
    for (const auto& c : cases) {
        const RecordedFrame f = draw(clockAtBeats(c.beats));
        const double flash = std::max(1.0 - 1.1 * sceneTime(f.clock), 0.0);
        EXPECT_NEAR(flashAlpha(f) - flash, c.pulse, 2e-5) << c.beats;
        EXPECT_EQ(f.calls->draws().back().program, a.solidColorShader->program);
        EXPECT_TRUE(f.calls->draws().back().blend);
    }
}

TEST_F(RocketsSceneTest, SkyDimsToFourTenthsAfterThirtyThreeSeconds) {
    const double start = 72.0 * 4.0 * kSecondsPerBeat;
    // Red is 100 * dim * q / 255 with q the fourth root of the progress plus 0.05.
    const auto q = [](double t) { return std::sqrt(std::sqrt(t / 43.14606741573033 + 0.05)); };
    const struct {
        double t, dim;
    } cases[] = {{29.0, 1.0}, {31.5, 0.7}, {33.5, 0.4}, {40.0, 0.4}, {43.1, 0.4}};
    for (const auto& c : cases) {
        const RecordedFrame f = draw(sceneClockAtSeconds(start + c.t));
        const std::vector<double> sky = clearColour(f);
        ASSERT_EQ(sky.size(), 4u);
        const double dq = c.dim * q(c.t);
        EXPECT_NEAR(sky[0], 100.0 * dq / 255.0, 1e-5) << c.t;
        // The blue, long gone, comes back a little as the sky darkens.
        EXPECT_NEAR(sky[2], 70.0 * c.dim * std::max(0.0, 1.0 - 2.0 * dq) / 255.0, 1e-5) << c.t;
    }
}

TEST_F(RocketsSceneTest, RocketsAreInSightFromEveryViewpoint) {
    // Bright, unsaturated pixels: rocket bodies and their flames; the ground and sky are red.
    const auto rocket = [](int r, int g, int b) { return std::min({r, g, b}) > 140; };
    for (const double bars : {74.5, 76.5, 78.2, 89.5, 93.5, 100.5}) {
        draw(sceneClockAtBars(bars));
        EXPECT_GT(countPixelsFromTopLeft(rocket), 30) << "bar " << bars;
    }
}

TEST_F(RocketsSceneTest, SceneEightLeavesTheStandingStateAndThreeUnits) {
    const RecordedFrame f = draw(sceneClockAtBars(100.0));
    EXPECT_EQ(f.clock.sceneIndex, 8);
    EXPECT_NEAR(sceneTime(f.clock), 37.752809f, 1e-4f);  // still counted from bar 72
    EXPECT_TRUE(f.depthTestAfter);
    EXPECT_FALSE(f.blendAfter);
    EXPECT_EQ(f.depthFunctionAfter, GLenum(GL_LEQUAL));
    EXPECT_EQ(f.stackDepthAfter, f.stackDepthBefore);
    const TextureUnits units = textureUnitsNow();
    EXPECT_EQ(units.active, 2);
    EXPECT_EQ(units.bound[0], a.cliffTexture->id);
    EXPECT_EQ(units.bound[1], a.mossTexture->id);
    EXPECT_EQ(units.bound[2], a.sandTexture->id);
}

}  // namespace
