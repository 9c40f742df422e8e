// Scenes 7 and 8 at the edges of their timeline: the opening flash and the computed sky, the
// camera choice around bars 88, 92 and 96, the odd-beat pulse, the rocket slots moving with the
// half beats, the dimming at the end, the rockets being in sight, and the state left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "demo/SceneCameras.h"
#include "demo/Scenes.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "support/DrawnCamera.h"
#include "support/FrameChecks.h"
#include "support/SceneTestAssets.h"

namespace {

using Draw = GlCallRecorder::Draw;

class RocketsSceneTest : public ::testing::Test {
protected:
    DemoAssets& a = SceneTestAssets::get();

    RecordedFrame draw(const SceneClock& clock) {
        EXPECT_TRUE(clock.scene == &sceneNamed("rockets") ||
                    clock.scene == &sceneNamed("rockets 2"))
            << clock.bars;
        return drawRecorded(drawRocketsScene, clock);
    }
    static float sceneTime(const SceneClock& c) {
        return c.sceneSeconds(sceneNamed("rockets").startBar);
    }

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
    // The ground drawn from the demo's rockets camera through its lens, which the routine leaves
    // as the frame's projection; the viewpoint in use.
    static std::string expectDrawnWithTheRocketsCamera(const RecordedFrame& f) {
        const CameraShot shot = rocketsCamera(f.clock);
        EXPECT_EQ(f.calls->draws().at(0).uniform("matrix"), shotMatrix(shot, f.clock));
        EXPECT_EQ(uploaded(f.clock.projection), uploaded(lensOf(shot, f.clock)));
        return shot.viewpoint;
    }
    static double flashAlpha(const RecordedFrame& f) {
        return f.calls->draws().back().uniform("icolor")[3];
    }
};

TEST_F(RocketsSceneTest, BarSeventyTwoOpensWhiteOverGroundAndRockets) {
    const RecordedFrame f = draw(clockAtBeats(288.0));
    ASSERT_STREQ(f.clock.sceneName(), "rockets");
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
    EXPECT_EQ(ground.uniform("t_scene"), std::vector<double>{t});  // the sun sets by it
    // The ground fog: the sky's red, its own green and blue.
    const std::vector<double> fog = ground.uniform("fog_color");
    ASSERT_EQ(fog.size(), 3u);
    EXPECT_EQ(fog[0], sky[0]);
    EXPECT_NEAR(fog[2], 25.0 / 70.0 * sky[2], 1e-6);

    const std::vector<Draw> rockets = rocketDraws(f);
    ASSERT_GT(rockets.size(), 10u);  // the pieces in view
    for (const Draw& d : rockets) {
        // Fins (pieces 1 to 3) from the rod's few rings that draw them, the ground patch (4) from
        // every other ring, the rest from the rod in regular rings or, far off, every other ring.
        const double piece = d.uniform("piece")[0];
        const bool fin = piece >= 1.0 && piece <= 3.0;
        const bool coarse = d.vertexArray == a.coarseRod.geometry->vertexArray;
        const LoadedMesh& mesh = fin ? a.finMesh : coarse ? a.coarseRod : a.roundRod;
        EXPECT_EQ(d.vertexArray, mesh.geometry->vertexArray) << piece;
        EXPECT_EQ(d.count, mesh.indexCount) << piece;
        if (piece == 4.0) {
            EXPECT_TRUE(coarse);
        }
        EXPECT_TRUE(d.depthTest);
        EXPECT_TRUE(d.blend);
        EXPECT_EQ(d.uniform("matrix"), ground.uniform("matrix"));
        EXPECT_EQ(d.uniform("fog_color"), fog);
        EXPECT_EQ(d.uniform("beat"), std::vector<double>{576.0});
        EXPECT_EQ(d.uniform("t_scene"), std::vector<double>{t});
    }
    // The ground, the sky, the rockets and the flash.
    ASSERT_EQ(draws.size(), 1 + 1 + rockets.size() + 1);
    EXPECT_EQ(draws[1].program, a.rocketsSkyShader->program);
    EXPECT_EQ(draws[1].uniform("matrix"), ground.uniform("matrix"));
    EXPECT_EQ(draws[1].uniform("fog_color"), fog);
    EXPECT_TRUE(draws[1].depthTest);

    // Beat 288 is even: the flash alone, opaque.
    EXPECT_NEAR(flashAlpha(f), 1.0, 1e-6);
    EXPECT_EQ(countPixelsFromTopLeft([](int r, int g, int b) {
                  return std::min({r, g, b}) < 254;
              }),
              0);
}

TEST_F(RocketsSceneTest, SlotsMoveOnWithEveryHalfBeat) {
    // h = 600: slots 0, 2, 3, 4 of every six filled, from "id" 6 down; half a beat on, h = 601, the
    // pattern has moved by one slot. Slots 0 and 1 hold no rocket.
    for (const long long h : {600, 601}) {
        const std::vector<Draw> rockets = rocketDraws(draw(clockAtBeats(h * 0.5 + 0.1)));
        ASSERT_GT(rockets.size(), 10u);
        double last = 4.0;
        for (const Draw& d : rockets) {
            EXPECT_EQ(d.uniform("beat"), std::vector<double>{double(h)});
            const double id = d.uniform("id")[0];
            const auto slot = static_cast<long long>(6.0 - id);
            EXPECT_GE(id, -43.0);
            EXPECT_TRUE((h + slot) % 2 == 0 || (h + slot) % 3 == 0) << h << " " << id;
            EXPECT_LE(id, last);
            last = id;
        }
    }
}

// A rocket piece is not drawn when the camera cannot see it: drawn on its own, no piece left out
// of a frame touches a pixel, over the two scenes' viewpoints and launch phases.
TEST_F(RocketsSceneTest, PiecesLeftOutWouldDrawNothing) {
    int leftOut = 0;
    for (double bars = 72.3; bars < 104.0; bars += 0.77) {
        const RecordedFrame f = draw(sceneClockAtBars(bars));
        std::vector<std::pair<double, double>> drawn;
        for (const Draw& d : rocketDraws(f))
            drawn.push_back({d.uniform("id")[0], d.uniform("piece")[0]});
        const auto h = static_cast<long long>(2.0 * f.clock.beats);
        gl.glDisable(GL_DEPTH_TEST);
        gl.glDisable(GL_BLEND);
        a.rocket1Shader->use();
        for (int slot = 2; slot < 50; ++slot) {
            if ((h + slot) % 2 != 0 && (h + slot) % 3 != 0) continue;
            for (int piece = 0; piece < 6; ++piece) {
                const std::pair<double, double> key{6.0 - slot, double(piece)};
                if (std::find(drawn.begin(), drawn.end(), key) != drawn.end()) continue;
                ++leftOut;
                gl.glClearColor(1.0f, 0.0f, 1.0f, 0.0f);
                gl.glClear(GL_COLOR_BUFFER_BIT);
                a.rocket1Shader->setFloat("id", float(key.first));
                a.rocket1Shader->setFloat("piece", float(piece));
                a.fieldMeshD.geometry->draw(a.fieldMeshD.indexCount);
                EXPECT_EQ(countPixelsFromTopLeft([](int r, int g, int b) {
                              return !(r == 255 && g == 0 && b == 255);
                          }),
                          0)
                    << "bar " << bars << " slot " << slot << " piece " << piece;
            }
        }
        gl.glEnable(GL_DEPTH_TEST);
    }
    EXPECT_GT(leftOut, 1000);  // the views leave out many
}

// A newcomer rises out of the sand, and the rocket that climbs from a pad is the one that stood on
// it: as a half beat begins, the bodies of the slots turning to phase 0 are all under the ground,
// and the body slot s draws just before a half beat ends is where slot s + 1 draws one just after.
TEST_F(RocketsSceneTest, RocketsRiseOutOfTheSandAndKeepTheirPads) {
    const auto body = [this](int slot) {
        gl.glClearColor(1.0f, 0.0f, 1.0f, 0.0f);
        gl.glClear(GL_COLOR_BUFFER_BIT);
        a.rocket1Shader->use();
        a.rocket1Shader->setFloat("id", float(6 - slot));
        a.rocket1Shader->setFloat("piece", 0.0f);
        a.fieldMeshD.geometry->draw(a.fieldMeshD.indexCount);
        std::vector<bool> covered;
        const std::vector<unsigned char> rgba = readFrame();
        for (size_t i = 0; i < rgba.size(); i += 4)
            covered.push_back(!(rgba[i] == 255 && rgba[i + 1] == 0 && rgba[i + 2] == 255));
        return covered;
    };
    const auto count = [](const std::vector<bool>& v) {
        return std::count(v.begin(), v.end(), true);
    };
    long long seen = 0;
    // Half beats off the beat: the lens breathes with the beat and jumps back on it.
    for (const double beats : {290.5, 321.5, 345.5, 377.5, 399.5}) {
        const auto h = static_cast<long long>(std::llround(2.0 * beats));
        // The ground alone in the depth buffer, from the frame's camera.
        draw(clockAtBeats(beats + 1e-3));
        gl.glClear(GL_DEPTH_BUFFER_BIT);
        gl.glDisable(GL_BLEND);
        a.kertsiGroundShader->use();
        a.fieldMeshC.geometry->draw(a.fieldMeshC.indexCount);
        for (int slot = 2; slot < 50; ++slot) {
            if ((h + slot) % 6 == 0) {
                EXPECT_EQ(count(body(slot)), 0) << beats << " slot " << slot;
            }
        }

        gl.glDisable(GL_DEPTH_TEST);
        for (int slot = 2; slot < 49; ++slot) {
            if ((h - 1 + slot) % 6 != 0) continue;
            draw(clockAtBeats(beats - 1e-3));
            const std::vector<bool> before = body(slot);
            draw(clockAtBeats(beats + 1e-3));
            const std::vector<bool> after = body(slot + 1);
            long long moved = 0;
            for (size_t i = 0; i < before.size(); ++i) moved += before[i] != after[i];
            EXPECT_LE(moved, count(before) / 5 + 4) << beats << " slot " << slot;
            seen += count(before);
        }
        gl.glEnable(GL_DEPTH_TEST);
    }
    EXPECT_GT(seen, 1000);
}

TEST_F(RocketsSceneTest, CameraCutsAroundTheTrackingShots) {
    const struct {
        SceneClock clock;
        const char* viewpoint;
    } cases[] = {
        {clockAtBeats(288.0), "view 0"},       // bar 72: 72 mod 3 = 0
        {clockAtBeats(292.0), "view 1"},       // bar 73
        {clockAtBeats(296.0), "view 2"},       // bar 74
        {clockAtBeats(352.0), "view 1"},       // bar 88 itself: 88 mod 3 = 1
        {sceneClockAtBars(88.01), "track 1"},  // just past it: the first track
        {clockAtBeats(368.0), "track 1"},      // bar 92 itself
        {sceneClockAtBars(92.01), "track 2"},  // just past it: the second
        {sceneClockAtBars(95.99), "track 2"},
        {clockAtBeats(384.0), "view 0"},       // bar 96: cutting again, 96 mod 3 = 0
        {sceneClockAtBars(103.99), "view 1"},  // the last bar, 103 mod 3 = 1
    };
    for (const auto& c : cases) {
        const RecordedFrame f = draw(c.clock);
        EXPECT_EQ(expectDrawnWithTheRocketsCamera(f), c.viewpoint) << f.clock.bars;
    }
}

// The field of view breathes once a beat, from 0.406 on the beat to 0.412 just before the next,
// and the camera never stands still between cuts (the bob, the tracks, the orbits).
TEST_F(RocketsSceneTest, LensBreathesWithTheBeatAndTheCameraKeepsMoving) {
    for (double beats = 288.0; beats < 416.0; beats += 1.0) {
        const float onBeat = rocketsCamera(clockAtBeats(beats)).halfWidth;
        const float late = rocketsCamera(clockAtBeats(beats + 0.99)).halfWidth;
        EXPECT_NEAR(onBeat, 0.406f, 1e-6f) << beats;
        EXPECT_NEAR(late, 0.412f, 1e-4f) << beats;
        EXPECT_LT(onBeat, late) << beats;

        const SceneClock now = clockAtBeats(beats + 0.25), next = clockAtBeats(beats + 0.3);
        const CameraShot a = rocketsCamera(now), b = rocketsCamera(next);
        ASSERT_STREQ(a.viewpoint, b.viewpoint) << beats;
        const DrawnCamera from = drawnCamera(shotMatrix(a, now));
        const DrawnCamera to = drawnCamera(shotMatrix(b, next));
        const double moved =
            std::hypot(to.eye[0] - from.eye[0], to.eye[1] - from.eye[1], to.eye[2] - from.eye[2]);
        EXPECT_GT(moved, 1e-3) << beats;
        EXPECT_LT(moved, 3.0) << beats;  // no cut inside a beat's quarter
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
        const bool quad = f.calls->draws().back().program == a.solidColorShader->program;
        // A quad that would change nothing is not drawn.
        EXPECT_EQ(quad, flash + c.pulse > 0.0) << c.beats;
        if (!quad) continue;
        EXPECT_NEAR(flashAlpha(f) - flash, c.pulse, 2e-5) << c.beats;
        EXPECT_TRUE(f.calls->draws().back().blend);
    }
}

TEST_F(RocketsSceneTest, SkyDimsToFourTenthsAfterThirtyThreeSeconds) {
    const double start = secondsOfBars(sceneNamed("rockets").startBar);
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
    // By day the sand and the sky are as bright as the bodies, so the frame's colours do not tell
    // them apart: the bodies the frame drew are drawn again on magenta over its depth, and what
    // of them shows in front of the ground is counted.
    for (const double bars : {74.5, 76.5, 78.2, 89.5, 93.5, 100.5}) {
        const RecordedFrame f = draw(sceneClockAtBars(bars));
        gl.glClearColor(1.0f, 0.0f, 1.0f, 0.0f);
        gl.glClear(GL_COLOR_BUFFER_BIT);
        gl.glDisable(GL_BLEND);
        a.rocket1Shader->use();
        for (const Draw& d : rocketDraws(f)) {
            if (d.uniform("piece")[0] != 0.0) continue;
            a.rocket1Shader->setFloat("id", float(d.uniform("id")[0]));
            a.rocket1Shader->setFloat("piece", 0.0f);
            a.roundRod.geometry->draw(a.roundRod.indexCount);
        }
        EXPECT_GT(countPixelsFromTopLeft(
                      [](int r, int g, int b) { return !(r == 255 && g == 0 && b == 255); }),
                  30)
            << "bar " << bars;
    }
}

// The sky program paints a sphere round the camera: a frame cleared to magenta keeps none of it,
// from every viewpoint, the camera under the rim included.
TEST_F(RocketsSceneTest, SkySphereCoversWhatTheGroundLeaves) {
    for (const double beats : {300.6, 321.0, 361.0, 380.0, 400.0, 414.0}) {
        gl.glClearColor(1.0f, 0.0f, 1.0f, 0.0f);
        draw(clockAtBeats(beats));
        EXPECT_EQ(
            countPixelsFromTopLeft([](int r, int g, int b) { return r > 250 && g < 5 && b > 250; }),
            0)
            << "beat " << beats;
    }
}

// The rockets leave out the sides of the rod turned away from the eye, so every triangle of it
// must face out: one wound the other way would be a hole in a body, a fin or a flame.
TEST_F(RocketsSceneTest, EveryTriangleOfTheRodFacesOut) {
    const GeometryBuffer& rod = *a.fieldMeshD.geometry;
    std::vector<GLuint> indices(static_cast<std::size_t>(a.fieldMeshD.indexCount));
    ASSERT_FALSE(indices.empty());
    gl.glBindVertexArray(rod.vertexArray);
    gl.glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, indices.size() * 4, indices.data());
    gl.glBindVertexArray(0);
    std::vector<float> p(4 * (*std::max_element(indices.begin(), indices.end()) + 1));
    gl.glBindBuffer(GL_ARRAY_BUFFER, rod.attributeBuffers[0]);
    gl.glGetBufferSubData(GL_ARRAY_BUFFER, 0, p.size() * 4, p.data());
    gl.glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (std::size_t t = 0; t < indices.size(); t += 3) {
        const float* u = &p[4 * indices[t]];
        const float* v = &p[4 * indices[t + 1]];
        const float* w = &p[4 * indices[t + 2]];
        const float e[3] = {v[0] - u[0], v[1] - u[1], v[2] - u[2]};
        const float f[3] = {w[0] - u[0], w[1] - u[1], w[2] - u[2]};
        // The normal's part along the centre's direction from the rod's axis.
        const float outX = e[1] * f[2] - e[2] * f[1], outZ = e[0] * f[1] - e[1] * f[0];
        EXPECT_GT(outX * (u[0] + v[0] + w[0]) + outZ * (u[2] + v[2] + w[2]), 0.0f) << t / 3;
    }
}

TEST_F(RocketsSceneTest, SceneEightLeavesTheStandingStateAndThreeUnits) {
    const RecordedFrame f = draw(sceneClockAtBars(100.0));
    EXPECT_STREQ(f.clock.sceneName(), "rockets 2");
    EXPECT_NEAR(sceneTime(f.clock), 37.752809f, 1e-4f);  // still counted from bar 72
    EXPECT_TRUE(f.depthTestAfter);
    EXPECT_FALSE(f.blendAfter);
    EXPECT_EQ(f.depthFunctionAfter, GLenum(GL_LEQUAL));
    EXPECT_EQ(f.stackDepthAfter, f.stackDepthBefore);
    GLint cull = 1, side = 0;
    gl.glGetIntegerv(GL_CULL_FACE, &cull);
    gl.glGetIntegerv(GL_CULL_FACE_MODE, &side);
    EXPECT_EQ(cull, 0);
    EXPECT_EQ(side, GLint(GL_BACK));
    const TextureUnits units = textureUnitsNow();
    EXPECT_EQ(units.active, 2);
    EXPECT_EQ(units.bound[0], a.cliffTexture->id);
    EXPECT_EQ(units.bound[1], a.mossTexture->id);
    EXPECT_EQ(units.bound[2], a.sandTexture->id);
}

}  // namespace

// The sky program, the rockets' haze and the ground's fog each carry the sky's gradient (a shader
// file cannot include another): a copy out of step fades the far dunes or rockets into a colour
// the sky does not show behind them.
TEST(RocketsSkyCopies, TheThreeProgramsShareOneSkyGradient) {
    const auto gradient = [](const std::string& file) {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        const std::string s = text.str();
        std::string out;
        for (const char* name : {"kDayHorizon", "kDayOverhead", "kDayGlow", "kDuskHorizon",
                                 "kDuskOverhead", "kLateHorizon", "kLateOverhead", "kDuskGlow"}) {
            const size_t at = s.find(std::string("const vec3 ") + name + " =");
            out += at == std::string::npos ? "" : s.substr(at, s.find('\n', at) - at);
        }
        const size_t from = s.find("vec3 skyGradient(vec3 d, float late)");
        return from == std::string::npos ? out : out + s.substr(from, s.find("\n}\n", from) - from);
    };
    const std::string sky = gradient("assets/rockets_sky.shader");
    EXPECT_NE(sky.find("kLateOverhead"), std::string::npos);
    EXPECT_NE(sky.find("return c;"), std::string::npos);
    EXPECT_EQ(gradient("assets/rocket1.shader"), sky);
    EXPECT_EQ(gradient("assets/kertsiground.shader"), sky);
}
