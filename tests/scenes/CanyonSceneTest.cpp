// Scenes 1 and 2 at the edges of their timeline: the flight, the switch to the tumble at bar 16,
// the logo layers and the flash, recorded on a real context with the real assets.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

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

const std::vector<double> kCanyon = {0.23529412f, 0.17647059f, 0.12941177f};
constexpr double kFullTurn = 6.283185307179586;

class CanyonSceneTest : public ::testing::Test {
protected:
    DemoAssets& a = SceneTestAssets::get();

    RecordedFrame draw(double bars) {
        const SceneClock clock = sceneClockAtBars(bars);
        EXPECT_TRUE(clock.scene == &sceneNamed("canyon") || clock.scene == &sceneNamed("big logo"))
            << bars;
        return drawRecorded(drawCanyonScene, clock);
    }
    static float sceneTime(const SceneClock& c) {
        return c.sceneSeconds(sceneNamed("canyon").startBar);
    }

    // The two wall draws must be the view turned half about the flight axis, then the view.
    void expectWalls(const RecordedFrame& f, const Matrix4& view) {
        const std::vector<Draw>& draws = f.calls->draws();
        ASSERT_GE(draws.size(), 2u);
        Matrix4 turned = view, first, second;
        rotate(turned, 3.1415927f, 0.0f, 0.0f, 1.0f);
        multiply(first, turned, f.clock.projection);
        multiply(second, view, f.clock.projection);
        EXPECT_EQ(draws[0].uniform("matrix"), uploaded(first));
        EXPECT_EQ(draws[0].uniform("cliffside"), std::vector<double>{-1.0});
        EXPECT_EQ(draws[1].uniform("matrix"), uploaded(second));
        EXPECT_EQ(draws[1].uniform("cliffside"), std::vector<double>{1.0});
    }
};

TEST_F(CanyonSceneTest, FirstFrameFlashesWhiteOverTheCanyonMouth) {
    const RecordedFrame f = draw(8.0);
    ASSERT_EQ(f.clock.bars, 8.0f);
    ASSERT_STREQ(f.clock.sceneName(), "canyon");
    const float t = sceneTime(f.clock);
    EXPECT_NEAR(t, 0.0f, 1e-6f);

    const std::vector<Draw>& draws = f.calls->draws();
    ASSERT_EQ(draws.size(), 6u);  // two walls, three logo layers, the flash
    for (int i = 0; i < 2; ++i) {
        const Draw& wall = draws[i];
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
        EXPECT_EQ(wall.uniform("t_scene"), std::vector<double>{t});
        EXPECT_EQ(wall.uniform("tex"), std::vector<double>{0});
        EXPECT_EQ(wall.uniform("moss"), std::vector<double>{1});
        EXPECT_EQ(wall.uniform("lightpos"), (std::vector<double>{0, 0, 0}));
        EXPECT_EQ(wall.uniform("lightradius"), std::vector<double>{40.0});
        EXPECT_EQ(wall.uniform("falloff"), std::vector<double>{0.8f});
        EXPECT_EQ(wall.uniform("fog_color"), kCanyon);
        EXPECT_EQ(wall.uniform("distort"), std::vector<double>{0.0});
        EXPECT_EQ(wall.uniform("cliff_stripes"), std::vector<double>{0.0});
    }
    // The demo's canyon camera: the eye at z = 100 looking down -z, not rolled yet.
    const CameraShot shot = canyonCamera(f.clock);
    EXPECT_STREQ(shot.viewpoint, "flight");
    expectWalls(f, shot.view);
    Matrix4 mouth;
    lookAt(mouth, 0.0f, 0.0f, 100.0f, 0.0f, 0.0f, 99.0f, 0.0f, 1.0f, 0.0f);
    expectMatrixNear(uploaded(shot.view), mouth, 1e-5);

    const GlCallRecorder::Call* clear = nullptr;
    for (const auto& call : f.calls->calls())
        if (call.function == "glClearColor") clear = &call;
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(clear->args, (std::vector<double>{kCanyon[0], kCanyon[1], kCanyon[2], 0.0}));

    const Draw& flash = draws[5];
    EXPECT_EQ(flash.program, a.solidColorShader->program);
    EXPECT_EQ(flash.count, 6);
    EXPECT_TRUE(flash.blend);
    EXPECT_NEAR(flash.uniform("icolor")[3], 1.0, 1e-6);
    EXPECT_EQ(flash.uniform("icolor")[0], 1.0);

    // What is on screen: white everywhere.
    const std::vector<unsigned char> pixels = readFrame();
    int darkest = 255;
    for (size_t i = 0; i < pixels.size(); i += 4)
        darkest = std::min({darkest, int(pixels[i]), int(pixels[i + 1]), int(pixels[i + 2])});
    EXPECT_GE(darkest, 254);

    EXPECT_TRUE(f.depthTestAfter);
    EXPECT_FALSE(f.blendAfter);
    EXPECT_EQ(f.stackDepthAfter, f.stackDepthBefore);
}

TEST_F(CanyonSceneTest, LogoLayersGoBackgroundUpperLowerOverTheDepthTestedCanyon) {
    const RecordedFrame f = draw(12.0);
    const std::vector<Draw>& draws = f.calls->draws();
    ASSERT_EQ(draws.size(), 6u);
    const GLuint images[3] = {a.bigLogoBgTexture->id, a.bigLogoUpTexture->id,
                              a.bigLogoDownTexture->id};
    for (int layer = 0; layer < 3; ++layer) {
        const Draw& d = draws[2 + layer];
        EXPECT_EQ(d.program, a.bigLogoShader->program);
        EXPECT_EQ(d.vertexArray, a.quadBuffer->vertexArray);
        EXPECT_EQ(d.count, 6);
        EXPECT_TRUE(d.depthTest);
        EXPECT_TRUE(d.blend);
        EXPECT_EQ(d.textures[0], images[layer]);
        EXPECT_EQ(d.uniform("t_add"), std::vector<double>{double(layer)});
        EXPECT_EQ(d.uniform("tex"), std::vector<double>{0});
        EXPECT_EQ(d.uniform("fadeout"), std::vector<double>{0.0});
        EXPECT_EQ(d.uniform("ipos"),
                  (std::vector<double>{0.18359375f, 0.1f, 1.265625f, 1.5388889f}));
        EXPECT_EQ(d.uniform("t_scene"), std::vector<double>{sceneTime(f.clock)});
        EXPECT_EQ(d.uniform("saw"), std::vector<double>{f.clock.beatFraction});
    }
    // Each layer: "t_add", then its image on unit 0, then the draw.
    std::vector<std::string> order;
    for (const std::string& line : f.calls->lines())
        if (line.rfind("glUniform1f t_add", 0) == 0 || line.rfind("glBindTexture", 0) == 0 ||
            line.rfind("glDrawElements", 0) == 0)
            order.push_back(line.substr(0, line.find(' ', line.find(' ') + 1)));
    const std::vector<std::string> tail(order.end() - 10, order.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"glUniform1f t_add", "glBindTexture 3553",
                                              "glDrawElements 6", "glUniform1f t_add",
                                              "glBindTexture 3553", "glDrawElements 6",
                                              "glUniform1f t_add", "glBindTexture 3553",
                                              "glDrawElements 6", "glDrawElements 6"}));
    // The flash has died away by now.
    EXPECT_EQ(draws[5].uniform("icolor")[3], 0.0);
}

TEST_F(CanyonSceneTest, FlashFadesOverNineTenthsOfASecond) {
    const double start = secondsOfBars(sceneNamed("canyon").startBar);
    const struct {
        double afterStart;
        double alpha;
    } cases[] = {{0.5, 0.45}, {0.9, 0.01}, {0.91, 0.0}};
    for (const auto& c : cases) {
        const RecordedFrame f =
            drawRecorded(drawCanyonScene, sceneClockAtSeconds(start + c.afterStart));
        EXPECT_NEAR(f.calls->draws().back().uniform("icolor")[3], c.alpha, 2e-6) << c.afterStart;
    }
}

TEST_F(CanyonSceneTest, FlightBecomesTumbleExactlyAtBar16) {
    {
        const RecordedFrame f = draw(15.999);
        EXPECT_EQ(f.calls->draws()[0].uniform("cliff_stripes"), std::vector<double>{0.0});
        const CameraShot shot = canyonCamera(f.clock);
        EXPECT_STREQ(shot.viewpoint, "flight");
        expectWalls(f, shot.view);
        // 172.6 units along the canyon from its mouth at z = -100 of the wall's coordinates.
        EXPECT_NEAR(drawnCamera(shotMatrix(shot, f.clock)).eye[2], 72.56, 0.02);
    }
    {
        const RecordedFrame f = draw(16.0);
        ASSERT_EQ(f.clock.bars, 16.0f);
        EXPECT_EQ(f.calls->draws()[0].uniform("cliff_stripes"), std::vector<double>{1.0});
        const CameraShot shot = canyonCamera(f.clock);
        EXPECT_STREQ(shot.viewpoint, "tumble");
        expectWalls(f, shot.view);
        EXPECT_EQ(f.stackDepthAfter, f.stackDepthBefore);
    }
}

// The walls close the gorge ahead and behind all the way: nothing of what the frame was cleared to
// shows between them (the end ahead once opened onto it in the flight's last bar, a dark bar
// across the sky).
TEST_F(CanyonSceneTest, NothingShowsBetweenTheWallsButSkyAndRock) {
    for (double bars : {9.0, 12.0, 15.3, 15.7, 15.99, 19.0}) {
        gl.glClearColor(1.0f, 0.0f, 1.0f, 1.0f);  // a colour the scene never draws
        draw(bars);
        EXPECT_EQ(
            countPixelsFromTopLeft([](int r, int g, int b) { return r > 250 && g < 5 && b > 250; }),
            0)
            << bars;
    }
}

// The flight runs along the canyon's axis (the wall's z) at 16 units a second, the picture
// rolling 0.4 rad a second; the tumble keeps the camera at the origin while the canyon turns about
// it.
TEST_F(CanyonSceneTest, FlightRunsDownTheAxisRollingThenTheCanyonTumblesAboutTheCamera) {
    const double step = 0.125;
    for (double bars = sceneNamed("canyon").startBar; bars < endBar(sceneNamed("big logo"));
         bars += step) {
        const SceneClock now = sceneClockAtBars(bars), next = sceneClockAtBars(bars + step);
        const CameraShot a = canyonCamera(now), b = canyonCamera(next);
        if (std::string(a.viewpoint) != b.viewpoint) continue;  // the cut at bar 16
        const DrawnCamera from = drawnCamera(shotMatrix(a, now));
        const DrawnCamera to = drawnCamera(shotMatrix(b, next));
        const double dt = next.seconds - now.seconds;
        if (std::string(a.viewpoint) == "flight") {
            EXPECT_NEAR(std::hypot(from.eye[0], from.eye[1]), 0.0, 1e-3) << bars;
            EXPECT_NEAR((to.eye[2] - from.eye[2]) / dt, 16.0, 1e-2) << bars;
            EXPECT_GT(from.forward[2], 0.9999) << bars;
            // The roll, wrapped to a half turn either way.
            const double turned =
                pictureTilt(shotMatrix(b, next)) - pictureTilt(shotMatrix(a, now));
            EXPECT_NEAR(std::remainder(turned, kFullTurn) / dt, 0.4, 1e-3) << bars;
        } else {
            EXPECT_STREQ(a.viewpoint, "tumble");
            EXPECT_LT(std::hypot(from.eye[0], from.eye[1], from.eye[2]), 1e-3) << bars;
            // The canyon turns about the camera: where it looks changes from frame to frame.
            const double dot = from.forward[0] * to.forward[0] + from.forward[1] * to.forward[1] +
                               from.forward[2] * to.forward[2];
            EXPECT_LT(dot, 0.9999) << bars;
        }
    }
}

TEST_F(CanyonSceneTest, SceneTwoIsSceneOneContinued) {
    const RecordedFrame f = draw(23.0);
    EXPECT_STREQ(f.clock.sceneName(), "big logo");
    const float t = sceneTime(f.clock);
    EXPECT_NEAR(t, 20.224719f, 1e-4f);
    const std::vector<Draw>& draws = f.calls->draws();
    ASSERT_EQ(draws.size(), 6u);
    EXPECT_EQ(draws[0].uniform("t_scene"), std::vector<double>{t});
    // From bar 22 the walls are the sky's silhouettes, drawn by their own program.
    EXPECT_EQ(draws[0].program, a.simpleShader->program);
    EXPECT_EQ(draws[1].program, a.simpleShader->program);
    EXPECT_EQ(draw(21.99).calls->draws()[0].program, a.cliffShader->program);
    EXPECT_STREQ(canyonCamera(f.clock).viewpoint, "tumble");
    expectWalls(f, canyonCamera(f.clock).view);
    EXPECT_TRUE(f.depthTestAfter);
    EXPECT_FALSE(f.blendAfter);
    EXPECT_EQ(f.stackDepthAfter, f.stackDepthBefore);
}

}  // namespace
