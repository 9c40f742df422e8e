// Scenes 5 and 6 at the edges of their timeline: the cave's own projection and descent, the zoom
// on the last beat, the boulder, the camcorder frame with its blinking REC mark and the fade from
// black, and the state the routine leaves behind.
#include <gtest/gtest.h>

#include <cmath>

#include "demo/SceneCameras.h"
#include "demo/Scenes.h"
#include "gl/GeometryBuffer.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "support/DrawnCamera.h"
#include "support/FrameChecks.h"
#include "support/MatrixChecks.h"
#include "support/SceneTestAssets.h"

namespace {

using Draw = GlCallRecorder::Draw;

const std::vector<double> kCaveFog = {0.1f, 0.1f, 0.2f};

class CaveSceneTest : public ::testing::Test {
protected:
    DemoAssets& a = SceneTestAssets::get();

    RecordedFrame draw(const SceneClock& clock) {
        EXPECT_TRUE(clock.scene == &sceneNamed("cave") || clock.scene == &sceneNamed("cave 2"))
            << clock.bars;
        return drawRecorded(drawCaveScene, clock);
    }
    static float sceneTime(const SceneClock& c) {
        return c.sceneSeconds(sceneNamed("cave").startBar);
    }

    // The descent's view: the eye given, looking at (x, 0, 0), the world turned a quarter about X.
    static Matrix4 caveView(const float eye[3], float targetX, float upZ) {
        Matrix4 view;
        lookAt(view, eye[0], eye[1], eye[2], targetX, 0.0f, 0.0f, 0.0f, 1.0f, upZ);
        rotate(view, 1.5707964f, 1.0f, 0.0f, 0.0f);
        return view;
    }
    static Matrix4 projection(float halfWidth) {
        Matrix4 p;
        perspective(p, halfWidth, float(SceneTestAssets::kHeight) / SceneTestAssets::kWidth, 1.0f,
                    200.0f);
        return p;
    }
    // The cave and the boulder drawn with the demo's cave camera and its lens, the boulder placed
    // in the camera's view.
    static void expectDrawnWithTheCaveCamera(const RecordedFrame& f) {
        const CameraShot shot = caveCamera(f.clock);
        EXPECT_EQ(uploaded(f.clock.projection), uploaded(lensOf(shot, f.clock)));
        EXPECT_EQ(f.calls->draws().at(0).uniform("matrix"), shotMatrix(shot, f.clock));
        CameraShot boulder = shot;
        placeCaveBoulder(boulder.view, f.clock);
        EXPECT_EQ(f.calls->draws().at(1).uniform("matrix"), shotMatrix(boulder, f.clock));
    }
};

TEST_F(CaveSceneTest, FirstFrameIsBlackOverTheTopOfTheShaft) {
    const RecordedFrame f = draw(clockAtBeats(224.0));
    ASSERT_STREQ(f.clock.sceneName(), "cave");
    const float t = sceneTime(f.clock);
    EXPECT_NEAR(t, 0.0f, 1e-5f);  // the nearest float second past the start of bar 56

    const std::vector<Draw>& draws = f.calls->draws();
    ASSERT_EQ(draws.size(), 5u);  // cave, boulder, frame, REC mark, fade
    const Draw& cave = draws[0];
    EXPECT_EQ(cave.program, a.stoneShader->program);
    EXPECT_EQ(cave.vertexArray, a.caveMesh.geometry->vertexArray);
    EXPECT_EQ(cave.count, a.caveMesh.indexCount);
    const Draw& boulder = draws[1];
    EXPECT_EQ(boulder.program, a.asteroidShader->program);
    EXPECT_EQ(boulder.vertexArray, a.fieldMeshB.geometry->vertexArray);
    EXPECT_EQ(boulder.count, a.fieldMeshB.indexCount);
    for (const Draw* d : {&cave, &boulder}) {
        EXPECT_TRUE(d->depthTest);
        EXPECT_FALSE(d->blend);
        EXPECT_EQ(d->textures[0], a.brickTexture->id);
        EXPECT_EQ(d->textures[1], a.mossTexture->id);
        EXPECT_EQ(d->uniform("lightpos"), (std::vector<double>{0, 0, 0}));
        EXPECT_EQ(d->uniform("lightradius"), std::vector<double>{40.0});
        EXPECT_EQ(d->uniform("falloff"), std::vector<double>{1.3f});
        EXPECT_EQ(d->uniform("fog_color"), kCaveFog);
        EXPECT_EQ(d->uniform("t"), std::vector<double>{f.clock.seconds});
        EXPECT_EQ(d->uniform("beats"), std::vector<double>{f.clock.beats});
        EXPECT_EQ(d->uniform("kick"), std::vector<double>{f.clock.beatInBar});
        EXPECT_EQ(d->uniform("bounce"), std::vector<double>{f.clock.beatSine});
        EXPECT_EQ(d->uniform("saw"), std::vector<double>{f.clock.beatFraction});
        EXPECT_EQ(d->uniform("t_scene"), std::vector<double>{t});
    }
    EXPECT_EQ(cave.uniform("tex"), std::vector<double>{0});
    EXPECT_EQ(cave.uniform("moss"), std::vector<double>{1});
    EXPECT_EQ(boulder.uniform("fog_falloff"), std::vector<double>{1.3f});
    EXPECT_EQ(boulder.uniform("fog_scale"), std::vector<double>{1.95f});
    EXPECT_EQ(boulder.uniform("distort"), std::vector<double>{0.0});
    EXPECT_EQ(boulder.uniform("screen"),
              (std::vector<double>{SceneTestAssets::kWidth, SceneTestAssets::kHeight}));

    // The eye 120 up, swaying off the axis, looking at (0.1, 0, 0) through the wider lens.
    const float eye[3] = {-0.8310511f, 120.0f, 9.3503866f};
    const Matrix4 wide = projection(0.5f);
    EXPECT_EQ(uploaded(f.clock.projection), uploaded(wide));
    Matrix4 expected;
    multiply(expected, caveView(eye, 0.1f, 0.0f), wide);
    expectMatrixNear(cave.uniform("matrix"), expected);
    expectDrawnWithTheCaveCamera(f);

    const GlCallRecorder::Call* clear = nullptr;
    for (const auto& call : f.calls->calls())
        if (call.function == "glClearColor") clear = &call;
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(clear->args, (std::vector<double>{0.1f, 0.1f, 0.2f, 0.0}));

    const Draw& fade = draws[4];
    EXPECT_EQ(fade.program, a.solidColorShader->program);
    EXPECT_TRUE(fade.blend);
    EXPECT_EQ(fade.uniform("icolor")[0], 0.0);
    EXPECT_NEAR(fade.uniform("icolor")[3], 1.0, 1e-5);
    EXPECT_EQ(countPixelsFromTopLeft([](int r, int g, int b) { return r + g + b > 3; }), 0);
}

// Once clear the fade is not drawn at all: the REC mark is the frame's last draw.
TEST_F(CaveSceneTest, FadeIsGoneOneSecondIn) {
    const double start = secondsOfBars(sceneNamed("cave").startBar);
    const struct {
        double afterStart;
        double alpha;
    } cases[] = {{0.25, 0.75}, {0.999, 0.001}, {1.001, 0.0}, {5.0, 0.0}};
    for (const auto& c : cases) {
        const RecordedFrame f = draw(sceneClockAtSeconds(start + c.afterStart));
        const Draw& last = f.calls->draws().back();
        if (c.alpha > 0.0) {
            EXPECT_EQ(last.program, a.solidColorShader->program) << c.afterStart;
            EXPECT_NEAR(last.uniform("icolor")[3], c.alpha, 1e-5) << c.afterStart;
        } else {
            EXPECT_EQ(f.calls->draws().size(), 4u) << c.afterStart;
            EXPECT_EQ(last.uniform("blink_factor"), std::vector<double>{1.0}) << c.afterStart;
        }
        EXPECT_FALSE(f.blendAfter) << c.afterStart;
    }
}

TEST_F(CaveSceneTest, CamcorderFrameThenBlinkingRecMarkOverTheWholeScreen) {
    const RecordedFrame f = draw(sceneClockAtBars(60.0625));
    const std::vector<Draw>& draws = f.calls->draws();
    ASSERT_EQ(draws.size(), 4u);  // the fade is gone
    const Texture2D* images[2] = {a.bordersTexture.get(), a.recTexture.get()};
    for (int i = 0; i < 2; ++i) {
        const Draw& d = draws[2 + i];
        EXPECT_EQ(d.program, a.displayCameraShader->program);
        EXPECT_EQ(d.vertexArray, a.quadBuffer->vertexArray);
        EXPECT_EQ(d.count, 6);
        EXPECT_TRUE(d.blend);
        EXPECT_EQ(d.textures[0], images[i]->id);
        EXPECT_EQ(d.uniform("blink_factor"), std::vector<double>{double(i)});
        EXPECT_EQ(d.uniform("ipos"), (std::vector<double>{0, 0, 1, 1}));
        EXPECT_EQ(d.uniform("t_scene"), std::vector<double>{sceneTime(f.clock)});
        EXPECT_EQ(d.uniform("beats"), std::vector<double>{f.clock.beats});
    }

    // The REC mark sits in the frame's top-left corner and is lit on every other beat.
    // The mark's own saturated red: rust brick lifted by the camcorder comes near, not this far.
    const auto red = [](int r, int g, int b) { return r > 150 && g < 60 && b < 60; };
    const int lit = countPixelsFromTopLeft(red, 0.0, 0.0, 0.25, 0.25);
    EXPECT_GT(lit, 15);
    EXPECT_EQ(countPixelsFromTopLeft(red, 0.25, 0.0, 1.0, 1.0), 0);  // nowhere else
    draw(sceneClockAtBars(60.3125));
    EXPECT_LT(countPixelsFromTopLeft(red, 0.0, 0.0, 0.25, 0.25), lit / 10);
}

TEST_F(CaveSceneTest, ZoomStartsJustAfterBarSeventyOneAndThreeQuarters) {
    {
        const RecordedFrame f = draw(clockAtBeats(287.0));
        ASSERT_EQ(f.clock.bars, 71.75f);
        EXPECT_STREQ(caveCamera(f.clock).viewpoint, "descent");
        EXPECT_EQ(uploaded(f.clock.projection), uploaded(projection(0.5f)));
        expectDrawnWithTheCaveCamera(f);
    }
    {
        const RecordedFrame f = draw(sceneClockAtBars(71.76));
        EXPECT_STREQ(caveCamera(f.clock).viewpoint, "zoom");
        EXPECT_EQ(uploaded(f.clock.projection), uploaded(projection(0.3f)));
        expectDrawnWithTheCaveCamera(f);
        // By now about 92 units past the lamp's height (the shaft runs along the mesh's z),
        // looking back at the lamp still.
        const DrawnCamera eye = drawnCamera(f.calls->draws()[0].uniform("matrix"));
        EXPECT_NEAR(eye.eye[2], 92.31, 0.01);
        EXPECT_LT(eye.forward[2], -0.99);
    }
    {
        const RecordedFrame f = draw(sceneClockAtBars(71.9999));  // the last frames of scene 6
        ASSERT_STREQ(f.clock.sceneName(), "cave 2");
        EXPECT_STREQ(caveCamera(f.clock).viewpoint, "zoom");
        expectDrawnWithTheCaveCamera(f);
        EXPECT_NEAR(drawnCamera(f.calls->draws()[0].uniform("matrix")).eye[2], 95.53, 0.01);
    }
}

// The camera travels the shaft at 10 units a second, swaying 9 to 15 units off its axis, always
// with the lamp at the origin in the middle of the picture.
TEST_F(CaveSceneTest, DescentKeepsTheLampInTheMiddleOfThePicture) {
    for (double bars = sceneNamed("cave").startBar; bars < endBar(sceneNamed("cave 2"));
         bars += 0.25) {
        // From the first frame of the scene: at the exact start the float clock is still in the
        // scene before.
        const SceneClock clock = clockAtBars(bars);
        const CameraShot shot = caveCamera(clock);
        const std::vector<double> matrix = shotMatrix(shot, clock);
        const DrawnCamera eye = drawnCamera(matrix);
        const double t = sceneTime(clock);
        EXPECT_NEAR(eye.eye[2], 10.0 * t - 120.0, 1.0) << bars;
        const double fromAxis = std::hypot(eye.eye[0], eye.eye[1]);
        EXPECT_GT(fromAxis, 8.5) << bars;
        EXPECT_LT(fromAxis, 15.5) << bars;
        const ScreenPoint lamp = screenPoint(matrix, 0.0, 0.0, 0.0);
        EXPECT_TRUE(lamp.inPicture()) << bars;
        EXPECT_LT(std::hypot(lamp.x, lamp.y), 0.1) << bars;
    }
}

TEST_F(CaveSceneTest, BoulderCrossesTheLampsHeightTenSecondsIn) {
    const RecordedFrame f =
        draw(sceneClockAtSeconds(secondsOfBars(sceneNamed("cave").startBar) + 10.0));
    const float t = sceneTime(f.clock);
    ASSERT_NEAR(t, 10.0f, 1e-5f);
    Matrix4 view = caveCamera(f.clock).view;
    scale(view, 0.5f, 0.5f, 0.5f);
    translate(view, 12.0f, 0.0f, 11.0f);
    rotate(view, 1.5707964f, 0.0f, 0.0f, 1.0f);
    Matrix4 expected;
    multiply(expected, view, projection(0.5f));
    expectMatrixNear(f.calls->draws()[1].uniform("matrix"), expected, 1e-5);
}

TEST_F(CaveSceneTest, SceneSixContinuesTheDescentAndLeavesTheStandingState) {
    const RecordedFrame f = draw(sceneClockAtBars(66.0));
    EXPECT_STREQ(f.clock.sceneName(), "cave 2");
    const float t = sceneTime(f.clock);
    EXPECT_NEAR(t, 13.483146f, 1e-4f);  // still counted from bar 56
    for (const Draw& d : f.calls->draws()) {
        if (d.program != a.solidColorShader->program) {
            EXPECT_EQ(d.uniform("t_scene"), std::vector<double>{t});
        }
    }
    EXPECT_EQ(f.calls->draws().back().program, a.displayCameraShader->program);  // no fade

    EXPECT_TRUE(f.depthTestAfter);
    EXPECT_FALSE(f.blendAfter);
    EXPECT_EQ(f.depthFunctionAfter, GLenum(GL_LEQUAL));
    EXPECT_EQ(f.stackDepthAfter, f.stackDepthBefore);
    const TextureUnits units = textureUnitsNow();
    EXPECT_EQ(units.active, 0);
    EXPECT_EQ(units.bound[0], a.recTexture->id);
    EXPECT_EQ(units.bound[1], a.mossTexture->id);
    // The shaft is drawn with its far sides culled; culling is off again, the default side back.
    GLint cull = 1, side = 0;
    gl.glGetIntegerv(GL_CULL_FACE, &cull);
    gl.glGetIntegerv(GL_CULL_FACE_MODE, &side);
    EXPECT_EQ(cull, 0);
    EXPECT_EQ(side, GL_BACK);
}

}  // namespace
