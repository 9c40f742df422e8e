// Scene 0 at the edges of its timeline: what every pass sends, binds and draws, and the state it
// leaves, recorded on a real context with the real assets.
#include <gtest/gtest.h>

#include <cmath>

#include "demo/SceneCameras.h"
#include "demo/Scenes.h"
#include "gl/GeometryBuffer.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "support/DrawnCamera.h"
#include "support/FrameChecks.h"
#include "support/SceneTestAssets.h"

namespace {

using Draw = GlCallRecorder::Draw;

const std::vector<double> kDust = {0.11764706f, 0.09019608f, 0.05882353f};
constexpr int kSprites = 120;

class IntroSceneTest : public ::testing::Test {
protected:
    DemoAssets& a = SceneTestAssets::get();

    RecordedFrame draw(double seconds) {
        const SceneClock clock = sceneClockAtSeconds(seconds);
        EXPECT_STREQ(clock.sceneName(), "intro");
        return drawRecorded(drawIntroScene, clock);
    }
    // The draws of one program, in order.
    std::vector<Draw> drawsOf(const RecordedFrame& f, const ShaderProgram* program) {
        std::vector<Draw> out;
        for (const Draw& d : f.calls->draws())
            if (d.program == program->program) out.push_back(d);
        return out;
    }
};

TEST_F(IntroSceneTest, FirstFrameIsTheWallUnderOpaqueBlack) {
    const RecordedFrame f = draw(0.0);
    const std::vector<Draw>& draws = f.calls->draws();
    ASSERT_EQ(draws.size(), 1u + kSprites + 1u);  // wall, sprites, no logo yet, fade

    // The first call sets the colour the next frame is cleared with.
    const GlCallRecorder::Call& first = f.calls->calls().front();
    EXPECT_EQ(first.function, "glClearColor");
    EXPECT_EQ(first.args, (std::vector<double>{kDust[0], kDust[1], kDust[2], 0.0}));

    const Draw& wall = draws[0];
    EXPECT_EQ(wall.program, a.cliffShader->program);
    EXPECT_EQ(wall.vertexArray, a.fieldMeshA.geometry->vertexArray);
    EXPECT_TRUE(wall.indexed);
    EXPECT_EQ(wall.count, a.fieldMeshA.indexCount);
    EXPECT_TRUE(wall.depthTest);
    EXPECT_FALSE(wall.blend);
    EXPECT_EQ(wall.textures[0], a.cliffTexture->id);
    EXPECT_EQ(wall.textures[1], a.mossTexture->id);
    // The wall program's clock uniforms: "t", "saw" and "distort" are held at zero in this scene,
    // "t_scene" counts its seconds (from zero here).
    for (const char* zero : {"t", "saw", "t_scene", "distort"})
        EXPECT_EQ(wall.uniform(zero), std::vector<double>{0.0}) << zero;
    EXPECT_EQ(wall.uniform("tex"), std::vector<double>{0});
    EXPECT_EQ(wall.uniform("moss"), std::vector<double>{1});
    EXPECT_EQ(wall.uniform("lightpos"), (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(wall.uniform("lightradius"), std::vector<double>{40.0});
    EXPECT_EQ(wall.uniform("falloff"), std::vector<double>{0.8f});
    EXPECT_EQ(wall.uniform("fog_color"), kDust);
    EXPECT_EQ(wall.uniform("cliffside"), std::vector<double>{1.0});
    // At 0 s the eye is (0, 5, 5) looking at (0, 0, -5), the world turned -pi/2 about Y.
    Matrix4 view, expected;
    lookAt(view, 0, 5, 5, 0, 0, -5, 0, 1, 0);
    rotate(view, 1.5707964f, 0.0f, -1.0f, 0.0f);
    multiply(expected, view, f.clock.projection);
    EXPECT_EQ(wall.uniform("matrix"), uploaded(expected));

    const Draw& fade = draws.back();
    EXPECT_EQ(fade.program, a.solidColorShader->program);
    EXPECT_EQ(fade.vertexArray, a.quadBuffer->vertexArray);
    EXPECT_EQ(fade.count, 6);
    EXPECT_EQ(fade.uniform("icolor"), (std::vector<double>{0, 0, 0, 1}));

    // What is on screen: black everywhere.
    const std::vector<unsigned char> pixels = readFrame();
    int brightest = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        brightest = std::max({brightest, int(pixels[i]), int(pixels[i + 1]), int(pixels[i + 2])});
    EXPECT_EQ(brightest, 0);

    EXPECT_TRUE(f.depthTestAfter);
    EXPECT_FALSE(f.blendAfter);
    EXPECT_EQ(f.depthFunctionAfter, GLenum(GL_LEQUAL));
    EXPECT_EQ(f.stackDepthAfter, f.stackDepthBefore);
}

TEST_F(IntroSceneTest, SpritesAreOneDrawEachWithoutDepthAndDescendingIds) {
    const RecordedFrame f = draw(4.0);
    const std::vector<Draw> sprites = drawsOf(f, a.particlesShader.get());
    ASSERT_EQ(sprites.size(), size_t(kSprites));
    Matrix4 view, expected;
    lookAt(view, 0, 0, 1, 0, 0, 0, 0, 1, 0);
    multiply(expected, view, f.clock.projection);
    for (int i = 0; i < kSprites; ++i) {
        const Draw& d = sprites[i];
        EXPECT_EQ(d.uniform("id"), std::vector<double>{double(kSprites - i)});
        EXPECT_EQ(d.vertexArray, a.quadBuffer->vertexArray);
        EXPECT_EQ(d.count, 6);
        EXPECT_FALSE(d.depthTest);
        EXPECT_TRUE(d.blend);
        EXPECT_EQ(d.textures[4], a.introParticleTexture->id);
    }
    const Draw& d = sprites.front();
    EXPECT_EQ(d.uniform("texture"), std::vector<double>{4});
    EXPECT_EQ(d.uniform("t"), std::vector<double>{3.3f * f.clock.seconds});
    EXPECT_EQ(d.uniform("fade"), std::vector<double>{0.0});
    EXPECT_EQ(d.uniform("matrix"), uploaded(expected));
    // One look-up per sprite: the id is set right before each draw.
    EXPECT_EQ(f.calls->uniformSettings("id").size(), size_t(kSprites));
}

// The wall is drawn from the demo's intro camera all scene long, which only drifts: it stays
// within half a unit of where it starts and keeps looking the same way.
TEST_F(IntroSceneTest, WallIsSeenFromACameraThatOnlyDrifts) {
    const DrawnCamera start = drawnCamera(draw(0.0).calls->draws().at(0).uniform("matrix"));
    for (double seconds = 0.5; seconds < secondsOfBars(sceneNamed("canyon").startBar);
         seconds += 0.5) {
        const RecordedFrame f = draw(seconds);
        const std::vector<double> matrix = f.calls->draws().at(0).uniform("matrix");
        EXPECT_EQ(matrix, shotMatrix(introCamera(f.clock), f.clock)) << seconds;
        // The light on it builds with the scene's time instead.
        EXPECT_EQ(f.calls->draws().at(0).uniform("t_scene"),
                  std::vector<double>{f.clock.sceneSeconds()})
            << seconds;
        const DrawnCamera now = drawnCamera(matrix);
        EXPECT_LT(std::hypot(now.eye[0] - start.eye[0], now.eye[1] - start.eye[1],
                             now.eye[2] - start.eye[2]),
                  0.5)
            << seconds;
        const double* a = start.forward;
        const double* b = now.forward;
        EXPECT_GT(a[0] * b[0] + a[1] * b[1] + a[2] * b[2], 0.995) << seconds;
    }
}

TEST_F(IntroSceneTest, FadeFromBlackIsGoneAfterNineTenthsOfASecond) {
    const struct {
        double seconds;
        float alpha;
    } cases[] = {{0.5, 0.45f}, {0.9, float(1.0 - 1.1 * 0.9f)}, {0.91, 0.0f}, {7.0, 0.0f}};
    for (const auto& c : cases) {
        const RecordedFrame f = draw(c.seconds);
        const std::vector<Draw> fades = drawsOf(f, a.solidColorShader.get());
        ASSERT_EQ(fades.size(), 1u);
        EXPECT_FLOAT_EQ(float(fades[0].uniform("icolor")[3]), c.alpha) << c.seconds;
        // "fade" stays 0 throughout the scene.
        EXPECT_EQ(f.calls->uniformSettings("fade"), std::vector<std::vector<double>>{{0.0}});
    }
}

TEST_F(IntroSceneTest, LogoComesInTwoStepsAtStrictTimes) {
    // 9.1 s as a float lies just above the double 9.1, so it already shows the first step; the
    // float 9.8 is compared with itself and does not yet show the second.
    const struct {
        double seconds;
        size_t logos;
    } cases[] = {{9.09, 0}, {9.1, 1}, {9.5, 1}, {9.8, 1}, {9.81, 2}, {10.7, 2}};
    for (const auto& c : cases) {
        const RecordedFrame f = draw(c.seconds);
        const std::vector<Draw> logos = drawsOf(f, a.introLogoShader.get());
        ASSERT_EQ(logos.size(), c.logos) << c.seconds;
        if (c.logos >= 1) {
            EXPECT_EQ(logos[0].textures[0], a.newLogoTexture->id);
        }
        if (c.logos == 2) {
            EXPECT_EQ(logos[1].textures[0], a.newLogo2Texture->id);
        }
        for (const Draw& d : logos) {
            EXPECT_FALSE(d.depthTest);
            EXPECT_TRUE(d.blend);
            EXPECT_EQ(d.count, 6);
            EXPECT_EQ(d.uniform("ipos"),
                      (std::vector<double>{0.1f, 0.13263889f, 1.6f, 1.4694444f}));
            const SceneClock& k = f.clock;
            EXPECT_EQ(d.uniform("t"), std::vector<double>{k.seconds});
            EXPECT_EQ(d.uniform("beats"), std::vector<double>{k.beats});
            EXPECT_EQ(d.uniform("kick"), std::vector<double>{k.beatInBar});
            EXPECT_EQ(d.uniform("bounce"), std::vector<double>{k.beatSine});
            EXPECT_EQ(d.uniform("saw"), std::vector<double>{k.beatFraction});
            EXPECT_EQ(d.uniform("t_scene"), std::vector<double>{k.seconds});
        }
        EXPECT_TRUE(f.depthTestAfter);
        EXPECT_FALSE(f.blendAfter);
    }
}

// Each bar's first beat is answered on the very frame it falls on, and locally: a beam of light
// enters the wall from the left and the dust it crosses flares, while the right of the picture
// holds (no whole-frame pulse).
TEST_F(IntroSceneTest, DownbeatLightsTheLeftOfTheWallOnItsOwnFrame) {
    auto meanLuma = [](double x0, double x1) {
        const std::vector<unsigned char> pixels = readFrame();
        double sum = 0.0;
        const std::vector<size_t> offsets = pixelOffsetsFromTopLeft(x0, 0.0, x1, 1.0);
        for (size_t o : offsets)
            sum += 0.3 * pixels[o] + 0.55 * pixels[o + 1] + 0.15 * pixels[o + 2];
        return sum / double(offsets.size());
    };
    for (double bar : {3.0, 5.0}) {
        drawRecorded(drawIntroScene, clockAtBars(bar - 0.125));  // half a beat before
        const double leftBefore = meanLuma(0.0, 0.35), rightBefore = meanLuma(0.65, 1.0);
        drawRecorded(drawIntroScene, clockAtBars(bar));
        const double leftOn = meanLuma(0.0, 0.35), rightOn = meanLuma(0.65, 1.0);
        // On the right only the dust's gentle pulse on every beat and the slow dawn.
        EXPECT_GT(leftOn - leftBefore, 20.0) << bar;
        EXPECT_GT(leftOn - leftBefore, 3.0 * std::fabs(rightOn - rightBefore)) << bar;
    }
}

}  // namespace
