// Scene 3, bars 24 to 40: a rippled rock tumbling inside a rocky tunnel, lit by a lamp circling
// it. The camera orbits the rock, stands back for the last bar of each phrase and, from bar 32,
// weaves close in instead. The credits lie over the first ten seconds.
#include <algorithm>

#include "demo/BeatUniforms.h"
#include "demo/DemoAssets.h"
#include "demo/SceneCameras.h"
#include "demo/Scenes.h"
#include "demo/Timeline.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "math/Scalar.h"

namespace {

constexpr float kLateBar = 32.0f;  // the second half: the walls warp with the beat
constexpr int kPhraseBars = 4;
constexpr int kStandBackBar = 3;  // the last bar of each phrase
// (75, 32, 28) / 255: the dusk red the tunnel fogs into.
constexpr float kDusk[3] = {0.29411766f, 0.1254902f, 0.10980392f};
constexpr float kLampRadius = 12.0f;
constexpr float kHalfTurn = 3.1415927f;
constexpr float kCreditsPlacement[4] = {0.0f, 0.0f, 2.0f, 2.0f};

struct TunnelFrame {
    float ts;
    float late;
};

void setFog(const ShaderProgram& program) {
    program.setFloat3("fog_color", kDusk[0], kDusk[1], kDusk[2]);
    program.setFloat("fog_falloff", 1.7f);
    program.setFloat("fog_scale", 1.25f);
}

void setUpRock(DemoAssets& a, const SceneClock& clock, const TunnelFrame& f) {
    const ShaderProgram& rock = *a.asteroidShader;
    rock.use();
    rock.setFloat3("lightpos", kLampRadius * cosSingle(f.ts), kLampRadius * sinSingle(f.ts), 0.0f);
    rock.setFloat("lightradius", 40.0f);
    rock.setFloat("falloff", 0.8f);
    setFog(rock);
    rock.setFloat("distort", f.late);
    rock.setFloat2("screen", clock.screenWidth, clock.screenHeight);
    setBeatUniforms(rock, clock, f.ts);
}

void setUpTunnel(DemoAssets& a, const SceneClock& clock, const TunnelFrame& f) {
    const ShaderProgram& tunnel = *a.cliffTunnelShader;
    tunnel.use();
    setBeatUniforms(tunnel, clock, f.ts);
    setFog(tunnel);
    // Below zero until bar 32: the pulse only breathes; after it the walls heave on every beat.
    tunnel.setFloat("distort", static_cast<float>(f.late - 0.4 * clock.beatFraction));
    bindToUnit(0, *a.cliffTexture);
    bindToUnit(1, *a.mossTexture);
}

// The tunnel program rolls the wall surface into a tube.
void drawTunnel(DemoAssets& a, const SceneClock& clock, const Matrix4& camera) {
    Matrix4 view = camera;
    placeTunnelWall(view);
    Matrix4 product;
    multiply(product, view, clock.projection);
    a.cliffTunnelShader->setMatrix("matrix", product);
    a.fieldMeshA.geometry->draw(a.fieldMeshA.indexCount);
}

void drawRock(DemoAssets& a, const SceneClock& clock, const Matrix4& camera) {
    Matrix4 view = camera;
    placeTunnelRock(view, clock);
    const ShaderProgram& rock = *a.asteroidShader;
    rock.use();
    bindToUnit(0, *a.cliffTexture);
    bindToUnit(1, *a.mossTexture);
    Matrix4 product;
    multiply(product, view, clock.projection);
    rock.setMatrix("matrix", product);
    a.fieldMeshB.geometry->draw(a.fieldMeshB.indexCount);
}

// In over the first second, held, out between 8 and 10 seconds; drawn (transparent) all scene.
float creditsAlpha(float ts) {
    const double shown = std::min(static_cast<double>(ts), 1.0);
    const double fading = std::max(0.5 * ts - 4.0, 0.0);
    return static_cast<float>(std::max(shown - fading, 0.0));
}

void drawCredits(DemoAssets& a, const SceneClock& clock, float ts) {
    gl.glDisable(GL_DEPTH_TEST);
    gl.glEnable(GL_BLEND);
    const ShaderProgram& display = *a.displayShader;
    display.use();
    bindToUnit(0, *a.creditsTexture);
    setBeatUniforms(display, clock, ts);
    display.setFloat("alpha", creditsAlpha(ts));
    const float* p = kCreditsPlacement;
    display.setFloat4("ipos", p[0], p[1], p[2], p[3]);
    a.quadBuffer->draw(6);
    display.setFloat("alpha", 1.0f);  // the program's resting value
}

}  // namespace

// Orbit the rock for three bars, stand back down the tunnel for the fourth; late in the scene the
// fourth bar weaves close in, chasing a point that slides along the tunnel.
CameraShot tunnelCamera(const SceneClock& clock) {
    const float ts = clock.sceneSeconds();
    const bool late = clock.bars > kLateBar;
    float eye[3];
    float tz = 0.0f;
    float up = 1.0f;
    CameraShot shot;
    if (static_cast<int>(clock.bars) % kPhraseBars != kStandBackBar) {
        const float v = 21.0f + 4.0f * sinSingle(2.0f * ts);
        eye[0] = v * cosSingle(ts);
        eye[1] = v * sinSingle(ts);
        eye[2] = v * cosSingle(ts);
        // Where cos ts changes sign the orbit passes straight over the rock, looking along the up
        // vector: the up vector turns over there, or the picture would spin half a turn in a frame.
        if (eye[0] < 0.0f) up = -1.0f;
        shot.viewpoint = "orbit";
    } else if (!late) {
        eye[0] = 10.0f * cosSingle(0.9f * ts);
        eye[1] = 8.0f * sinSingle(0.8f * ts);
        eye[2] = -50.0f;
        shot.viewpoint = "far";
    } else {
        eye[0] = 10.0f * cosSingle(1.02f * ts);
        eye[1] = 10.0f * sinSingle(0.7f * ts);
        eye[2] = 5.0f * cosSingle(ts);
        tz = 12.0f - fmodSingle(3.0f * ts, 10.0f);
        shot.viewpoint = "inside";
    }
    lookAt(shot.view, eye[0], eye[1], eye[2], 0.0f, 0.0f, tz, 0.0f, up, 0.0f);
    return shot;
}

void placeTunnelWall(Matrix4& view) {
    rotate(view, kHalfTurn, 0.0f, 0.0f, 1.0f);
}

// A turn a second about (0.2, 0.3, 0).
void placeTunnelRock(Matrix4& view, const SceneClock& clock) {
    rotate(view, clock.sceneSeconds(), 0.2f, 0.3f, 0.0f);
}

void drawAsteroidTunnelScene(DemoAssets& assets, SceneClock& clock) {
    TunnelFrame f;
    f.ts = clock.sceneSeconds();
    f.late = clock.bars > kLateBar ? 1.0f : 0.0f;
    gl.glClearColor(kDusk[0], kDusk[1], kDusk[2], 0.0f);  // clears the next frame

    // The rock first: the depth test then spares the wall's dear shading wherever the rock hides
    // it.
    setUpRock(assets, clock, f);
    const Matrix4 camera = tunnelCamera(clock).view;
    drawRock(assets, clock, camera);
    setUpTunnel(assets, clock, f);
    drawTunnel(assets, clock, camera);
    drawCredits(assets, clock, f.ts);

    gl.glDisable(GL_BLEND);
    gl.glEnable(GL_DEPTH_TEST);
}
