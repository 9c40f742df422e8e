// Scenes 9 and 10, bars 104 to 136: the temple in deep blue darkness under a light that sinks
// through it. Scene 9 circles it, steps back to a swaying distant view and then looks down on it;
// scene 10 turns the stone's finale switch ("syncdistort": glowing joints and a dawn that
// builds) on, shakes the roll on every beat and cuts every second, until the last three seconds
// rise along the axis through the floor and out of the dome.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "demo/BeatUniforms.h"
#include "demo/DemoAssets.h"
#include "demo/SceneCameras.h"
#include "demo/Scenes.h"
#include "demo/Timeline.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "math/Float3.h"
#include "math/Scalar.h"

namespace {

// (0, 1, 10) / 255: the night the temple stands in, clear colour and fog alike.
constexpr float kTemple[3] = {0.0f, 0.0039215689f, 0.039215688f};
// The light sinks 8.5 units a second from 70 and rests at -28, in the crypt (at t = 11.53).
constexpr float kLightStartY = 70.0f;
constexpr float kLightSinkRate = 8.5f;
constexpr float kLightRestY = -28.0f;
constexpr float kLightRadius = 40.0f;  // how far its glow reaches in the air
// The mesh ends with the sphere of sky round the temple: 24 rows of 48 quads.
constexpr int kSkyIndexCount = 24 * 48 * 6;
// The stone before it, part by part as the mesh generator lays it down (in indices): the rock,
// the platform, the sixteen columns, the entablature and dome, the braziers.
struct MeshPart {
    int first;
    int count;
};
constexpr MeshPart kRock = {0, 12470 * 3};
constexpr MeshPart kPlatform = {kRock.first + kRock.count, 4032 * 3};
constexpr MeshPart kColumns = {kPlatform.first + kPlatform.count, 18944 * 3};
constexpr MeshPart kRoof = {kColumns.first + kColumns.count, 32480 * 3};
constexpr MeshPart kBraziers = {kRoof.first + kRoof.count, 2880 * 3};
// Seen from below the parts stand the other way round: roof first, rock last, so the depth test
// turns away what lies behind before it is shaded.
constexpr MeshPart kFromBelow[] = {kRoof, kColumns, kBraziers, kPlatform, kRock};
constexpr float kSceneNineBelowAfter = 18.0f;
constexpr float kSideViewAfter = 30.2f;    // scene 10's orbit slots become the side view
constexpr float kRisingViewAfter = 40.2f;  // bar 133.8: the rise along the axis
constexpr float kParticlePointSize = 32.0f;

// The float constants widened where the camera values mix them into double sums.
constexpr double kTwoTenths = static_cast<double>(0.2f);
constexpr double kEighteenHundredths = static_cast<double>(0.18f);
constexpr double kRiseStart = static_cast<double>(kRisingViewAfter);

void drawTemple(DemoAssets& a, const SceneClock& clock, const Matrix4& m, float t, float gate,
                bool fromBelow) {
    const ShaderProgram& temple = *a.geometryDistortShader;
    temple.use();
    bindToUnit(0, *a.brickTexture);
    bindToUnit(1, *a.sandTexture);
    gl.glClearColor(kTemple[0], kTemple[1], kTemple[2], 0.0f);  // clears the next frame

    Float3 light;
    light.set(0.0f, std::max(kLightStartY - kLightSinkRate * t, kLightRestY), 0.0f);
    temple.setFloat3("lightpos", light.x, light.y, light.z);
    temple.setFloat("lightradius", kLightRadius);
    temple.setFloat("falloff", 0.8f);
    temple.setFloat3("fog_color", kTemple[0], kTemple[1], kTemple[2]);
    temple.setMatrix("matrix", m);
    setBeatUniforms(temple, clock, t);
    temple.setFloat("syncdistort", gate);
    // Every surface of the mesh is closed and wound to face out (the sky's inwards), so the faces
    // turned away need no shading at all. The view matrices turn the handedness over: a face
    // turned to the camera arrives clockwise, and the counter-clockwise ones are dropped.
    gl.glEnable(GL_CULL_FACE);
    gl.glCullFace(GL_FRONT);
    const int stoneCount = std::max(a.pantheonMesh.indexCount - kSkyIndexCount, 0);
    // The mesh's own order is front to back from the side; from below, where the stone overlaps
    // itself several deep, the parts are drawn in the reverse order (a mesh other than the one
    // these parts describe is drawn whole).
    if (fromBelow && stoneCount == kBraziers.first + kBraziers.count) {
        for (const MeshPart& part : kFromBelow)
            a.pantheonMesh.geometry->draw(part.count, part.first);
    } else {
        a.pantheonMesh.geometry->draw(stoneCount);
    }

    // The sky behind, with a program of its own: under the stone's, its pixels would pay for
    // the stone's shading too (the branches of a fragment shader run masked on a weak GPU).
    const ShaderProgram& sky = *a.templeSkyShader;
    sky.use();
    sky.setMatrix("matrix", m);
    sky.setFloat3("fog_color", kTemple[0], kTemple[1], kTemple[2]);
    sky.setFloat3("lightpos", light.x, light.y, light.z);
    sky.setFloat("lightradius", kLightRadius);
    setBeatUniforms(sky, clock, t);
    a.pantheonMesh.geometry->draw(a.pantheonMesh.indexCount - stoneCount, stoneCount);
    gl.glCullFace(GL_BACK);
    gl.glDisable(GL_CULL_FACE);
}

// The debris program is made ready for the frame; nothing is drawn with it.
void prepareDebris(DemoAssets& a, const SceneClock& clock, const Matrix4& m, double t) {
    gl.glDisable(GL_DEPTH_TEST);
    gl.glEnable(GL_BLEND);
    const ShaderProgram& debris = *a.debrisParticlesShader;
    debris.use();
    bindToUnit(4, *a.introParticleTexture);
    debris.setInt("texture", 4);
    debris.setFloat("t", 3.3f * clock.seconds);
    debris.setMatrix("matrix", m);
    debris.setFloat("fade", static_cast<float>(-t <= 0.0 ? -t : 0.0));
    gl.glPointSize(kParticlePointSize);
    gl.glEnable(GL_DEPTH_TEST);
    gl.glDisable(GL_BLEND);
}

// Scene 10 is the second of the pair; time counts from the first one's start, also in scene 10.
bool isSceneTen(const SceneClock& clock) {
    return isSecondOfPair(*clock.scene);
}

double exactSceneTime(const SceneClock& clock) {
    return static_cast<double>(clock.seconds) - secondsOfBars(routineStartBar(*clock.scene));
}

float sceneTime(const SceneClock& clock) {
    return static_cast<float>(exactSceneTime(clock));
}

CameraShot look(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ,
                float upX, float upY, float upZ, const char* viewpoint) {
    CameraShot shot;
    lookAt(shot.view, eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
    shot.viewpoint = viewpoint;
    return shot;
}

// Scene 9: the swing, the distant view for 8 <= t < 16, the view from below after 18 s.
CameraShot sceneNineCamera(const TempleViews& v, float t) {
    // Eight-second phrases; the second one (8 <= t < 16) is the distant view.
    if (t > kSceneNineBelowAfter) return v.below;
    if (std::isfinite(t) && static_cast<int>(0.125f * t) % 4 == 1) return v.ring;
    return v.swing;
}

// Scene 10 cuts every second: two seconds of swing, one of the fast orbit (the side view with a
// beat-pulsed lens after 30.2 s); after 40.2 s the rise, through the lens then in force.
CameraShot sceneTenCamera(const TempleViews& v, const SceneClock& clock, float t) {
    CameraShot shot = v.swing;
    float halfWidth = kLensHalfWidth;
    const int slot = std::isfinite(t) ? static_cast<int>(t + 1.5f) % 3 : 0;
    if (slot == 1) {
        shot = v.ring;
        if (t > kSideViewAfter) {
            halfWidth = static_cast<float>(0.4 + 0.01 * clock.beatFraction);
            shot = v.side;
        }
    }
    if (t > kRisingViewAfter) shot = v.below;
    shot.halfWidth = halfWidth;
    return shot;
}

}  // namespace

// The four viewpoints of the frame; scene 10 (`gate` 1) speeds them up and adds the roll shake.
TempleViews templeViews(const SceneClock& clock) {
    const float t = sceneTime(clock);
    const bool sceneTen = isSceneTen(clock);
    const float gate = sceneTen ? 1.0f : 0.0f;
    const float e = sceneTen ? 0.1f : 0.0f;
    const double q = e + kTwoTenths;

    const float ringDistance = 2.0f * sinSingle(0.15f * t) - 83.0f;
    const float a = sceneTen ? 0.65f * ringDistance : ringDistance;
    const float b = 2.0f * sinSingle(0.2f * t) + 7.0f;
    const float d = sceneTen ? static_cast<float>(2.4f * t * q)
                             : static_cast<float>(q * sinSingle(0.4f * t) + kTwoTenths);
    const float tilt = static_cast<float>(0.1 * sinSingle(0.11f * t));  // E
    const float f = 4.0f * sinSingle(t) - 20.0f;
    const float g = static_cast<float>((e + kEighteenHundredths) * t);
    const float h = sceneTen ? static_cast<float>(2.0f * sinSingle(t + 1.5f * clock.beatFraction) -
                                                  25.0f + 25.0 * (t - kRiseStart))
                             : -80.0f;
    const float i = sceneTen ? 1.5707964f : static_cast<float>(q * t + 0.4f);
    const float j = sceneTen ? 100.0f : 0.1f;
    const float k = 0.05f * sinSingle(16.0f * t) * gate * clock.beatFraction;  // roll shake

    TempleViews v;
    v.ring = look(a * cosSingle(d), b, a * sinSingle(d), 0.0f, b, 0.0f, tilt, 1.0f, k, "ring");
    v.swing = look(-40.0f * cosSingle(g), f, -40.0f * sinSingle(g), 0.0f, 0.0f, 40.0f, 0.0f, 1.0f,
                   k, "swing");
    v.below = look(-2.0f * cosSingle(i), h, -2.0f * sinSingle(i), 0.0f, j, -0.1f, 0.0f, 1.0f, 0.0f,
                   "below");
    const float sideZ = static_cast<float>(std::sin(static_cast<long double>(0.8 * g)));
    v.side = look(-40.0f * cosSingle(-g), f - 5.0f, -40.0f * sideZ, 30.0f, 20.0f, 40.0f, 0.0f, 1.0f,
                  k, "side");
    return v;
}

CameraShot templeCamera(const SceneClock& clock) {
    const TempleViews views = templeViews(clock);
    const float t = sceneTime(clock);
    return isSceneTen(clock) ? sceneTenCamera(views, clock, t) : sceneNineCamera(views, t);
}

void drawTempleScene(DemoAssets& assets, SceneClock& clock) {
    const double exactTime = exactSceneTime(clock);
    const float t = static_cast<float>(exactTime);
    const bool sceneTen = isSceneTen(clock);

    const CameraShot shot = templeCamera(clock);
    clock.projection = lensOf(shot, clock);  // the lens for the rest of the frame
    Matrix4 m;
    multiply(m, shot.view, clock.projection);

    drawTemple(assets, clock, m, t, sceneTen ? 1.0f : 0.0f,
               std::strcmp(shot.viewpoint, "below") == 0);
    prepareDebris(assets, clock, m, exactTime);
}
