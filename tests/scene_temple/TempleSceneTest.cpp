// Scenes 9 and 10 at the edges of their schedules: which camera each frame uses, where that camera
// really is, the sinking light, the particle program made ready without a draw, and the frames
// after bar 136, recorded on a real context with the real assets.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/MusicPosition.h"
#include "demo/FrameHead.h"
#include "demo/SceneCameras.h"
#include "demo/Scenes.h"
#include "demo/Tempo.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "support/DrawnCamera.h"
#include "support/SceneTestAssets.h"

namespace {

using Draw = GlCallRecorder::Draw;

constexpr double kStart = secondsOfBars(sceneNamed("temple").startBar);
const std::vector<double> kTemple = {0.0, 0.0039215689f, 0.039215688f};

float sceneTime(float seconds) {
    return static_cast<float>(static_cast<double>(seconds) - kStart);
}

// The frame whose scene time is the first float at or past `t` (strictly past with `after`):
// music positions are whole 100 ns steps and the clock keeps seconds as a float.
SceneClock clockAt(float t, bool after = false) {
    auto reached = [&](float s) { return after ? sceneTime(s) > t : sceneTime(s) >= t; };
    float s = static_cast<float>(kStart + t);
    while (reached(s)) s = std::nextafter(s, 0.0f);
    while (!reached(s)) s = std::nextafter(s, 1000.0f);
    return sceneClockAtSeconds(s);
}
// The last frame whose scene time is not past `t`.
SceneClock clockAtOrBefore(float t) {
    float s = static_cast<float>(kStart + t);
    while (sceneTime(s) > t) s = std::nextafter(s, 0.0f);
    while (sceneTime(std::nextafter(s, 1000.0f)) <= t) s = std::nextafter(s, 1000.0f);
    return sceneClockAtSeconds(s);
}

// The demo's four temple viewpoints of a frame, each multiplied into `projection`.
struct Views {
    Matrix4 ring, swing, below, side;
};
Views viewsAt(const SceneClock& c, const Matrix4& projection) {
    const TempleViews shots = templeViews(c);
    Views v;
    multiply(v.ring, shots.ring.view, projection);
    multiply(v.swing, shots.swing.view, projection);
    multiply(v.below, shots.below.view, projection);
    multiply(v.side, shots.side.view, projection);
    return v;
}

// The lens the temple camera asks for at a frame.
Matrix4 templeLens(const SceneClock& c) {
    return lensOf(templeCamera(c), c);
}

// Under the leak checker: Mesa unloads its driver when the test context's display goes, and what
// the driver still holds then shows as lost memory with no module name to suppress it by. Keeping
// the driver mapped until the process ends leaves it attributable (and reachable).
void keepGlDriverLoaded() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            const size_t n = std::strlen(info->dlpi_name);
            if (n > 7 && std::strcmp(info->dlpi_name + n - 7, "_dri.so") == 0)
                dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

class TempleSceneTest : public ::testing::Test {
protected:
    DemoAssets& a = SceneTestAssets::get();

    static void SetUpTestSuite() {
        SceneTestAssets::get();
        keepGlDriverLoaded();
    }

    RecordedFrame draw(const SceneClock& clock) {
        EXPECT_TRUE(clock.scene == &sceneNamed("temple") || clock.scene == &sceneNamed("finale"))
            << clock.bars;
        return drawRecorded(drawTempleScene, clock);
    }
    // The first of a frame's draws: the temple's stone (last, the sky round it; from below the
    // stone is drawn in five parts, which together hold every index before the sky's, once).
    const Draw& temple(const RecordedFrame& f) {
        const std::vector<Draw>& draws = f.calls->draws();
        const bool below = std::strcmp(templeCamera(f.clock).viewpoint, "below") == 0;
        EXPECT_EQ(draws.size(), below ? 6u : 2u);
        int indices = 0;
        for (const Draw& d : draws) {
            EXPECT_EQ(d.vertexArray, a.pantheonMesh.geometry->vertexArray);
            EXPECT_EQ(d.program == a.templeSkyShader->program, &d == &draws.back());
            indices += d.count;
        }
        EXPECT_EQ(indices, a.pantheonMesh.indexCount);
        return draws.front();
    }
    // Which viewpoint the temple was drawn from, or "" when none matches exactly.
    std::string viewOf(const RecordedFrame& f, const Matrix4& projection) {
        const Views v = viewsAt(f.clock, projection);
        const std::vector<double> m = temple(f).uniform("matrix");
        if (m == uploaded(v.swing)) return "swing";
        if (m == uploaded(v.ring)) return "ring";
        if (m == uploaded(v.below)) return "below";
        if (m == uploaded(v.side)) return "side";
        return "";
    }
    std::string viewOf(const RecordedFrame& f) { return viewOf(f, f.clock.projection); }
};

TEST_F(TempleSceneTest, FirstFrameDrawsTheTempleAndPreparesTheDebris) {
    const RecordedFrame f = draw(sceneClockAtBars(sceneNamed("temple").startBar));
    ASSERT_STREQ(f.clock.sceneName(), "temple");
    const float t = sceneTime(f.clock.seconds);
    EXPECT_NEAR(t, 0.0f, 2e-5f);

    const Draw& d = temple(f);
    EXPECT_EQ(d.program, a.geometryDistortShader->program);
    EXPECT_EQ(d.vertexArray, a.pantheonMesh.geometry->vertexArray);
    EXPECT_TRUE(d.indexed);
    // The stone, then the sky with its own program and the same camera: the whole mesh between
    // them.
    const Draw& sky = f.calls->draws().back();
    EXPECT_EQ(sky.program, a.templeSkyShader->program);
    EXPECT_EQ(sky.vertexArray, d.vertexArray);
    EXPECT_EQ(d.count + sky.count, a.pantheonMesh.indexCount);
    EXPECT_EQ(sky.uniform("matrix"), d.uniform("matrix"));
    EXPECT_EQ(sky.uniform("lightpos"), d.uniform("lightpos"));
    EXPECT_TRUE(d.depthTest);
    EXPECT_FALSE(d.blend);
    EXPECT_EQ(d.textures[0], a.brickTexture->id);
    EXPECT_EQ(d.textures[1], a.sandTexture->id);
    EXPECT_EQ(d.uniform("lightpos"), (std::vector<double>{0.0, 70.0f - 8.5f * t, 0.0}));
    EXPECT_EQ(d.uniform("lightradius"), std::vector<double>{40.0});
    EXPECT_EQ(d.uniform("falloff"), std::vector<double>{0.8f});
    EXPECT_EQ(d.uniform("fog_color"), kTemple);
    EXPECT_EQ(d.uniform("t"), std::vector<double>{f.clock.seconds});
    EXPECT_EQ(d.uniform("beats"), std::vector<double>{f.clock.beats});
    EXPECT_EQ(d.uniform("kick"), std::vector<double>{f.clock.beatInBar});
    EXPECT_EQ(d.uniform("bounce"), std::vector<double>{f.clock.beatSine});
    EXPECT_EQ(d.uniform("saw"), std::vector<double>{f.clock.beatFraction});
    EXPECT_EQ(d.uniform("t_scene"), std::vector<double>{t});
    EXPECT_EQ(d.uniform("syncdistort"), std::vector<double>{0.0});
    EXPECT_EQ(viewOf(f), "swing");

    const GlCallRecorder::Call* clear = nullptr;
    for (const auto& call : f.calls->calls())
        if (call.function == "glClearColor") clear = &call;
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(clear->args, (std::vector<double>{kTemple[0], kTemple[1], kTemple[2], 0.0}));

    // The particle program gets its uniforms and the point size, and draws nothing.
    EXPECT_EQ(f.calls->uniformSettings("texture"), std::vector<std::vector<double>>{{4}});
    // At bar 104 itself the float clock lies a hair before the start: "fade" is -t or 0.
    const double exact = double(f.clock.seconds) - kStart;
    EXPECT_EQ(f.calls->uniformSettings("fade"),
              std::vector<std::vector<double>>{{float(std::min(-exact, 0.0))}});
    const std::vector<std::vector<double>> matrices = f.calls->uniformSettings("matrix");
    ASSERT_EQ(matrices.size(), 3u);  // stone, sky, debris
    EXPECT_EQ(matrices[2], matrices[0]);
    // The last steps: the fade, the point size, the standing state back.
    std::vector<std::string> tail;
    for (const std::string& line : f.calls->lines()) tail.push_back(line.substr(0, 16));
    tail.erase(tail.begin(), tail.end() - 4);
    EXPECT_EQ(tail, (std::vector<std::string>{"glUniform1f fade", "glPointSize 32", "glEnable 2929",
                                              "glDisable 3042"}));

    GLint program = 0, unit = 0;
    gl.glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    gl.glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    EXPECT_EQ(GLuint(program), a.debrisParticlesShader->program);
    EXPECT_EQ(unit, GL_TEXTURE4);
    GLint bound = 0;
    gl.glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), a.introParticleTexture->id);
    float pointSize = 0.0f;
    gl.glGetFloatv(GL_POINT_SIZE, &pointSize);
    EXPECT_EQ(pointSize, 32.0f);
    EXPECT_TRUE(f.depthTestAfter);
    EXPECT_FALSE(f.blendAfter);
    EXPECT_EQ(f.depthFunctionAfter, GLenum(GL_LEQUAL));
}

TEST_F(TempleSceneTest, SceneNineCirclesStepsBackThenLooksDown) {
    const struct {
        SceneClock clock;
        const char* view;
    } cases[] = {
        {clockAt(7.999f), "swing"},        {clockAt(8.0f), "ring"},
        {clockAt(15.999f), "ring"},        {clockAt(16.0f), "swing"},
        {clockAtOrBefore(18.0f), "swing"}, {clockAt(18.0f, true), "below"},
        {clockAt(21.57f), "below"},
    };
    for (const auto& c : cases) {
        const RecordedFrame f = draw(c.clock);
        const float t = sceneTime(f.clock.seconds);
        ASSERT_STREQ(f.clock.sceneName(), "temple") << t;
        EXPECT_EQ(viewOf(f), c.view) << t;
        EXPECT_EQ(temple(f).uniform("syncdistort"), std::vector<double>{0.0}) << t;
        // Where the cameras really stand: circling about 44 units from the temple's axis, 80
        // out for the distant view, high above it looking down after 18 s.
        const DrawnCamera eye = drawnCamera(temple(f).uniform("matrix"));
        const std::string view = c.view;
        if (view == "swing") {
            EXPECT_GT(eye.fromYAxis(), 40.0) << t;
            EXPECT_LT(eye.fromYAxis(), 48.0) << t;
        } else if (view == "ring") {
            EXPECT_GT(eye.fromYAxis(), 78.0) << t;
            EXPECT_LT(eye.fromYAxis(), 83.0) << t;
        } else {
            EXPECT_GT(eye.eye[1], 60.0) << t;
            EXPECT_LT(eye.forward[1], -0.75) << t;
        }
    }
}

TEST_F(TempleSceneTest, LightSinksFromSeventyAndRestsAtMinus28) {
    const struct {
        SceneClock clock;
        double height;
    } cases[] = {
        {sceneClockAtBars(sceneNamed("temple").startBar),
         70.0f - 8.5f * sceneTime(sceneClockAtBars(sceneNamed("temple").startBar).seconds)},
        {clockAt(5.0f), 70.0f - 8.5f * sceneTime(clockAt(5.0f).seconds)},
        {clockAt(11.5293f), 70.0f - 8.5f * sceneTime(clockAt(11.5293f).seconds)},
        {clockAt(11.529412f), -28.0},
        {clockAt(16.0f), -28.0},
        {clockAt(35.0f), -28.0},
    };
    for (const auto& c : cases) {
        const RecordedFrame f = draw(c.clock);
        EXPECT_EQ(temple(f).uniform("lightpos"), (std::vector<double>{0.0, c.height, 0.0}))
            << sceneTime(c.clock.seconds);
    }
    // Just before it comes to rest the light is still above -28.
    EXPECT_GT(70.0f - 8.5f * sceneTime(clockAt(11.5293f).seconds), -28.0f);
}

TEST_F(TempleSceneTest, SceneTenCutsEverySecondAndShakesOnTheBeat) {
    const struct {
        SceneClock clock;
        const char* view;
        bool pulsedLens;
    } cases[] = {
        {clockAt(22.0f), "swing", false},         // slot 23 % 3 = 2
        {clockAt(22.5f), "swing", false},         // slot 24 % 3 = 0
        {clockAt(23.5f), "ring", false},          // slot 25 % 3 = 1
        {clockAt(29.6f), "ring", false},          // slot 31, not yet past 30.2 s
        {clockAtOrBefore(30.2f), "ring", false},  // 30.2 itself is not past it
        {clockAt(30.2f, true), "side", true},     // the lens pulses with the beat
        {clockAt(31.0f), "swing", false},         // slot 32 % 3 = 2
        {clockAt(39.0f), "side", true},           // slot 40 % 3 = 1
    };
    for (const auto& c : cases) {
        const RecordedFrame f = draw(c.clock);
        const float t = sceneTime(f.clock.seconds);
        ASSERT_STREQ(f.clock.sceneName(), "finale") << t;
        const Matrix4 lens = c.pulsedLens ? templeLens(f.clock) : c.clock.projection;
        EXPECT_EQ(viewOf(f, lens), c.view) << t;
        // The pulsed lens widens through the beat from the standing 0.4 to 0.41.
        const float halfWidth = templeCamera(f.clock).halfWidth;
        if (c.pulsedLens) {
            EXPECT_GE(halfWidth, kLensHalfWidth) << t;
            EXPECT_LT(halfWidth, 0.41f) << t;
            EXPECT_EQ(halfWidth > kLensHalfWidth, f.clock.beatFraction > 0.0f) << t;
        } else {
            EXPECT_EQ(halfWidth, kLensHalfWidth) << t;
        }
        // The routine leaves the lens it drew with as the frame's projection.
        EXPECT_EQ(uploaded(f.clock.projection), uploaded(lens)) << t;
        EXPECT_EQ(temple(f).uniform("syncdistort"), std::vector<double>{1.0}) << t;
        EXPECT_EQ(temple(f).uniform("t_scene"), std::vector<double>{t});
        const double exact = double(f.clock.seconds) - kStart;
        EXPECT_EQ(f.calls->uniformSettings("fade"),
                  std::vector<std::vector<double>>{{float(-exact)}});
        if (std::string(c.view) == "ring") {
            const DrawnCamera eye = drawnCamera(temple(f).uniform("matrix"));
            EXPECT_GT(eye.fromYAxis(), 52.0) << t;
            EXPECT_LT(eye.fromYAxis(), 57.0) << t;
        }
    }
}

TEST_F(TempleSceneTest, LastSecondsRiseAlongTheAxisLookingStraightUp) {
    EXPECT_EQ(viewOf(draw(clockAtOrBefore(40.2f))), "swing");

    const RecordedFrame first = draw(clockAt(40.2f, true));
    ASSERT_EQ(viewOf(first), "below");
    const DrawnCamera start = drawnCamera(temple(first).uniform("matrix"));
    EXPECT_LT(start.fromYAxis(), 2.1);
    EXPECT_GT(start.forward[1], 0.999);
    EXPECT_LT(start.eye[1], -18.0);  // under the floor, in the crypt
    EXPECT_GT(start.eye[1], -28.0);

    // In a slot that pulses the lens the rise is seen through it.
    const RecordedFrame pulsed = draw(clockAt(41.6f));
    EXPECT_EQ(viewOf(pulsed, templeLens(pulsed.clock)), "below");

    // The last frame of scene 10: out through the oculus (radius 8.2), about 49 units up.
    const SceneClock last = sceneClockAtSeconds(
        std::nextafter(static_cast<float>(secondsOfBars(kLastSceneEndBar)), 0.0f));
    ASSERT_STREQ(last.sceneName(), "finale");
    const RecordedFrame end = draw(last);
    EXPECT_EQ(viewOf(end, last.projection), "below");
    const DrawnCamera top = drawnCamera(temple(end).uniform("matrix"));
    EXPECT_LT(top.fromYAxis(), 8.2);
    EXPECT_GT(top.forward[1], 0.999);
    EXPECT_GT(top.eye[1], 40.0);
    EXPECT_LT(top.eye[1], 54.0);
}

TEST_F(TempleSceneTest, TempleIsLitWarmAgainstTheBlueNight) {
    for (float t : {12.0f, 25.0f}) {
        draw(clockAt(t));
        const std::vector<unsigned char> pixels = readFrame();
        size_t seen = 0, warm = 0, cold = 0;
        for (size_t i = 0; i < pixels.size(); i += 4) {
            const int r = pixels[i], g = pixels[i + 1], b = pixels[i + 2];
            if (std::max({r, g, b}) > 30) ++seen;
            if (r > b + 25 && r > 50) ++warm;
            if (b > r + 10 && b > 30) ++cold;
        }
        const size_t count = pixels.size() / 4;
        EXPECT_GT(seen, count / 10) << t;
        EXPECT_GT(warm, count / 100) << t;
        EXPECT_GT(cold, count / 100) << t;
    }
}

// The beat sparks in the joints, along the silhouettes and in the stars: a local flash that some
// pixels feel strongly, not a swell of the light over the whole temple, which reads as flicker.
// Bars 112 and 128: a downbeat in each scene, compared with the frame just before it.
TEST_F(TempleSceneTest, TheBeatSparksLocallyWithoutPumpingTheFrame) {
    for (double bars : {8.0, 24.0}) {
        const float onBeat = static_cast<float>(bars * kBeatsPerBar * 60.0 / kBeatsPerMinute);
        draw(clockAt(onBeat - 0.02f));
        const std::vector<unsigned char> before = readFrame();
        draw(clockAt(onBeat));
        const std::vector<unsigned char> on = readFrame();
        long long change = 0;
        size_t flashed = 0;
        for (size_t i = 0; i < on.size(); i += 4) {
            const int delta =
                (on[i] + on[i + 1] + on[i + 2]) - (before[i] + before[i + 1] + before[i + 2]);
            change += delta;
            if (delta > 90) ++flashed;
        }
        const double pixels = static_cast<double>(on.size() / 4);
        EXPECT_LT(change / pixels / 3.0, 8.0) << bars;  // grey levels; a swell of the light gave 15
        EXPECT_GT(flashed / pixels, 0.002) << bars;
    }
}

// Bar 112's downbeat sends a ring of light up the columns: what it lights three twentieths of a
// beat on lies higher in the picture than what it lit a twelfth of a beat on.
TEST_F(TempleSceneTest, TheDownbeatsRingClimbsTheColumns) {
    const double beat = 60.0 / kBeatsPerMinute;
    const float onBeat = static_cast<float>(8.0 * kBeatsPerBar * beat);
    draw(clockAt(onBeat - 0.02f));
    const std::vector<unsigned char> before = readFrame();
    auto litRow = [&](double beats) {  // the mean row, from the bottom, of the pixels lit
        draw(clockAt(onBeat + static_cast<float>(beats * beat)));
        const std::vector<unsigned char> lit = readFrame();
        double rows = 0.0;
        size_t count = 0;
        for (size_t i = 0; i < lit.size(); i += 4)
            if ((lit[i] + lit[i + 1] + lit[i + 2]) - (before[i] + before[i + 1] + before[i + 2]) >
                60) {
                rows += static_cast<double>(i / 4 / SceneTestAssets::kWidth);
                ++count;
            }
        EXPECT_GT(count, lit.size() / 4 / 200) << beats;
        return rows / static_cast<double>(std::max<size_t>(count, 1));
    };
    const double low = litRow(1.0 / 12.0), high = litRow(0.15);
    EXPECT_GT(high, low + 10.0);
}

// The finale builds to a peak: its last frames look up through the oculus into the striped sun,
// bright and warm over much of the picture, where its first are mostly night and stone. The sun
// is whole there: neither the top nor the bottom row of the picture is sunlit.
TEST_F(TempleSceneTest, FinaleEndsInTheSunItBuildsTo) {
    auto sunlit = [](const std::vector<unsigned char>& pixels, size_t from, size_t to) {
        size_t count = 0;
        for (size_t i = from; i < to; i += 4)
            if (pixels[i] > 200 && pixels[i] > pixels[i + 2] + 100) ++count;
        return count;
    };
    draw(clockAt(22.0f));
    const std::vector<unsigned char> opening = readFrame();
    draw(clockAt(43.0f));
    const std::vector<unsigned char> end = readFrame();
    const double pixels = static_cast<double>(end.size() / 4);
    const double first = sunlit(opening, 0, opening.size()) / pixels;
    const double last = sunlit(end, 0, end.size()) / pixels;
    EXPECT_GT(last, 0.25);
    EXPECT_GT(last, 4.0 * first);
    const size_t row = 4 * SceneTestAssets::kWidth;
    EXPECT_EQ(sunlit(end, 0, row), 0u);
    EXPECT_EQ(sunlit(end, end.size() - row, end.size()), 0u);
}

// The night round the temple is painted by the temple's own draw (a sky sphere in the mesh), so
// no view, not even the distant or sideways ones that used to be half empty, shows the bare clear
// colour: a frame cleared to magenta first keeps none of it.
TEST_F(TempleSceneTest, NightSkyCoversEveryViewBehindTheTemple) {
    for (float t : {4.0f, 12.0f, 20.0f, 25.0f, 31.5f, 33.0f, 41.0f}) {
        gl.glClearColor(1.0f, 0.0f, 1.0f, 0.0f);
        draw(clockAt(t));
        const std::vector<unsigned char> pixels = readFrame();
        size_t magenta = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            if (pixels[i] > 250 && pixels[i + 1] < 5 && pixels[i + 2] > 250) ++magenta;
        EXPECT_EQ(magenta, 0u) << t;
    }
}

TEST_F(TempleSceneTest, FirstFrameAfterBar136DrawsNothingOnTheTempleColour) {
    draw(clockAtOrBefore(43.14f));  // the last scene frame sets the clear colour
    const std::int64_t end = positionOfSeconds(secondsOfBars(kLastSceneEndBar));
    for (std::int64_t position : {end, end + 333333}) {
        SceneClock clock = frameHead(position, SceneTestAssets::kWidth, SceneTestAssets::kHeight);
        ASSERT_EQ(clock.scene, nullptr);
        GlCallRecorder calls;
        drawScene(a, clock);
        calls.stop();
        EXPECT_TRUE(calls.calls().empty());
        const std::vector<unsigned char> pixels = readFrame();
        size_t other = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            if (pixels[i] != 0 || pixels[i + 1] != 1 || pixels[i + 2] != 10) ++other;
        EXPECT_EQ(other, 0u) << position;
    }
}

}  // namespace
