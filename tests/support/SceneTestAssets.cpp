#include "support/SceneTestAssets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "audio/FrameClockMusicPlayer.h"
#include "demo/LoadPhase.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/RenderTarget.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "math/MatrixStack.h"
#include "support/GlTestContext.h"

namespace {

template <typename T>
void release(T*& object) {
    delete object;
    object = nullptr;
}

}  // namespace

void releaseAllDemoAssets(DemoAssets& a) {
    releaseDemoAssets(a);
    ShaderProgram** programs[] = {
        &a.geometryDistortShader,  &a.stoneShader,          &a.introLogoShader,
        &a.displayCameraShader,    &a.bigLogoShader,        &a.solidColorShader,
        &a.displayShader,          &a.cliffShader,          &a.displayAttentionShader,
        &a.displayGroupnameShader, &a.displayGreetBgShader, &a.particlesShader,
        &a.debrisParticlesShader,  &a.asteroidShader,       &a.cliffTunnelShader,
        &a.kertsiGroundShader,     &a.rocket1Shader};
    for (ShaderProgram** p : programs) release(*p);
    Texture2D** textures[] = {&a.cliffTexture,     &a.newLogoTexture,     &a.newLogo2Texture,
                              &a.bigLogoUpTexture, &a.bigLogoDownTexture, &a.bigLogoBgTexture,
                              &a.creditsTexture,   &a.attentionTexture,   &a.mirraTexture,
                              &a.bordersTexture,   &a.recTexture,         &a.introParticleTexture,
                              &a.sandTexture,      &a.sceneColorTexture,  &a.sceneDepthTexture};
    for (Texture2D** t : textures) release(*t);
    release(a.sceneTarget);
    for (LoadedMesh* m : {&a.caveMesh, &a.fieldMeshA, &a.fieldMeshB}) release(m->geometry);
    release(a.matrixStack);
}

namespace {

struct Loaded {
    LaunchSettings settings;
    GlTestContext context{SceneTestAssets::kWidth, SceneTestAssets::kHeight};
    FrameClockMusicPlayer music;
    DemoAssets assets;

    Loaded() {
        settings.width = SceneTestAssets::kWidth;
        settings.height = SceneTestAssets::kHeight;
        settings.screenWidth = float(settings.width);
        settings.screenHeight = float(settings.height);
        if (!context.ok()) return;
        loadDemoAssets(assets, settings, music);
        // The standing state the entry sets before the first frame.
        gl.glEnable(GL_DEPTH_TEST);
        gl.glDepthFunc(GL_LEQUAL);
        gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    ~Loaded() {
        if (context.ok()) releaseAllDemoAssets(assets);
    }
};

Loaded* loaded = nullptr;

class ReleaseAtTheEnd : public ::testing::Environment {
public:
    void TearDown() override {
        delete loaded;
        loaded = nullptr;
    }
};

}  // namespace

DemoAssets& SceneTestAssets::get() {
    if (!loaded) {
        ::testing::AddGlobalTestEnvironment(new ReleaseAtTheEnd);
        loaded = new Loaded;
    }
    if (!loaded->context.ok()) throw std::runtime_error("no headless GL context");
    return loaded->assets;
}

const LaunchSettings& SceneTestAssets::settings() {
    get();
    return loaded->settings;
}

SceneClock sceneClockAtSeconds(double seconds) {
    const LaunchSettings& s = SceneTestAssets::settings();
    const auto position = static_cast<std::int64_t>(std::llround(seconds * 1e7));
    return computeSceneClock(position, s.screenWidth, s.screenHeight,
                             SceneTestAssets::get().sceneStartBars);
}

SceneClock sceneClockAtBars(double bars) {
    return sceneClockAtSeconds(bars * 4.0 * kSecondsPerBeat);
}

RecordedFrame drawRecorded(SceneRoutine scene, const SceneClock& clock) {
    DemoAssets& assets = SceneTestAssets::get();
    RecordedFrame frame;
    frame.clock = clock;
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    frame.stackDepthBefore = assets.matrixStack->depth();
    frame.calls = std::make_unique<GlCallRecorder>();
    scene(assets, frame.clock);
    frame.calls->stop();
    frame.stackDepthAfter = assets.matrixStack->depth();
    GLint value = 0;
    gl.glGetIntegerv(GL_DEPTH_TEST, &value);
    frame.depthTestAfter = value != 0;
    gl.glGetIntegerv(GL_BLEND, &value);
    frame.blendAfter = value != 0;
    gl.glGetIntegerv(GL_DEPTH_FUNC, &value);
    frame.depthFunctionAfter = GLenum(value);
    return frame;
}

std::vector<double> uploaded(const Matrix4& m) {
    return std::vector<double>(m.m, m.m + 16);
}

std::vector<unsigned char> readFrame() {
    const int w = SceneTestAssets::kWidth, h = SceneTestAssets::kHeight;
    std::vector<unsigned char> pixels(size_t(w) * h * 4);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
