// Scenes 5 and 6, bars 56 to 72: a camcorder sinks down a stone shaft, past the light at its
// middle, while a rippled boulder drifts through; the viewfinder's frame and blinking REC mark lie
// over it all. It fades in from black and zooms in, tilted, on the last beat. Scene 6 is the same
// shot continued.
#include <algorithm>
#include <cmath>

#include "demo/BeatUniforms.h"
#include "demo/DemoAssets.h"
#include "demo/SceneCameras.h"
#include "demo/Scenes.h"
#include "demo/Timeline.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"

namespace {

constexpr float kZoomBar = 71.75f;  // the last beat of scene 6
// Blue-grey: clear colour and fog of the cave.
constexpr float kCaveFog[3] = {0.1f, 0.1f, 0.2f};
constexpr float kFullScreen[4] = {0.0f, 0.0f, 1.0f, 1.0f};

// Sinking 10 units a second from height 120, about 9.5 units off the shaft's axis and swaying.
// The sway in x takes its rate as a double, the one in z as floats; both sines in double.
void descentEye(float t, float eye[3]) {
    const double ca = static_cast<float>(std::cos(1.6179201602935791));
    const double sa = static_cast<float>(std::sin(1.6179201602935791));
    eye[0] = static_cast<float>(0.8 * std::sin(0.2 * t - 0.5) + 9.5 * ca);
    eye[1] = 120.0f - 10.0f * t;
    eye[2] = static_cast<float>(
        static_cast<double>(0.7f) * std::sin(0.5 * t - static_cast<double>(0.2f)) + 9.5 * sa);
}

void setLightAndFog(const ShaderProgram& program) {
    program.setFloat3("lightpos", 0.0f, 0.0f, 0.0f);
    program.setFloat("lightradius", 40.0f);
    program.setFloat("falloff", 1.3f);
    program.setFloat3("fog_color", kCaveFog[0], kCaveFog[1], kCaveFog[2]);
}

void drawCave(DemoAssets& a, const SceneClock& clock, const Matrix4& view, float t) {
    const ShaderProgram& stone = *a.stoneShader;
    stone.use();
    setBeatUniforms(stone, clock, t);
    gl.glClearColor(kCaveFog[0], kCaveFog[1], kCaveFog[2], 0.0f);  // clears the next frame
    Matrix4 product;
    multiply(product, view, clock.projection);
    stone.setMatrix("matrix", product);
    setLightAndFog(stone);
    bindToUnit(0, *a.brickTexture);
    bindToUnit(1, *a.mossTexture);
    stone.setInt("tex", 0);
    stone.setInt("moss", 1);
    // The camera is always in the shaft's air, which every triangle faces (wound clockwise seen
    // from there): the faces turned away lie behind nearer rock, and culling them spares their
    // rasterizing and shading.
    gl.glCullFace(GL_FRONT);
    gl.glEnable(GL_CULL_FACE);
    a.caveMesh.geometry->draw(a.caveMesh.indexCount);
    gl.glDisable(GL_CULL_FACE);
    gl.glCullFace(GL_BACK);
}

// The boulder keeps the cave's brick and moss.
void drawBoulder(DemoAssets& a, const SceneClock& clock, const Matrix4& camera, float t) {
    Matrix4 view = camera;
    placeCaveBoulder(view, clock);
    Matrix4 product;
    multiply(product, view, clock.projection);

    const ShaderProgram& rock = *a.asteroidShader;
    rock.use();
    setLightAndFog(rock);
    rock.setFloat("fog_falloff", 1.3f);
    rock.setFloat("fog_scale", 1.95f);
    rock.setFloat("distort", 0.0f);
    rock.setFloat2("screen", clock.screenWidth, clock.screenHeight);
    setBeatUniforms(rock, clock, t);
    rock.setMatrix("matrix", product);
    a.fieldMeshB.geometry->draw(a.fieldMeshB.indexCount);
}

// The viewfinder: the frame, then the REC mark, which blinks with the beat.
void drawCamcorder(DemoAssets& a, const SceneClock& clock, float t) {
    gl.glEnable(GL_BLEND);
    const ShaderProgram& camera = *a.displayCameraShader;
    camera.use();
    setBeatUniforms(camera, clock, t);
    const float* p = kFullScreen;
    camera.setFloat4("ipos", p[0], p[1], p[2], p[3]);
    camera.setFloat("blink_factor", 0.0f);
    bindToUnit(0, *a.bordersTexture);
    a.quadBuffer->draw(6);
    camera.setFloat("blink_factor", 1.0f);
    bindToUnit(0, *a.recTexture);
    a.quadBuffer->draw(6);
}

// Clear one second into the scene; from then on it is not drawn at all, which spares a blended
// full-screen pass on every frame.
void drawFadeFromBlack(DemoAssets& a, float t) {
    const double alpha = std::max(1.0 - t, 0.0);
    if (alpha <= 0.0) return;
    const ShaderProgram& solid = *a.solidColorShader;
    solid.use();
    solid.setFloat4("icolor", 0.0f, 0.0f, 0.0f, static_cast<float>(alpha));
    a.quadBuffer->draw(6);
}

}  // namespace

// Always looking at the axis at height 0; the last beat narrows the view and tilts it.
CameraShot caveCamera(const SceneClock& clock) {
    CameraShot shot;
    shot.halfWidth = 0.5f;
    shot.viewpoint = "descent";
    float k = 0.0f;
    if (clock.bars > kZoomBar) {
        k = 0.1f;
        shot.halfWidth = 0.3f;
        shot.viewpoint = "zoom";
    }
    float eye[3];
    descentEye(clock.sceneSeconds(), eye);
    lookAt(shot.view, eye[0], eye[1], eye[2], 2.0f * k + 0.1f, 0.0f, 0.0f, 0.0f, 1.0f, k);
    rotate(shot.view, 1.5707964f, 1.0f, 0.0f, 0.0f);  // the shaft stands along the mesh's z
    return shot;
}

// At half size, sinking 3.5 units a second.
void placeCaveBoulder(Matrix4& view, const SceneClock& clock) {
    scale(view, 0.5f, 0.5f, 0.5f);
    translate(view, 12.0f, 35.0f - 3.5f * clock.sceneSeconds(), 11.0f);
    rotate(view, 1.5707964f, 0.0f, 0.0f, 1.0f);
}

void drawCaveScene(DemoAssets& assets, SceneClock& clock) {
    const float t = clock.sceneSeconds();
    const CameraShot shot = caveCamera(clock);
    clock.projection = lensOf(shot, clock);  // the lens for the rest of the frame

    drawCave(assets, clock, shot.view, t);
    drawBoulder(assets, clock, shot.view, t);
    drawCamcorder(assets, clock, t);  // blending on from here
    drawFadeFromBlack(assets, t);

    gl.glDisable(GL_BLEND);
}
