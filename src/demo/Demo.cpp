#include "demo/Demo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/MusicPlayer.h"
#include "audio/MusicPosition.h"
#include "demo/FrameEnd.h"
#include "demo/FrameHead.h"
#include "demo/LoadPhase.h"
#include "demo/Timeline.h"
#include "gl/GlEntryTable.h"

namespace {

// The colour the first frame is cleared with; every scene then sets its own for the next frame.
constexpr float kFirstClearColour[4] = {0.05f, 0.06f, 0.07f, 0.0f};

void setFirstClearColour() {
    const float* c = kFirstClearColour;
    gl.glClearColor(c[0], c[1], c[2], c[3]);
}

}  // namespace

Demo::~Demo() {
    release();
}

void Demo::load(int width, int height, MusicPlayer& music) {
    width_ = width;
    height_ = height;
    std::printf(
        "Vendor         : %s\nRenderer       : %s\nOpenGL version : %s\nGLSL version   : %s\n",
        gl.glGetString(GL_VENDOR), gl.glGetString(GL_RENDERER), gl.glGetString(GL_VERSION),
        gl.glGetString(GL_SHADING_LANGUAGE_VERSION));
    setFirstClearColour();
    unusableAssets_ = loadDemoAssets(assets_, width, height, music);
    loaded_ = true;

    gl.glEnable(GL_DEPTH_TEST);
    gl.glDepthFunc(GL_LEQUAL);
    gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

SceneClock Demo::clockAt(std::int64_t position) const {
    return computeSceneClock(position, static_cast<float>(width_), static_cast<float>(height_));
}

bool Demo::frame(std::int64_t position) {
    SceneClock clock = frameHead(position, static_cast<float>(width_), static_cast<float>(height_));
    drawScene(assets_, clock);
    return frameEnd(clock.bars);
}

void Demo::prepareLoneFrame(std::int64_t position, double fps) {
    std::int64_t previous = std::llround(secondsOfPosition(position) * fps) - 1;
    if (previous < 0) {
        setFirstClearColour();
        return;
    }
    // Frames without a scene set nothing: the colour then comes from the last scene's last frame.
    if (!clockAt(framePosition(previous, fps)).scene) {
        std::int64_t last = static_cast<std::int64_t>(secondsOfBars(kLastSceneEndBar) * fps);
        while (last > 0 && !clockAt(framePosition(last, fps)).scene) --last;
        while (clockAt(framePosition(last + 1, fps)).scene) ++last;
        previous = std::min(previous, last);
    }
    frame(framePosition(previous, fps));
}

void Demo::release() {
    if (!loaded_) return;
    loaded_ = false;
    releaseDemoAssets(assets_);
    std::fflush(stdout);
}

std::int64_t framePosition(std::int64_t frame, double fps) {
    return positionOfSeconds(static_cast<double>(frame) / fps);
}

bool Demo::isLastFrame(std::int64_t position) {
    return isPastTheEnd(computeSceneClock(position, 1.0f, 1.0f).bars);
}
