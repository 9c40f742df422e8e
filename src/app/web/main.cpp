// velmora in the browser. The page (index.html) is the launcher: it decodes the images, opens the
// soundtrack, and on Launch calls velmora_launch inside the click, so that full screen and sound
// are allowed. From then on the browser owns the loop: one demo frame per animation frame.
// The page reads the state through the other exports (frames drawn, music position) and may
// draw single still frames at chosen times instead of playing (velmora_launch_still).
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstdio>

#include "app/DemoWindow.h"
#include "app/LauncherList.h"
#include "audio/FrameClockMusicPlayer.h"
#include "audio/MusicPosition.h"
#include "audio/web/WebMusicPlayer.h"
#include "demo/Demo.h"

namespace {

struct WebDemo {
    DemoWindow window;
    WebMusicPlayer music;
    FrameClockMusicPlayer stillClock;  // still frames: the position is set, no sound
    MusicPlayer* player = &music;
    Demo demo;
    bool loaded = false;
    bool running = false;
    long frames = 0;
};

WebDemo& web() {
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
    WebDemo& d = web();
    if (d.loaded) return false;
    d.player = still ? static_cast<MusicPlayer*>(&d.stillClock) : &d.music;
    int width = 0, height = 0;
    if (!chooseResolution(size, width, height)) {
        std::printf("%s\n", kResolutionNeeded);
        return false;
    }
    if (!d.window.create(width, height, fullscreen)) return false;
    d.demo.load(width, height, *d.player);
    d.loaded = true;
    return true;
}

// One frame at `position`, presented when the browser's frame callback returns; false once the
// demo has ended (that frame is still drawn).
bool drawFrame(std::int64_t position) {
    WebDemo& d = web();
    const bool more = d.demo.frame(position);
    ++d.frames;
    velmora_page_frame(d.frames, secondsOfPosition(position));
    return more && d.window.pump();
}

void finish() {
    WebDemo& d = web();
    emscripten_cancel_main_loop();
    d.running = false;
    d.music.pause();
    d.demo.release();
    d.window.shutdown();
    velmora_page_ended();
}

void browserFrame() {
    if (!drawFrame(web().player->position())) finish();
}

}  // namespace

extern "C" {

// Launch: the window (canvas) at `size` ("WxH"), the load phase, the music, then the loop.
// Returns 0 when the size is unusable or WebGL 2 is missing (the reason is on the console).
EMSCRIPTEN_KEEPALIVE int velmora_launch(const char* size, int fullscreen) {
    if (!load(size, fullscreen != 0, false)) return 0;
    WebDemo& d = web();
    d.running = true;
    emscripten_set_main_loop(browserFrame, 0, 0);
    return 1;
}

// Loads without playing, for still frames (velmora_still).
EMSCRIPTEN_KEEPALIVE int velmora_launch_still(const char* size) {
    return load(size, false, true) ? 1 : 0;
}

// Draws exactly one frame at `seconds` (another, unseen, before it: see below).
EMSCRIPTEN_KEEPALIVE int velmora_still(double seconds) {
    WebDemo& d = web();
    if (!d.loaded || d.running || !(seconds >= 0.0) || seconds > MusicPlayer::kMaxSeekSeconds)
        return 0;
    // As the headless runner draws a lone frame: the position rounded to 100 ns, after the frame a
    // 60 fps run draws before it (which hands on the clear colour).
    const std::int64_t position = positionOfSeconds(seconds);
    d.stillClock.setPosition(position);
    d.demo.prepareLoneFrame(position, 60.0);
    drawFrame(position);
    return 1;
}

EMSCRIPTEN_KEEPALIVE void velmora_toggle_pause() {
    WebDemo& d = web();
    if (!d.running) return;
    if (d.music.playing())
        d.music.pause();
    else
        d.music.play();
}

EMSCRIPTEN_KEEPALIVE void velmora_seek(double seconds) {
    WebDemo& d = web();
    if (!d.running) return;
    d.music.seek(seconds);
    // The next frame shows what a continuous run shows there (see velmora_still).
    d.demo.prepareLoneFrame(d.music.position(), 60.0);
}

EMSCRIPTEN_KEEPALIVE double velmora_position_seconds() {
    WebDemo& d = web();
    return d.loaded ? secondsOfPosition(d.player->position()) : 0.0;
}

EMSCRIPTEN_KEEPALIVE int velmora_frames() {
    return static_cast<int>(web().frames);
}

EMSCRIPTEN_KEEPALIVE int velmora_audible() {
    return web().music.audible() ? 1 : 0;
}

}  // extern "C"

int main() {
    // Nothing to do until the page calls velmora_launch; the runtime stays alive for it.
    return 0;
}
