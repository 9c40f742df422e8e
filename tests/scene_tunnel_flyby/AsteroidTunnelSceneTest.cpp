// Scene 3 at the edges of its timeline: the orbit, the stand-back and the late weave of the
// camera, the switch at bar 32, the credits' alpha, the tunnel that must enclose every camera,
// and the matrix stack and GL state the routine leaves behind.
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
#include "math/MatrixStack.h"
#include "support/DrawnCamera.h"
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
        EXPECT_STREQ(clock.sceneName(), "tunnel") << clock.bars;
        return drawRecorded(drawAsteroidTunnelScene, clock);
    }
    static float sceneTime(const SceneClock& c) {
        return c.sceneSeconds(sceneNamed("tunnel").startBar);
    }

    // The tunnel and the rock drawn with the demo's tunnel camera, each placed in its view; the
    // viewpoint in use.
    static std::string expectDrawnWithTheTunnelCamera(const RecordedFrame& f) {
        const std::vector<Draw>& draws = f.calls->draws();
        EXPECT_EQ(draws.size(), 3u);
        const CameraShot camera = tunnelCamera(f.clock);
        CameraShot wall = camera, rock = camera;
        placeTunnelWall(wall.view);
        placeTunnelRock(rock.view, f.clock);
        EXPECT_EQ(draws.at(0).uniform("matrix"), shotMatrix(rock, f.clock));
        EXPECT_EQ(draws.at(1).uniform("matrix"), shotMatrix(wall, f.clock));
        return camera.viewpoint;
    }

    // Where the camera stands and what it looks at: the rock at the origin (the tunnel's axis is
    // z), as a viewer of the frame sees them.
    static DrawnCamera cameraOf(const RecordedFrame& f) {
        return drawnCamera(shotMatrix(tunnelCamera(f.clock), f.clock));
    }
    static ScreenPoint rockOnScreen(const RecordedFrame& f) {
        return screenPoint(shotMatrix(tunnelCamera(f.clock), f.clock), 0.0, 0.0, 0.0);
    }
    static double distance(const DrawnCamera& c) {
        return std::hypot(c.eye[0], c.eye[1], c.eye[2]);
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
        const double start = secondsOfBars(sceneNamed("tunnel").startBar);
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
    // The rock before the tunnel, so that the depth test spares the wall's shading behind it.
    ASSERT_EQ(draws.size(), 3u);  // rock, tunnel, credits
    const Draw& tunnel = draws[1];
    EXPECT_EQ(tunnel.program, a.cliffTunnelShader->program);
    EXPECT_EQ(tunnel.vertexArray, a.fieldMeshA.geometry->vertexArray);
    EXPECT_EQ(tunnel.count, a.fieldMeshA.indexCount);
    const Draw& rock = draws[0];
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
    // The lamp, like the camera, goes once round in 2 pi seconds; the camera starts looking at
    // the rock from (21, 0, 21).
    EXPECT_EQ(expectDrawnWithTheTunnelCamera(f), "orbit");
    Matrix4 start;
    lookAt(start, 21.0f, 0.0f, 21.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f);
    expectMatrixNear(uploaded(tunnelCamera(f.clock).view), start, 2e-5);

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
    // Bars 27 and 31: about 50 units down the tunnel, the rock in the middle of the picture.
    for (double bars : {27.0, 27.5, 31.5}) {
        const RecordedFrame f = draw(clockAtBars(bars));
        SCOPED_TRACE(bars);
        EXPECT_EQ(expectDrawnWithTheTunnelCamera(f), "far");
        EXPECT_NEAR(std::fabs(cameraOf(f).eye[2]), 50.0, 0.5);
        EXPECT_GT(distance(cameraOf(f)), 49.0);
        EXPECT_LT(distance(cameraOf(f)), 52.0);
        EXPECT_TRUE(rockOnScreen(f).inPicture());
        EXPECT_LT(std::hypot(rockOnScreen(f).x, rockOnScreen(f).y), 1e-4);
        EXPECT_EQ(f.calls->draws()[0].uniform("distort"), std::vector<double>{0.0});
    }
    // Bars 35 and 39: close in, within 15 units of the rock, looking along the tunnel at a point
    // that slides and jumps back: the rock is off the middle of the picture.
    for (double bars : {35.0, 35.5, 39.5, 39.99}) {
        const RecordedFrame f = draw(clockAtBars(bars));
        SCOPED_TRACE(bars);
        EXPECT_EQ(expectDrawnWithTheTunnelCamera(f), "inside");
        EXPECT_LT(distance(cameraOf(f)), 15.0);
        EXPECT_GT(std::hypot(rockOnScreen(f).x, rockOnScreen(f).y), 1e-3);
        EXPECT_EQ(f.calls->draws()[0].uniform("distort"), std::vector<double>{1.0});
    }
    // Either side of a phrase's last bar the camera orbits again, 17 to 36 units from the rock,
    // which stays in the middle of the picture.
    for (double bars : {26.999, 28.0, 34.999, 36.0}) {
        const RecordedFrame f = draw(clockAtBars(bars));
        SCOPED_TRACE(bars);
        EXPECT_EQ(expectDrawnWithTheTunnelCamera(f), "orbit");
        EXPECT_GT(distance(cameraOf(f)), 17.0);
        EXPECT_LT(distance(cameraOf(f)), 36.0);
        EXPECT_LT(std::hypot(rockOnScreen(f).x, rockOnScreen(f).y), 1e-4);
    }
    // The orbit passes straight over the rock where cos ts changes sign (bars 25.2, 29.8, 32.2):
    // from one frame to the next there the picture turns on a little, it does not spin over.
    const double start = secondsOfBars(sceneNamed("tunnel").startBar);
    for (double pole : {1.5707963, 7.8539816, 10.995574}) {
        SCOPED_TRACE(pole);
        const Matrix4 before = tunnelCamera(sceneClockAtSeconds(start + pole - 1.0 / 120.0)).view;
        const Matrix4 after = tunnelCamera(sceneClockAtSeconds(start + pole + 1.0 / 120.0)).view;
        for (int i = 0; i < 11; ++i) EXPECT_NEAR(before.m[i], after.m[i], 0.05) << i;
    }
}

TEST_F(AsteroidTunnelSceneTest, DistortionStartsJustAfterBar32) {
    {
        const RecordedFrame f = draw(clockAtBars(32.0));
        ASSERT_EQ(f.clock.bars, 32.0f);
        EXPECT_EQ(f.calls->draws()[0].uniform("distort"), std::vector<double>{0.0});
        const double saw = f.clock.beatFraction;
        EXPECT_NEAR(f.calls->draws()[1].uniform("distort")[0], -0.4 * saw, 1e-6);
        // Phrase 0 again, and not yet the late weave: the orbit.
        EXPECT_EQ(expectDrawnWithTheTunnelCamera(f), "orbit");
    }
    {
        const RecordedFrame f = draw(clockAtBars(32.0, true));
        EXPECT_GT(f.clock.bars, 32.0f);
        EXPECT_EQ(f.calls->draws()[0].uniform("distort"), std::vector<double>{1.0});
        EXPECT_NEAR(f.calls->draws()[1].uniform("distort")[0], 1.0 - 0.4 * f.clock.beatFraction,
                    1e-6);
    }
    // Before bar 32 the tunnel's pulse runs below zero, down to -0.4 at the end of each beat.
    for (double bars : {24.2, 29.9, 31.99}) {
        const RecordedFrame f = draw(clockAtBars(bars));
        const double distort = f.calls->draws()[1].uniform("distort").at(0);
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

// The card itself is whole or gone, never a ghost over the tunnel: a little way into the
// routine's fade-in it is already whole, half-way through its fade-out nothing of it is left.
// The brightest value the card alone leaves on a black frame, drawn as the routine draws it.
TEST_F(AsteroidTunnelSceneTest, CreditsCardIsWholeOrGoneNeverHalfThere) {
    const auto brightest = [&](float ts, float alpha) {
        gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        gl.glDisable(GL_DEPTH_TEST);
        gl.glEnable(GL_BLEND);
        const ShaderProgram& card = *a.displayShader;
        card.use();
        bindToUnit(0, *a.creditsTexture);
        card.setFloat("t_scene", ts);
        card.setFloat("alpha", alpha);
        a.quadBuffer->draw(6);
        card.setFloat("alpha", 1.0f);
        gl.glDisable(GL_BLEND);
        gl.glEnable(GL_DEPTH_TEST);
        const std::vector<unsigned char> frame = readFrame();
        int top = 0;
        for (size_t i = 0; i < frame.size(); i += 4)
            top = std::max({top, int(frame[i]), int(frame[i + 1]), int(frame[i + 2])});
        return top;
    };
    gl.glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    const int whole = brightest(3.0f, 1.0f);
    EXPECT_GT(whole, 200);
    EXPECT_GE(brightest(0.1f, 0.1f), whole - 2);
    EXPECT_EQ(brightest(9.0f, 0.5f), 0);
}

// The tunnel is the wall surface bent into a tube: from every camera of the scene it must fill
// the whole background. Anything the clear colour shows through is a hole.
TEST_F(AsteroidTunnelSceneTest, TunnelSurroundsEveryCameraAndLeavesStateAsFound) {
    MatrixStack& stack = *a.matrixStack;
    Matrix4 sentinel;
    identity(sentinel);
    sentinel.m[3] = 7.0f;
    stack.push(sentinel);
    for (double bars = sceneNamed("tunnel").startBar; bars < endBar(sceneNamed("tunnel"));
         bars += 0.125) {
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
