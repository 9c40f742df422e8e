// Scene 0, bars 0 to 8: a rock wall drifting in dusty light, a cloud of dust sprites over it, the
// group logo in two steps near the end, all fading in from black.
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

// (30, 23, 15) / 255: the dust in the air, also the colour the wall fogs into.
constexpr float kDust[3] = {0.11764706f, 0.09019608f, 0.05882353f};
constexpr int kSpriteCount = 120;
constexpr double kFirstLogoSeconds = 9.1;
constexpr float kSecondLogoSeconds = 9.8f;
constexpr float kLogoPlacement[4] = {0.1f, 0.13263889f, 1.6f, 1.4694444f};

void drawWall(DemoAssets& a, const SceneClock& clock, float sceneTime) {
    const ShaderProgram& cliff = *a.cliffShader;
    cliff.use();
    cliff.setFloat("t", 0.0f);
    cliff.setFloat("saw", 0.0f);
    cliff.setFloat("t_scene", sceneTime);  // the dawn's light builds over the scene
    cliff.setFloat("distort", 0.0f);
    cliff.setInt("tex", 0);
    cliff.setInt("moss", 1);

    Matrix4 product;
    multiply(product, introCamera(clock).view, clock.projection);
    cliff.setMatrix("matrix", product);

    cliff.setFloat3("lightpos", 0.0f, 0.0f, 0.0f);
    cliff.setFloat("lightradius", 40.0f);
    cliff.setFloat("falloff", 0.8f);
    cliff.setFloat3("fog_color", kDust[0], kDust[1], kDust[2]);
    bindToUnit(0, *a.cliffTexture);
    bindToUnit(1, *a.mossTexture);
    cliff.setFloat("cliffside", 1.0f);
    a.fieldMeshA.geometry->draw(a.fieldMeshA.indexCount);
}

void drawDustSprites(DemoAssets& a, const SceneClock& clock) {
    gl.glDisable(GL_DEPTH_TEST);
    gl.glEnable(GL_BLEND);
    Matrix4 view;
    lookAt(view, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f);

    const ShaderProgram& particles = *a.particlesShader;
    particles.use();
    bindToUnit(4, *a.introParticleTexture);
    particles.setInt("texture", 4);
    particles.setFloat("t", 3.3f * clock.seconds);
    Matrix4 product;
    multiply(product, view, clock.projection);
    particles.setMatrix("matrix", product);
    particles.setFloat("fade", static_cast<float>(std::min(
                                   secondsOfBars(endBar(*clock.scene)) - clock.seconds, 0.0)));
    // One draw per sprite, told apart only by "id".
    for (int id = kSpriteCount; id >= 1; --id) {
        particles.setInt("id", id);
        a.quadBuffer->draw(6);
    }
}

void drawLogo(DemoAssets& a, const SceneClock& clock, float sceneTime) {
    const ShaderProgram& logo = *a.introLogoShader;
    logo.use();
    setBeatUniforms(logo, clock, sceneTime);
    const float* p = kLogoPlacement;
    logo.setFloat4("ipos", p[0], p[1], p[2], p[3]);
    if (sceneTime > kFirstLogoSeconds) {
        bindToUnit(0, *a.newLogoTexture);
        a.quadBuffer->draw(6);
    }
    // Both steps stay: from 9.8 s the second image lies over the first.
    if (sceneTime > static_cast<double>(kSecondLogoSeconds)) {
        bindToUnit(0, *a.newLogo2Texture);
        a.quadBuffer->draw(6);
    }
}

void drawFadeFromBlack(DemoAssets& a, const SceneClock& clock) {
    const ShaderProgram& solid = *a.solidColorShader;
    solid.use();
    const double alpha = std::max(1.0 - 1.1 * clock.seconds, 0.0);  // clear from 0.909 s
    solid.setFloat4("icolor", 0.0f, 0.0f, 0.0f, static_cast<float>(alpha));
    a.quadBuffer->draw(6);
}

}  // namespace

// A slow drift in front of the wall, the world turned a quarter about Y.
CameraShot introCamera(const SceneClock& clock) {
    const float s = clock.seconds;
    CameraShot shot;
    lookAt(shot.view, 0.08f * sinSingle(0.3f * s), 5.0f, 5.0f + 0.4f * sinSingle(0.2f * s),  // eye
           0.0f, 0.2f * sinSingle(0.7f * s), -5.0f,  // target
           0.0f, 1.0f, 0.0f);
    rotate(shot.view, 1.5707964f, 0.0f, -1.0f, 0.0f);
    shot.viewpoint = "wall";
    return shot;
}

void drawIntroScene(DemoAssets& assets, SceneClock& clock) {
    const float sceneTime = clock.sceneSeconds();
    gl.glClearColor(kDust[0], kDust[1], kDust[2], 0.0f);  // clears the next frame

    drawWall(assets, clock, sceneTime);
    drawDustSprites(assets, clock);  // leaves depth test off and blending on
    drawLogo(assets, clock, sceneTime);
    drawFadeFromBlack(assets, clock);

    gl.glDisable(GL_BLEND);
    gl.glEnable(GL_DEPTH_TEST);
}
