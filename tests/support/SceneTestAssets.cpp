#include "support/SceneTestAssets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "audio/FrameClockMusicPlayer.h"
#include "audio/MusicPosition.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/RenderTarget.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "math/MatrixStack.h"
#include "support/GlTestContext.h"

namespace {

struct Loaded {
    GlTestContext context{SceneTestAssets::kWidth, SceneTestAssets::kHeight};
    FrameClockMusicPlayer music;
    Demo demo;

    Loaded() {
        if (context.ok()) demo.load(SceneTestAssets::kWidth, SceneTestAssets::kHeight, music);
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

Demo& SceneTestAssets::demo() {
    if (!loaded) {
        ::testing::AddGlobalTestEnvironment(new ReleaseAtTheEnd);
        loaded = new Loaded;
    }
    if (!loaded->context.ok()) throw std::runtime_error("no headless GL context");
    return loaded->demo;
}

SceneClock sceneClockAtSeconds(double seconds) {
    return SceneTestAssets::demo().clockAt(positionOfSeconds(seconds));
}

SceneClock sceneClockAtBars(double bars) {
    return sceneClockAtSeconds(secondsOfBars(bars));
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
