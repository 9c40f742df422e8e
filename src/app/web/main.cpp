// velmora in the browser. The page (index.html) is the launcher: it decodes the images, opens the
// soundtrack, and on Launch calls velmora_launch inside the click, so that full screen and sound
// are allowed. From then on the browser owns the loop: one demo frame per animation frame.
// The page reads the state through the other exports (frames drawn, music position) and may
// draw single still frames at chosen times instead of playing (velmora_launch_still).
// The load phase gives the browser a turn before it starts and at each image (built with
// asyncify: the page calls the launch functions with ccall's async option), so the page keeps
// answering while it runs. A lost WebGL context stops the frames and the music; when the browser
// gives the context back, the load phase runs again and the demo goes on where it stopped.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstdio>

#include "app/DemoWindow.h"
#include "app/LauncherList.h"
#include "app/PictureSize.h"
#include "audio/FrameClockMusicPlayer.h"
#include "audio/MusicPosition.h"
#include "audio/web/WebMusicPlayer.h"
#include "demo/Demo.h"
#include "gl/RenderTarget.h"
#include "gl/Texture2D.h"

// What DemoWindow::create enables on a context (DemoWindow.cpp); a restored one has lost it.
void enableWebGlExtensions(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context);

namespace {

struct WebDemo {
    DemoWindow window;
    WebMusicPlayer music;
    FrameClockMusicPlayer stillClock;  // still frames: the position is set, no sound
    MusicPlayer* player = &music;
    Demo demo;
    bool loaded = false;
    bool running = false;
    bool lost = false;  // the WebGL context is gone: no frames until it comes back
    bool playingWhenLost = false;
    std::int64_t lostAt = 0;    // the position the picture stopped at
    double stillSeconds = 0.0;  // the last still drawn
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

// WebGL has no proxy textures: the scene target's two textures are made once at that size, and
// the size is refused when the browser cannot hold them (instead of the load phase stopping on an
// incomplete framebuffer). The drawing buffer, too, may come out smaller than asked.
std::string webSizeProblem(int width, int height) {
    const std::string problem = pictureSizeProblem(width, height);
    if (!problem.empty()) return problem;
    const std::string prefix =
        "Cannot draw at " + std::to_string(width) + "x" + std::to_string(height) + ": ";
    int bufferWidth = 0, bufferHeight = 0;
    emscripten_webgl_get_drawing_buffer_size(emscripten_webgl_get_current_context(), &bufferWidth,
                                             &bufferHeight);
    if (bufferWidth != width || bufferHeight != height)
        return prefix + "this browser gives the page a picture of only " +
               std::to_string(bufferWidth) + "x" + std::to_string(bufferHeight);
    while (glGetError() != GL_NO_ERROR) {
    }
    bool complete = false;
    {
        auto colour = Texture2D::createEmpty(width, height, false);
        auto depth = Texture2D::createEmpty(width, height, true);
        RenderTarget target;
        target.attach(0, colour.get(), GL_COLOR_ATTACHMENT0);
        target.attach(1, depth.get(), GL_DEPTH_ATTACHMENT);
        gl.glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
        complete = gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    if (glGetError() != GL_NO_ERROR || !complete)
        return prefix +
               "this WebGL cannot hold a floating-point picture and its depth of that size";
    return {};
}

bool load(const char* size, bool fullscreen, bool still) {
    WebDemo& d = web();
    if (d.loaded) return false;
    d.player = still ? static_cast<MusicPlayer*>(&d.stillClock) : &d.music;
    int width = 0, height = 0;
    if (!chooseResolution(size, width, height)) {
        std::printf("%s\n", kResolutionNeeded);
        return false;
    }
    if (!d.window.create(width, height, fullscreen)) {
        d.window.shutdown();
        return false;
    }
    const std::string problem = webSizeProblem(width, height);
    if (!problem.empty()) {
        std::printf("%s\n", problem.c_str());
        d.window.shutdown();
        return false;
    }
    emscripten_sleep(0);  // the page shows that it is launching
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
// Returns 0 when the size is unusable or WebGL 2 is missing (the reason is the last line printed).
// The page calls it with ccall's async option: the load phase gives the browser turns.
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
    d.stillSeconds = seconds;
    if (d.lost) return 1;  // drawn once the context is back
    // As the headless runner draws a lone frame: the position rounded to 100 ns, after the frame a
    // 60 fps run draws before it (which hands on the clear colour).
    const std::int64_t position = positionOfSeconds(seconds);
    d.stillClock.setPosition(position);
    d.demo.prepareLoneFrame(position, 60.0);
    drawFrame(position);
    return 1;
}

// The page saw webglcontextlost: every GL object is gone. The frames and the music stop there.
EMSCRIPTEN_KEEPALIVE void velmora_context_lost() {
    WebDemo& d = web();
    if (!d.loaded || d.lost) return;
    d.lost = true;
    d.lostAt = d.player->position();
    d.playingWhenLost = d.running && d.music.playing();
    if (!d.running) return;
    emscripten_pause_main_loop();
    d.music.pause();
}

// The page saw webglcontextrestored: the load phase again, then on from where the picture stopped.
// Returns 0 when there was nothing to restore.
EMSCRIPTEN_KEEPALIVE int velmora_context_restored() {
    WebDemo& d = web();
    if (!d.lost) return 0;
    std::printf("The WebGL context is back: loading again\n");
    d.demo.release();  // names of objects that died with the old context
    enableWebGlExtensions(emscripten_webgl_get_current_context());
    gl.glViewport(0, 0, d.demo.width(), d.demo.height());
    d.demo.load(d.demo.width(), d.demo.height(), *d.player);
    d.lost = false;
    if (!d.running) return velmora_still(d.stillSeconds);
    d.music.seek(secondsOfPosition(d.lostAt));
    if (!d.playingWhenLost) d.music.pause();
    d.demo.prepareLoneFrame(d.music.position(), 60.0);
    emscripten_resume_main_loop();
    return 1;
}

EMSCRIPTEN_KEEPALIVE void velmora_toggle_pause() {
    WebDemo& d = web();
    if (!d.running || d.lost) return;
    if (d.music.playing())
        d.music.pause();
    else
        d.music.play();
}

EMSCRIPTEN_KEEPALIVE void velmora_seek(double seconds) {
    WebDemo& d = web();
    if (!d.running || d.lost) return;
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
