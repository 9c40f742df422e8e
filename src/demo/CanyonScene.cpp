// Scenes 1 and 2, bars 8 to 24: a white flash, then the flight down a canyon of two rock walls with
// a slow roll; from bar 16 the canyon tumbles around a camera standing still, with the wall's
// stripes on. The big logo's three layers lie over it all. Scene 2 is the same shot continued.
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
#include "math/MatrixStack.h"

namespace {

constexpr float kTumbleBar = 16.0f;
// (60, 45, 33) / 255: clear colour and fog of the canyon.
constexpr float kCanyon[3] = {0.23529412f, 0.17647059f, 0.12941177f};
constexpr float kLogoPlacement[4] = {0.18359375f, 0.1f, 1.265625f, 1.5388889f};

// The flight: 16 units a second along -z, rolling at 0.4 rad/s.
void flightView(Matrix4& view, float t) {
    const float z = 100.0f - 16.0f * t;
    lookAt(view, 0.0f, 0.0f, z, 0.0f, 0.0f, z - 1.0f, 0.0f, 1.0f, 0.0f);
    rotate(view, 0.4f * t, 0.0f, 0.0f, 1.0f);
}

// The tumble: the camera at the origin, the world turning about X and Y (the Z factor is -0).
void tumbleView(Matrix4& view, float t) {
    lookAt(view, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f);
    const float a = 1.5f * t + 0.5f;
    rotate(view, a, 0.2f, 0.3f, -0.0f);
}

void drawCanyon(DemoAssets& a, SceneClock& clock, float t) {
    // Behind the big logo (the pair's second window) the walls are a silhouette against a burning
    // sky, drawn by a program of its own with the same uniforms: in the rock's program every
    // pixel would pay for its other looks, unseen.
    const ShaderProgram& walls = isSecondOfPair(*clock.scene) ? *a.simpleShader : *a.cliffShader;
    walls.use();
    setBeatUniforms(walls, clock, t);
    walls.setInt("tex", 0);
    walls.setInt("moss", 1);
    gl.glClearColor(kCanyon[0], kCanyon[1], kCanyon[2], 0.0f);  // clears the next frame
    walls.setFloat3("lightpos", 0.0f, 0.0f, 0.0f);
    walls.setFloat("lightradius", 40.0f);
    walls.setFloat("falloff", 0.8f);
    walls.setFloat3("fog_color", kCanyon[0], kCanyon[1], kCanyon[2]);
    bindToUnit(0, *a.cliffTexture);
    bindToUnit(1, *a.mossTexture);
    walls.setFloat("distort", 0.0f);

    // The tumble shows the wall's stripes.
    walls.setFloat("cliff_stripes", clock.bars < kTumbleBar ? 0.0f : 1.0f);
    Matrix4 view = canyonCamera(clock).view;

    // One wall surface drawn twice: the first copy turned half a turn about the flight axis.
    MatrixStack& stack = *a.matrixStack;
    stack.push(view);
    stack.push(view);
    Matrix4 product;
    rotate(view, 3.1415927f, 0.0f, 0.0f, 1.0f);
    multiply(product, view, clock.projection);
    walls.setMatrix("matrix", product);
    walls.setFloat("cliffside", -1.0f);
    a.fieldMeshA.geometry->draw(a.fieldMeshA.indexCount);

    stack.pop(view);
    multiply(product, view, clock.projection);
    walls.setMatrix("matrix", product);
    walls.setFloat("cliffside", 1.0f);
    a.fieldMeshA.geometry->draw(a.fieldMeshA.indexCount);
    stack.pop(view);
}

void drawBigLogo(DemoAssets& a, const SceneClock& clock, float t) {
    gl.glEnable(GL_BLEND);
    const ShaderProgram& logo = *a.bigLogoShader;
    logo.use();
    logo.setInt("tex", 0);
    setBeatUniforms(logo, clock, t);
    const float* p = kLogoPlacement;
    logo.setFloat4("ipos", p[0], p[1], p[2], p[3]);
    logo.setFloat("fadeout", 0.0f);

    const struct {
        float tAdd;
        Texture2D* image;
    } layers[3] = {{0.0f, a.bigLogoBgTexture.get()},
                   {1.0f, a.bigLogoUpTexture.get()},
                   {2.0f, a.bigLogoDownTexture.get()}};
    for (const auto& layer : layers) {
        logo.setFloat("t_add", layer.tAdd);
        bindToUnit(0, *layer.image);
        a.quadBuffer->draw(6);
    }
}

void drawFlash(DemoAssets& a, float t) {
    const ShaderProgram& solid = *a.solidColorShader;
    solid.use();
    const double alpha = std::max(1.0 - 1.1 * t, 0.0);  // gone 0.909 s into the scene
    solid.setFloat4("icolor", 1.0f, 1.0f, 1.0f, static_cast<float>(alpha));
    a.quadBuffer->draw(6);
}

}  // namespace

CameraShot canyonCamera(const SceneClock& clock) {
    const float t = clock.sceneSeconds();
    CameraShot shot;
    if (clock.bars < kTumbleBar) {
        flightView(shot.view, t);
        shot.viewpoint = "flight";
    } else {
        tumbleView(shot.view, t);
        shot.viewpoint = "tumble";
    }
    return shot;
}

void drawCanyonScene(DemoAssets& assets, SceneClock& clock) {
    const float t = clock.sceneSeconds();

    drawCanyon(assets, clock, t);
    drawBigLogo(assets, clock, t);  // blending on, depth test left on
    drawFlash(assets, t);

    gl.glDisable(GL_BLEND);
}
