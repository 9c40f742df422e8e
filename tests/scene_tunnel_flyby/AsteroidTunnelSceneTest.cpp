// Scene 3 at the edges of its timeline: the orbit, the stand-back and the late weave of the
// camera, the switch at bar 32, the credits' alpha, the tunnel that must enclose every camera,
// and the matrix stack and GL state the routine leaves behind.
#include <gtest/gtest.h>

#include <cmath>

#include "demo/Scenes.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "math/MatrixStack.h"
#include "support/FrameChecks.h"
#include "support/MatrixChecks.h"
#include "support/SceneTestAssets.h"

namespace {

using Draw = GlCallRecorder::Draw;

const std::vector<double> kDusk = {0.29411766f, 0.1254902f, 0.10980392f};

class AsteroidTunnelSceneTest : public ::testing::Test {
protected:
    DemoAssets& a = SceneTestAssets::get();

    RecordedFrame draw(const SceneClock& clock) {
        EXPECT_EQ(clock.sceneIndex, 3) << clock.bars;
        return drawRecorded(drawAsteroidTunnelScene, clock);
    }
    static float sceneTime(const SceneClock& c) { return c.sceneSeconds(24); }

    // The camera looking at (0, 0, tz) from `eye`, checked through the tunnel's and the rock's
    // matrices: the tunnel turned half about z, the rock tumbling with the scene time.
    void expectCamera(const RecordedFrame& f, const double eye[3], double tz) {
        const std::vector<Draw>& draws = f.calls->draws();
        ASSERT_EQ(draws.size(), 3u);
        Matrix4 view, turned, product;
        lookAt(view, float(eye[0]), float(eye[1]), float(eye[2]), 0.0f, 0.0f, float(tz), 0.0f, 1.0f,
               0.0f);
        turned = view;
        rotate(turned, 3.1415927f, 0.0f, 0.0f, 1.0f);
        multiply(product, turned, f.clock.projection);
        expectMatrixNear(draws[0].uniform("matrix"), product, 2e-5);
        rotate(view, sceneTime(f.clock), 0.2f, 0.3f, 0.0f);
        multiply(product, view, f.clock.projection);
        expectMatrixNear(draws[1].uniform("matrix"), product, 2e-5);
    }

    static void expectBeatBlock(const Draw& d, const SceneClock& c, float ts) {
        EXPECT_EQ(d.uniform("t"), std::vector<double>{c.seconds});
        EXPECT_EQ(d.uniform("beats"), std::vector<double>{c.beats});
        EXPECT_EQ(d.uniform("kick"), std::vector<double>{c.beatInBar});
        EXPECT_EQ(d.uniform("bounce"), std::vector<double>{c.beatSine});
        EXPECT_EQ(d.uniform("saw"), std::vector<double>{c.beatFraction});
        EXPECT_EQ(d.uniform("t_scene"), std::vector<double>{ts});
    }

    // The credits' alpha at scene time ts, and the resting 1.0 set again after the draw.
    double creditsAlpha(double ts) {
        const double start = 24.0 * 4.0 * kSecondsPerBeat;
        const RecordedFrame f = draw(sceneClockAtSeconds(start + ts));
        const std::vector<std::vector<double>> set = f.calls->uniformSettings("alpha");
        EXPECT_EQ(set.size(), 2u);
        EXPECT_EQ(set.back(), std::vector<double>{1.0});
        return f.calls->draws().at(2).uniform("alpha").at(0);
    }
};

TEST_F(AsteroidTunnelSceneTest, FirstFrameOrbitsTheRockInsideTheTunnel) {
    const RecordedFrame f = draw(clockAtBars(24.0));
    ASSERT_EQ(f.clock.bars, 24.0f);
    const float ts = sceneTime(f.clock);
    EXPECT_NEAR(ts, 0.0f, 1e-5f);

    const std::vector<Draw>& draws = f.calls->draws();
    ASSERT_EQ(draws.size(), 3u);  // tunnel, rock, credits
    const Draw& tunnel = draws[0];
    EXPECT_EQ(tunnel.program, a.cliffTunnelShader->program);
    EXPECT_EQ(tunnel.vertexArray, a.fieldMeshA.geometry->vertexArray);
    EXPECT_EQ(tunnel.count, a.fieldMeshA.indexCount);
    const Draw& rock = draws[1];
    EXPECT_EQ(rock.program, a.asteroidShader->program);
    EXPECT_EQ(rock.vertexArray, a.fieldMeshB.geometry->vertexArray);
    EXPECT_EQ(rock.count, a.fieldMeshB.indexCount);
    for (const Draw* d : {&tunnel, &rock}) {
        EXPECT_TRUE(d->depthTest);
        EXPECT_FALSE(d->blend);
        EXPECT_EQ(d->textures[0], a.cliffTexture->id);
        EXPECT_EQ(d->textures[1], a.mossTexture->id);
        expectBeatBlock(*d, f.clock, ts);
        EXPECT_EQ(d->uniform("fog_color"), kDusk);
        EXPECT_EQ(d->uniform("fog_falloff"), std::vector<double>{1.7f});
        EXPECT_EQ(d->uniform("fog_scale"), std::vector<double>{1.25f});
    }
    EXPECT_EQ(rock.uniform("lightradius"), std::vector<double>{40.0});
    EXPECT_EQ(rock.uniform("falloff"), std::vector<double>{0.8f});
    EXPECT_EQ(rock.uniform("distort"), std::vector<double>{0.0});
    EXPECT_EQ(rock.uniform("screen"),
              (std::vector<double>{SceneTestAssets::kWidth, SceneTestAssets::kHeight}));
    const std::vector<double> light = rock.uniform("lightpos");
    ASSERT_EQ(light.size(), 3u);
    EXPECT_NEAR(light[0], 12.0, 1e-4);
    EXPECT_NEAR(light[1], 0.0, 1e-4);
    EXPECT_EQ(light[2], 0.0);
    // The lamp, like the camera, goes once round in 2 pi seconds.
    const double eye[3] = {21.0, 0.0, 21.0};
    expectCamera(f, eye, 0.0);

    const Draw& credits = draws[2];
    EXPECT_EQ(credits.program, a.displayShader->program);
    EXPECT_EQ(credits.vertexArray, a.quadBuffer->vertexArray);
    EXPECT_EQ(credits.count, 6);
    EXPECT_FALSE(credits.depthTest);
    EXPECT_TRUE(credits.blend);
    EXPECT_EQ(credits.textures[0], a.creditsTexture->id);
    expectBeatBlock(credits, f.clock, ts);
    EXPECT_EQ(credits.uniform("ipos"), (std::vector<double>{0.0, 0.0, 2.0, 2.0}));
    EXPECT_NEAR(credits.uniform("alpha")[0], 0.0, 1e-5);

    EXPECT_EQ(lastCallArgs(*f.calls, "glClearColor"),
              (std::vector<double>{kDusk[0], kDusk[1], kDusk[2], 0.0}));
    EXPECT_TRUE(f.depthTestAfter);
    EXPECT_FALSE(f.blendAfter);
    EXPECT_EQ(f.depthFunctionAfter, GLenum(GL_LEQUAL));
    EXPECT_EQ(f.stackDepthAfter, f.stackDepthBefore);
}

TEST_F(AsteroidTunnelSceneTest, LastBarOfEachPhraseStandsBackOrWeavesCloseInLate) {
    // Bars 27 and 31: 50 units down the tunnel, looking at the rock.
    for (double bars : {27.0, 27.5, 31.5}) {
        const RecordedFrame f = draw(clockAtBars(bars));
        const double ts = sceneTime(f.clock);
        const double eye[3] = {10.0 * std::cos(0.9 * ts), 8.0 * std::sin(0.8 * ts), -50.0};
        SCOPED_TRACE(bars);
        expectCamera(f, eye, 0.0);
        EXPECT_EQ(f.calls->draws()[1].uniform("distort"), std::vector<double>{0.0});
    }
    // Bars 35 and 39: close in, chasing a point that slides from z = 12 towards 2 and jumps back
    // every 10/3 s.
    for (double bars : {35.0, 35.5, 39.5, 39.99}) {
        const RecordedFrame f = draw(clockAtBars(bars));
        const double ts = sceneTime(f.clock);
        const double tz = 12.0 - std::fmod(3.0 * ts, 10.0);
        EXPECT_GT(tz, 2.0);
        EXPECT_LE(tz, 12.0);
        const double eye[3] = {10.0 * std::cos(1.02 * ts), 10.0 * std::sin(0.7 * ts),
                               5.0 * std::cos(ts)};
        SCOPED_TRACE(bars);
        expectCamera(f, eye, tz);
        EXPECT_EQ(f.calls->draws()[1].uniform("distort"), std::vector<double>{1.0});
    }
    // Either side of a phrase's last bar the camera orbits again.
    for (double bars : {26.999, 28.0, 34.999, 36.0}) {
        const RecordedFrame f = draw(clockAtBars(bars));
        const double ts = sceneTime(f.clock);
        const double v = 21.0 + 4.0 * std::sin(2.0 * ts);
        const double eye[3] = {v * std::cos(ts), v * std::sin(ts), v * std::cos(ts)};
        SCOPED_TRACE(bars);
        expectCamera(f, eye, 0.0);
    }
}

TEST_F(AsteroidTunnelSceneTest, DistortionStartsJustAfterBar32) {
    {
        const RecordedFrame f = draw(clockAtBars(32.0));
        ASSERT_EQ(f.clock.bars, 32.0f);
        EXPECT_EQ(f.calls->draws()[1].uniform("distort"), std::vector<double>{0.0});
        const double saw = f.clock.beatFraction;
        EXPECT_NEAR(f.calls->draws()[0].uniform("distort")[0], -0.4 * saw, 1e-6);
        // Phrase 0 again, and not yet the late weave: the orbit.
        const double ts = sceneTime(f.clock);
        const double v = 21.0 + 4.0 * std::sin(2.0 * ts);
        const double eye[3] = {v * std::cos(ts), v * std::sin(ts), v * std::cos(ts)};
        expectCamera(f, eye, 0.0);
    }
    {
        const RecordedFrame f = draw(clockAtBars(32.0, true));
        EXPECT_GT(f.clock.bars, 32.0f);
        EXPECT_EQ(f.calls->draws()[1].uniform("distort"), std::vector<double>{1.0});
        EXPECT_NEAR(f.calls->draws()[0].uniform("distort")[0], 1.0 - 0.4 * f.clock.beatFraction,
                    1e-6);
    }
    // Before bar 32 the tunnel's pulse runs below zero, down to -0.4 at the end of each beat.
    for (double bars : {24.2, 29.9, 31.99}) {
        const RecordedFrame f = draw(clockAtBars(bars));
        const double distort = f.calls->draws()[0].uniform("distort").at(0);
        EXPECT_LE(distort, 0.0) << bars;
        EXPECT_GE(distort, -0.4) << bars;
    }
}

TEST_F(AsteroidTunnelSceneTest, CreditsFadeInHoldAndFadeOutByTenSeconds) {
    EXPECT_NEAR(creditsAlpha(0.5), 0.5, 1e-5);
    EXPECT_NEAR(creditsAlpha(1.0), 1.0, 1e-5);
    EXPECT_NEAR(creditsAlpha(8.0), 1.0, 1e-5);
    EXPECT_NEAR(creditsAlpha(9.0), 0.5, 1e-5);
    EXPECT_EQ(creditsAlpha(10.0), 0.0);
    EXPECT_EQ(creditsAlpha(15.0), 0.0);  // still drawn, fully transparent
}

// The tunnel is the wall surface bent into a tube: from every camera of the scene it must fill
// the whole background. Anything the clear colour shows through is a hole.
TEST_F(AsteroidTunnelSceneTest, TunnelSurroundsEveryCameraAndLeavesStateAsFound) {
    MatrixStack& stack = *a.matrixStack;
    Matrix4 sentinel;
    identity(sentinel);
    sentinel.m[3] = 7.0f;
    stack.push(sentinel);
    for (double bars = 24.0; bars < 40.0; bars += 0.125) {
        gl.glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
        const RecordedFrame f = draw(sceneClockAtBars(bars));
        EXPECT_EQ(countPixelsFromTopLeft(
                      [](int r, int g, int b) { return g == 255 && r == 0 && b == 0; }),
                  0)
            << "bar " << bars;
        EXPECT_TRUE(f.depthTestAfter) << bars;
        EXPECT_FALSE(f.blendAfter) << bars;
        EXPECT_EQ(f.stackDepthAfter, f.stackDepthBefore) << bars;
    }
    Matrix4 top;
    ASSERT_NE(stack.pop(top), nullptr);
    EXPECT_EQ(top.m[3], 7.0f);  // what lay below the scene's entries is untouched
}

}  // namespace
