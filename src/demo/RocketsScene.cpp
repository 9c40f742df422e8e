// Scenes 7 and 8, bars 72 to 104: a field of rockets on a canyon floor under a sky that reddens as
// the scenes go on and darkens at the end. The camera cuts every bar between three viewpoints and,
// in bars 88 to 96, rides two tracking shots instead. The field's pattern moves every half beat;
// a white flash opens the scene and every odd beat adds a faint pulse. Scene 8 is the same shot
// continued.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "demo/BeatUniforms.h"
#include "demo/DemoAssets.h"
#include "demo/SceneCameras.h"
#include "demo/Scenes.h"
#include "demo/Timeline.h"
#include "geometry/SurfaceFields.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "math/Scalar.h"

namespace {

constexpr float kTrackStartBar = 88.0f;
constexpr float kSecondTrackBar = 92.0f;
constexpr float kSteadyBar = 96.0f;  // no more roll shake from here
constexpr double kDimStart = 30.0;   // seconds into the scene: the sky starts to darken
constexpr int kRocketSlots = 50;
constexpr int kFirstRocketId = 6;
constexpr int kRocketPieces = 6;  // the rocket program bends the rod into six pieces per slot

// The plain sines of the viewpoints: the library sine of the double argument in extended
// precision.
float sinOf(double x) {
    return static_cast<float>(std::sin(static_cast<long double>(x)));
}

struct Colour {
    float r, g, b;
};

// The sky and the fog on the ground, computed afresh every frame.
struct SkyColours {
    Colour sky, fog;
};

SkyColours skyColours(const SceneClock& clock, float t) {
    const float p = static_cast<float>(
        -static_cast<double>(t) /
        ((clock.seconds - secondsOfBars(routineEndBar(*clock.scene))) - static_cast<double>(t)));
    const float q = static_cast<float>(std::sqrt(std::sqrt(p + 0.05)));
    const float dim = static_cast<float>(std::max(0.4, 1.0 - 0.2 * std::max(0.0, t - kDimStart)));
    const float dq = dim * q;
    const float w = static_cast<float>(std::max(0.0, 1.0 - 2.0 * dq));
    const float dw = dim * w;
    const float s5 = sinOf(5.0 * clock.seconds);
    SkyColours c;
    c.sky = {static_cast<float>(100.0 * dq / 255.0),
             static_cast<float>(dq * (30.0 * s5 + 30.0) / 255.0),
             static_cast<float>(70.0 * dw / 255.0)};
    c.fog = {static_cast<float>(100.0 * dq / 255.0),
             static_cast<float>((25.0 + 20.0 * s5) * dq / 255.0),
             static_cast<float>(25.0 * dw / 255.0)};
    return c;
}

// A new viewpoint every bar, three in turn, shaking slightly about the view axis before bar 96.
CameraShot barCycledShot(const SceneClock& clock, float t) {
    const float s = clock.seconds;
    const float bob = 0.1f * clock.beatSine;
    float upZ = 0.0f;
    if (clock.bars < kSteadyBar) upZ = static_cast<float>(0.05 * sinOf(2.0 * sinSingle(15.0f * t)));

    float eye[3], target[3] = {0.0f, 0.0f, 0.0f};
    CameraShot shot;
    switch (static_cast<int>(clock.bars) % 3) {
        case 0:
            shot.viewpoint = "view 0";
            eye[0] = sinSingle(s) + bob;
            eye[1] = sinSingle(2.0f * s) + 0.5f;
            eye[2] = sinOf(0.767 * s);
            break;
        case 1:
            shot.viewpoint = "view 1";
            eye[0] = 10.0f * sinSingle(s + 5.0f) + bob;
            eye[1] = sinSingle(2.0f * s) - 10.5f;
            eye[2] = sinOf(0.767 * s + 2.0);
            target[1] = -20.0f;
            break;
        default:
            shot.viewpoint = "view 2";
            eye[0] = 20.0f - 40.0f * fmodSingle(clock.bars, 3.0f) + bob;
            eye[1] = sinSingle(2.0f * s) - 10.5f;
            eye[2] = sinOf(0.767 * s + 2.0);
            target[1] = -10.0f;
    }
    lookAt(shot.view, eye[0], eye[1], eye[2], target[0], target[1], target[2], 0.0f, 1.0f, upZ);
    return shot;
}

void drawGround(DemoAssets& a, const Matrix4& product, const Colour& fog, float t) {
    bindToUnit(0, *a.cliffTexture);
    bindToUnit(1, *a.mossTexture);
    bindToUnit(2, *a.sandTexture);
    const ShaderProgram& ground = *a.kertsiGroundShader;
    ground.use();
    // The light bobs between heights -100 and -20.
    ground.setFloat3("lightpos", 0.0f, static_cast<float>(40.0 * sinOf(5.0 * t) - 60.0), 0.0f);
    ground.setFloat("lightradius", 400.0f);
    ground.setFloat("falloff", 0.8f);
    ground.setFloat3("fog_color", fog.r, fog.g, fog.b);
    ground.setFloat("cliff_stripes", 0.0f);
    ground.setFloat("t_scene", t);  // the sun sets at bar 88
    ground.setInt("tex", 0);
    ground.setInt("moss", 1);
    ground.setInt("sand", 2);
    ground.setMatrix("matrix", product);
    a.fieldMeshC.geometry->draw(a.fieldMeshC.indexCount);
}

// Slot k = h + i is filled when divisible by 2 or 3: four in every six, so the pattern moves one
// slot with every half beat h.
bool slotFilled(std::int64_t k) {
    return k % 3 == 0 || k % 2 == 0;
}

// Whether any of the sphere (centre c, radius r) lies inside the frustum of the clip matrix m
// (row vectors: clip = (x, y, z, 1) * m): every plane is tested in world units.
bool sphereInView(const Matrix4& m, const float c[3], float r) {
    for (int plane = 0; plane < 6; ++plane) {
        const int axis = plane / 2;
        const float sign = plane % 2 == 0 ? 1.0f : -1.0f;
        float e[4];
        for (int j = 0; j < 4; ++j) e[j] = m.m[j * 4 + 3] + sign * m.m[j * 4 + axis];
        const float distance = e[0] * c[0] + e[1] * c[1] + e[2] * c[2] + e[3];
        if (distance < -r * std::sqrt(e[0] * e[0] + e[1] * e[1] + e[2] * e[2])) return false;
    }
    return true;
}

// Where the rocket program puts the pieces of slot s, as spheres that hold them (the same
// closed-form motion as assets/rocket1.shader, with room to spare for the shake, the flame's
// flicker and the floor's rise under the ground patch); a piece outside the view draws no pixel.
class RocketBounds {
public:
    RocketBounds(const SceneClock& clock, std::int64_t h, int s) {
        // In phase 0 the slot shows its own pad's newcomer rising out of the sand, in phases 2
        // to 4 the rocket of the pad before it climbing; the pads at the ends stay empty.
        const int phase = static_cast<int>((h + s) % 6);
        const int pad = phase == 0 ? s : s - 1;
        empty_ = pad < 2 || (phase == 0 && s == kRocketSlots - 1);
        const float column = static_cast<float>(pad % 10), row = static_cast<float>(pad / 10);
        const float stagger = pad / 10 % 2 == 0 ? -1.75f : 1.75f;
        padX_ = (column - 4.5f) * 9.0f + stagger * 1.3f;
        padZ_ = (row - 2.0f) * 10.0f + 5.0f;
        const float twice = 2.0f * clock.beats;
        const float half = twice - std::floor(twice);
        const float climb = phase >= 2 ? static_cast<float>(phase - 2) + half : 0.0f;
        lift_ = 45.0f * climb * climb / 9.0f;
        const float rise = std::min(half / 0.8f, 1.0f);
        const float sink = phase == 0 ? 10.5f * (1.0f - rise * rise * (3.0f - 2.0f * rise)) : 0.0f;
        baseY_ = groundHeight(padX_, padZ_) + lift_ - sink;
    }

    bool inView(const Matrix4& m, int piece) const {
        if (empty_) return false;
        // Pieces 0 the body and nose, 1 to 3 the fins, 4 the ground patch, 5 the flame: the
        // centre's height over the pad and the radius, in world units.
        // The flame is at its longest, some 14.3 below the nozzle, flaring on a bar's first beat.
        constexpr float kUp[6] = {5.775f, 1.6125f, 1.6125f, 1.6125f, 0.0f, -5.5f};
        // Climbing, the rocket leans up to 0.15 radians about the body's middle, which the body's
        // sphere is centred on; the fins and the flame swing out further from it.
        constexpr float kRadius[6] = {4.6f, 3.75f, 3.75f, 3.75f, 6.0f, 10.0f};
        if (piece == 4) {
            if (lift_ > 20.5f) return false;  // the program no longer draws it
            const float x = padX_ - 0.6178f * 1.6f, z = padZ_ + 0.7863f * 1.6f;
            const float c[3] = {x, groundHeight(x, z) + 0.5f, z};
            return sphereInView(m, c, kRadius[4]);
        }
        float up = kUp[piece], radius = kRadius[piece];
        if (piece == 5) {
            // The climbing rocket's plume trails below the flame, as long as the climb up to
            // kTrail, and leans with it.
            const float trail = std::min(lift_, kTrail);
            up -= 0.5f * trail;
            radius += 0.6f * trail;
        }
        const float c[3] = {padX_, baseY_ + up, padZ_};
        return sphereInView(m, c, radius);
    }

    // Whether the rocket stands far enough off for the coarse rod: its middle's depth in front of
    // the eye (the clip w) in world units.
    bool isDistant(const Matrix4& m) const {
        const float y = baseY_ + kFarUp;
        return padX_ * m.m[3] + y * m.m[7] + padZ_ * m.m[11] + m.m[15] > kFarDepth;
    }

private:
    // The floor is the canyon field's zero set (the field rises one for one with y), the mesh the
    // ground is drawn with.
    static float groundHeight(float x, float z) { return -canyonField(x, 0.0f, z); }

    static constexpr float kTrail = 24.0f;  // as assets/rocket1.shader's
    static constexpr float kFarUp = 4.0f;
    static constexpr float kFarDepth = 30.0f;
    float padX_, padZ_, lift_, baseY_;
    bool empty_;
};

// The sky, a sphere bent from the rod round the eye, behind everything: drawn after the ground, it
// shades only what the ground leaves, and with a program of its own those pixels pay for nothing
// of the rockets' shading.
void drawSky(DemoAssets& a, const SceneClock& clock, const Matrix4& product, const Colour& fog) {
    const ShaderProgram& sky = *a.rocketsSkyShader;
    sky.use();
    sky.setFloat("t", clock.seconds);
    sky.setFloat3("fog_color", fog.r, fog.g, fog.b);
    sky.setMatrix("matrix", product);
    a.fieldMeshD.geometry->draw(a.fieldMeshD.indexCount);
}

void drawRockets(DemoAssets& a, const SceneClock& clock, const Matrix4& product, const Colour& fog,
                 float t) {
    gl.glEnable(GL_BLEND);
    const ShaderProgram& rocket = *a.rocket1Shader;
    rocket.use();
    setBeatUniforms(rocket, clock, t);
    rocket.setFloat3("fog_color", fog.r, fog.g, fog.b);
    const auto h = static_cast<std::int64_t>(2.0 * clock.beats);  // whole half beats
    rocket.setFloat("beat", static_cast<float>(h));
    rocket.setMatrix("matrix", product);
    gl.glCullFace(GL_FRONT);
    // Slots 0 and 1 hold no rocket.
    for (int i = 2; i < kRocketSlots; ++i) {
        if (!slotFilled(h + i)) continue;
        rocket.setFloat("id", static_cast<float>(kFirstRocketId - i));
        // Pieces out of the view are not drawn: they would touch no pixel.
        const RocketBounds bounds(clock, h, i);
        for (int piece = 0; piece < kRocketPieces; ++piece) {
            if (!bounds.inView(product, piece)) continue;
            rocket.setFloat("piece", static_cast<float>(piece));
            const bool fin = piece >= 1 && piece <= 3;
            const bool coarse = piece == 4 || bounds.isDistant(product);
            const LoadedMesh& mesh = fin ? a.finMesh : coarse ? a.coarseRod : a.roundRod;
            // The body, the fins and the flame are closed to the eye: their far sides are hidden
            // or, in the flame, not needed. The rod faces out, and the view matrices turn the
            // handedness over: a face turned to the camera arrives clockwise.
            if (piece != 4) gl.glEnable(GL_CULL_FACE);
            mesh.geometry->draw(mesh.indexCount);
            gl.glDisable(GL_CULL_FACE);
        }
    }
    gl.glCullFace(GL_BACK);
}

// The opening flash, and a faint pulse on every odd beat that dies over the next 0.8 beat.
void drawFlash(DemoAssets& a, const SceneClock& clock, float t) {
    const double x = (clock.beats + 1.0) * 0.5;
    const double g = x - std::floor(x);
    const double pulse = 0.4 * std::max(0.0, 0.4 - std::max(0.0, g));
    const double alpha = std::max(1.0 - 1.1 * t, 0.0) + pulse;
    if (alpha <= 0.0) return;  // most of each beat: a full-screen quad that would change nothing
    const ShaderProgram& solid = *a.solidColorShader;
    solid.use();
    solid.setFloat4("icolor", 1.0f, 1.0f, 1.0f, static_cast<float>(alpha));
    a.quadBuffer->draw(6);
}

}  // namespace

CameraShot rocketsCamera(const SceneClock& clock) {
    const float t = clock.sceneSeconds();
    CameraShot shot = barCycledShot(clock, t);
    if (clock.bars > kTrackStartBar && clock.bars < kSteadyBar) {
        // A sideways track that jumps back every 12.5 s, then a slow pass along the field.
        if (clock.bars > kSecondTrackBar) {
            lookAt(shot.view, 60.0f, static_cast<float>(2.0 * sinOf(3.0 * t) - 10.0),
                   fmodSingle(t, 50.0f) - 20.0f, 10.0f, -2.0f, 0.0f, 0.0f, 1.0f, 0.1f);
            shot.viewpoint = "track 2";
        } else {
            lookAt(shot.view, fmodSingle(4.0f * t, 50.0f), -15.0f, 50.0f, 0.0f, -10.0f, 0.0f, 0.1f,
                   1.0f, 0.0f);
            shot.viewpoint = "track 1";
        }
    }
    // The field of view breathes once a beat.
    shot.halfWidth = kLensHalfWidth + 0.006f * (clock.beatFraction + 1.0f);
    return shot;
}

void drawRocketsScene(DemoAssets& assets, SceneClock& clock) {
    const float t = clock.sceneSeconds();
    const SkyColours colours = skyColours(clock, t);

    const CameraShot shot = rocketsCamera(clock);
    clock.projection = lensOf(shot, clock);  // the lens for the rest of the frame
    const Colour& sky = colours.sky;
    gl.glClearColor(sky.r, sky.g, sky.b, 0.0f);  // clears the next frame
    Matrix4 product;
    multiply(product, shot.view, clock.projection);

    drawGround(assets, product, colours.fog, t);
    drawSky(assets, clock, product, colours.fog);
    drawRockets(assets, clock, product, colours.fog, t);  // blending on from here
    drawFlash(assets, clock, t);

    gl.glDisable(GL_BLEND);
}
