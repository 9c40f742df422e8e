// Scene 4, bars 40 to 56: a fly-by along the cliff wall at 16 units a second, rolled for bars 44
// to 48, then a stretched view from high up that sinks past the wall. From bar 44 the title cards
// lie over it: a panel, two scrolling bands that part as "fadeout" grows, and the group's name.
// The last two bars fade to black.
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

constexpr float kCardsBar = 44.0f;  // cards in and the roll starts
constexpr float kHighViewBar = 48.0f;
constexpr double kFadeToBlackBar = 54.0;
// (75, 32, 28) / 255, as in the tunnel before it.
constexpr float kDusk[3] = {0.29411766f, 0.1254902f, 0.10980392f};
constexpr float kRoll = 0.4f;
// The panel and the name card at 0.62 of the screen-filling size they once had, about the name's
// centre, which sits a little below the middle: the cliff shows around them and the sun whole.
constexpr float kPanelPlacement[4] = {0.17635f, 0.1095f, 1.2946f, 1.5743f};
constexpr float kBandHeight = 0.14305555820465088f;
constexpr double kUpperBandY = 0.85694444;  // along the top edge, framing the cards
constexpr float kNamePlacement[4] = {0.24007f, 0.27065f, 1.0397f, 0.6374f};

struct FlybyFrame {
    float ts;
    float fadeout;  // 0 until ts 10.5, then up by 0.13 a second to 1
    float black;    // the fade's alpha: 1 at bar 55, 2 at the end, sent unclamped
};

void drawWall(DemoAssets& a, const SceneClock& clock, const FlybyFrame& f) {
    const ShaderProgram& cliff = *a.cliffShader;
    cliff.use();
    cliff.setFloat3("lightpos", 0.0f, 0.0f, 0.0f);
    cliff.setFloat("lightradius", 40.0f);
    cliff.setFloat("falloff", 0.8f);
    cliff.setFloat3("fog_color", kDusk[0], kDusk[1], kDusk[2]);
    // The view from high up is stretched and warped.
    cliff.setFloat("distort", clock.bars > kHighViewBar ? 1.0f : 0.0f);
    // Moss on the ledges facing up, as the canyon left it: a frame drawn on its own must not
    // depend on which scene used the program last.
    cliff.setFloat("cliffside", 1.0f);
    Matrix4 product;
    multiply(product, flybyCamera(clock).view, clock.projection);

    bindToUnit(0, *a.cliffTexture);
    bindToUnit(1, *a.mossTexture);
    setBeatUniformsWithoutSceneTime(cliff, clock);
    cliff.setFloat("cliff_stripes", 0.0f);
    cliff.setFloat("t_scene", f.ts);
    cliff.setInt("tex", 0);
    cliff.setInt("moss", 1);
    cliff.setMatrix("matrix", product);
    a.fieldMeshA.geometry->draw(a.fieldMeshA.indexCount);
}

void drawPanel(DemoAssets& a, const SceneClock& clock, const FlybyFrame& f) {
    const ShaderProgram& panel = *a.displayGreetBgShader;
    panel.use();
    const float* p = kPanelPlacement;
    panel.setFloat4("ipos", p[0], p[1], p[2], p[3]);
    panel.setFloat2("screen", clock.screenWidth, clock.screenHeight);
    setBeatUniforms(panel, clock, f.ts);
    panel.setFloat("fadeout", f.fadeout);
    bindToUnit(0, *a.bigLogoBgTexture);
    a.quadBuffer->draw(6);
}

// Two bands scrolling opposite ways: one sinks and one rises as "fadeout" grows.
void drawBands(DemoAssets& a, const SceneClock& clock, const FlybyFrame& f) {
    const ShaderProgram& band = *a.displayAttentionShader;
    band.use();
    setBeatUniforms(band, clock, f.ts);
    band.setFloat("fadeout", f.fadeout);

    band.setFloat("scroll_direction", 1.0f);
    band.setFloat4("ipos", 0.0f, -f.fadeout, 1.0f, kBandHeight);
    bindToUnit(0, *a.attentionTexture);
    a.quadBuffer->draw(6);

    band.setFloat("scroll_direction", -1.0f);
    band.setFloat4("ipos", 0.0f, static_cast<float>(f.fadeout + kUpperBandY), 1.0f, kBandHeight);
    bindToUnit(0, *a.attentionTexture);
    a.quadBuffer->draw(6);
}

void drawName(DemoAssets& a, const SceneClock& clock, const FlybyFrame& f) {
    const ShaderProgram& name = *a.displayGroupnameShader;
    name.use();
    name.setFloat2("screen", clock.screenWidth, clock.screenHeight);
    setBeatUniforms(name, clock, f.ts);
    name.setFloat("fadeout", f.fadeout);
    const float* p = kNamePlacement;
    name.setFloat4("ipos", p[0], p[1], p[2], p[3]);
    bindToUnit(0, *a.mirraTexture);
    a.quadBuffer->draw(6);
}

void drawFadeToBlack(DemoAssets& a, const FlybyFrame& f) {
    gl.glEnable(GL_BLEND);
    const ShaderProgram& solid = *a.solidColorShader;
    solid.use();
    solid.setFloat4("icolor", 0.0f, 0.0f, 0.0f, f.black);
    a.quadBuffer->draw(6);
    gl.glDisable(GL_BLEND);
}

}  // namespace

CameraShot flybyCamera(const SceneClock& clock) {
    CameraShot shot;
    if (clock.bars > kHighViewBar) {
        // From height 87 at bar 48, sinking ever faster, stretched.
        const double d = static_cast<double>(clock.bars) - static_cast<double>(kHighViewBar);
        const float eyeY = static_cast<float>(87.0 - std::pow(8.2 * d, 1.1));
        lookAt(shot.view, -10.0f, eyeY, static_cast<float>(10.0 - d), 0.0f, 10.0f, 0.0f, 0.0f, 1.0f,
               0.0f);
        scale(shot.view, 1.0f, 2.9f, 2.9f);
        shot.viewpoint = "high";
        return shot;
    }
    // 16 units a second along the wall.
    const float z0 = 100.0f - 16.0f * clock.sceneSeconds();
    lookAt(shot.view, -10.0f, 0.0f, z0, 0.0f, 0.0f, z0 - 5.0f, 0.0f, 1.0f, 0.0f);
    shot.viewpoint = "fly-by";
    if (clock.bars > kCardsBar && clock.bars < kHighViewBar) {
        rotate(shot.view, kRoll, 0.0f, 0.0f, 1.0f);
        shot.viewpoint = "rolled";
    }
    return shot;
}

void drawCliffFlybyScene(DemoAssets& assets, SceneClock& clock) {
    FlybyFrame f;
    f.ts = clock.sceneSeconds();
    f.fadeout = static_cast<float>(std::min(0.13 * std::max(f.ts - 10.5, 0.0), 1.0));
    f.black = static_cast<float>(std::max(clock.bars - kFadeToBlackBar, 0.0));
    gl.glClearColor(kDusk[0], kDusk[1], kDusk[2], 0.0f);  // clears the next frame

    // The depth test stays on: the cards lie at the near plane.
    drawWall(assets, clock, f);
    if (clock.bars > kCardsBar) {
        gl.glEnable(GL_BLEND);
        drawPanel(assets, clock, f);
        drawBands(assets, clock, f);
        drawName(assets, clock, f);
    }
    drawFadeToBlack(assets, f);
}
