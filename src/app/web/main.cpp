// velmora in the browser. The page (index.html) is the launcher: it decodes the images, opens the
// soundtrack, and on Launch calls velmora_launch inside the click, so that full screen and sound
// are allowed. From then on the browser owns the loop: one demo frame per animation frame.
// The page reads the state through the other exports (frames drawn, music position) and may
// draw single still frames at chosen times instead of playing (velmora_launch_still).
#include <emscripten/emscripten.h>

#include <cstdio>

#include "app/DemoWindow.h"
#include "app/LaunchSettings.h"
#include "app/LauncherList.h"
#include "audio/FrameClockMusicPlayer.h"
#include "audio/web/WebMusicPlayer.h"
#include "demo/DemoAssets.h"
#include "demo/FrameEnd.h"
#include "demo/FrameHead.h"
#include "demo/LoadPhase.h"
#include "gl/GlEntryTable.h"

namespace {

struct WebDemo {
    LaunchSettings settings;
    DemoWindow window;
    WebMusicPlayer music;
    FrameClockMusicPlayer stillClock;  // still frames: the position is set, no sound
    MusicPlayer* player = &music;
    DemoAssets assets;
    bool loaded = false;
    bool running = false;
    long frames = 0;
};

WebDemo& demo() {
    static WebDemo instance;
    return instance;
}

// The EM_JS bodies are JavaScript, which clang-format would mangle.
// clang-format off
// Tells the page about each drawn frame and about the end.
EM_JS(void, velmora_page_frame, (long frames, double seconds), {
    if (Module.velmoraFrame) Module.velmoraFrame(frames, seconds);
});
EM_JS(void, velmora_page_ended, (), {
    if (Module.velmoraEnded) Module.velmoraEnded();
});
// clang-format on

bool load(const char* size, bool fullscreen, bool still) {
    WebDemo& d = demo();
    if (d.loaded) return false;
    d.player = still ? static_cast<MusicPlayer*>(&d.stillClock) : &d.music;
    int width = 0, height = 0;
    if (!chooseResolution(size, width, height)) {
        std::printf("%s\n", kResolutionNeeded);
        return false;
    }
    d.settings.width = width;
    d.settings.height = height;
    d.settings.fullscreen = fullscreen ? 1 : 0;
    d.settings.screenWidth = static_cast<float>(width);
    d.settings.screenHeight = static_cast<float>(height);
    if (!d.window.create(width, height, fullscreen)) return false;

    std::printf(
        "Vendor         : %s\nRenderer       : %s\nOpenGL version : %s\nGLSL version   : %s\n",
        gl.glGetString(GL_VENDOR), gl.glGetString(GL_RENDERER), gl.glGetString(GL_VERSION),
        gl.glGetString(GL_SHADING_LANGUAGE_VERSION));
    gl.glClearColor(0.05f, 0.06f, 0.07f, 0.0f);
    loadDemoAssets(d.assets, d.settings, *d.player);
    gl.glEnable(GL_DEPTH_TEST);
    gl.glDepthFunc(GL_LEQUAL);
    gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    d.loaded = true;
    return true;
}

// One frame at the music's position; false once the demo has ended (that frame is still drawn).
bool drawFrame() {
    WebDemo& d = demo();
    const std::int64_t position = d.player->position();
    SceneClock clock = frameHead(position, d.settings, d.assets.sceneStartBars);
    drawScene(d.assets, clock);
    const bool more = frameEnd(clock.bars, d.window);
    ++d.frames;
    velmora_page_frame(d.frames, static_cast<double>(position) / 1e7);
    return more;
}

void finish() {
    WebDemo& d = demo();
    emscripten_cancel_main_loop();
    d.running = false;
    d.music.pause();
    releaseDemoAssets(d.assets);
    std::fflush(stdout);
    d.window.shutdown();
    velmora_page_ended();
}

void browserFrame() {
    if (!drawFrame()) finish();
}

}  // namespace

extern "C" {

// Launch: the window (canvas) at `size` ("WxH"), the load phase, the music, then the loop.
// Returns 0 when the size is unusable or WebGL 2 is missing (the reason is on the console).
EMSCRIPTEN_KEEPALIVE int velmora_launch(const char* size, int fullscreen) {
    if (!load(size, fullscreen != 0, false)) return 0;
    WebDemo& d = demo();
    d.running = true;
    emscripten_set_main_loop(browserFrame, 0, 0);
    return 1;
}

// Loads without playing, for still frames (velmora_still).
EMSCRIPTEN_KEEPALIVE int velmora_launch_still(const char* size) {
    return load(size, false, true) ? 1 : 0;
}

// Draws exactly one frame at `seconds`, truncated to 100 ns as the headless runner does.
EMSCRIPTEN_KEEPALIVE int velmora_still(double seconds) {
    WebDemo& d = demo();
    if (!d.loaded || d.running || !(seconds >= 0.0) || seconds > MusicPlayer::kMaxSeekSeconds)
        return 0;
    d.stillClock.setPosition(static_cast<std::int64_t>(seconds * 1e7));
    drawFrame();
    return 1;
}

EMSCRIPTEN_KEEPALIVE void velmora_toggle_pause() {
    WebDemo& d = demo();
    if (!d.running) return;
    if (d.music.playing())
        d.music.pause();
    else
        d.music.play();
}

EMSCRIPTEN_KEEPALIVE void velmora_seek(double seconds) {
    if (demo().running) demo().music.seek(seconds);
}

EMSCRIPTEN_KEEPALIVE double velmora_position_seconds() {
    WebDemo& d = demo();
    return d.loaded ? static_cast<double>(d.player->position()) / 1e7 : 0.0;
}

EMSCRIPTEN_KEEPALIVE int velmora_frames() {
    return static_cast<int>(demo().frames);
}

EMSCRIPTEN_KEEPALIVE int velmora_audible() {
    return demo().music.audible() ? 1 : 0;
}

}  // extern "C"

int main() {
    // Nothing to do until the page calls velmora_launch; the runtime stays alive for it.
    return 0;
}
