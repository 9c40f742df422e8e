// Web front end: the page's <canvas id="canvas"> with a WebGL 2 context.
//
// Implemented: the canvas's drawing buffer is exactly width x height (the page scales the element
// to fit its box or the screen); a WebGL 2 context without alpha, antialiasing or stencil, with a
// depth buffer; the GL entry table bound to emscripten's WebGL functions; full screen through the
// Fullscreen API on the page's stage element (create runs inside the click on Launch, the user
// gesture browsers require); `pump` starts the frame's key presses afresh and reports whether to go
// on: Escape, the page leaving full screen after create entered it, and `endRequested` end the
// demo. Key down and up fill `keys` by the event's keyCode, which is the Windows virtual-key code
// for the keys the demo knows, with Shift and Ctrl as the event carries them; keys with Alt are not
// recorded. The mouse is not read. Presenting happens when the browser's frame callback returns:
// the loop belongs to the browser. Missing: display modes (full screen shows the drawing buffer
// scaled to the screen). Differs: WebGL has no glPointSize (points take their size from the vertex
// shader), so that slot does nothing (gl/web/PointSize.cpp). GLSL ES forbids a sampler named
// "texture" (it hides the built-in function): the shader files name it "spriteTexture" there, and
// the uniform look-up maps the name.
#include "app/DemoWindow.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

struct DemoWindow::Platform {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
    bool leftFullscreen = false;
};

namespace {

const char* const kCanvas = "#canvas";

void* lookUp(const char* name) {
    return emscripten_webgl_get_proc_address(name);
}

GLint(APIENTRY* webUniformLocation)(GLuint, const GLchar*) = nullptr;

GLint APIENTRY uniformLocation(GLuint program, const GLchar* name) {
    if (std::strcmp(name, "texture") == 0) name = "spriteTexture";
    return webUniformLocation(program, name);
}

// The EM_JS bodies are JavaScript, which clang-format would mangle.
// clang-format off
// Asks the page's stage element (the canvas's box) for full screen; false when the browser has no
// Fullscreen API or refuses at once.
EM_JS(int, velmora_request_fullscreen, (), {
    const stage = document.getElementById("stage") || document.getElementById("canvas");
    if (!stage || !stage.requestFullscreen) return 0;
    stage.requestFullscreen().catch(() => {});
    return 1;
});

EM_JS(void, velmora_exit_fullscreen, (), {
    if (document.fullscreenElement && document.exitFullscreen)
        document.exitFullscreen().catch(() => {});
});

// Keeps the drawing buffer between frames where the page asks for it (single still frames that a
// test reads back after the browser has presented them).
EM_JS(int, velmora_preserve_drawing_buffer, (), { return Module.velmoraPreserve ? 1 : 0; });
// clang-format on

EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* e, void* user) {
    DemoWindow& w = *static_cast<DemoWindow*>(user);
    const Key key = static_cast<Key>(e->keyCode & 0xff);
    if (type == EMSCRIPTEN_EVENT_KEYDOWN) {
        if (key == Key::Escape) w.endRequested = 1;
        const std::uint8_t modifiers = static_cast<std::uint8_t>((e->shiftKey ? kShiftHeld : 0) |
                                                                 (e->ctrlKey ? kControlHeld : 0));
        if (!e->altKey) w.keys.press(key, modifiers);
    } else {
        w.keys.release(key);
    }
    return EM_FALSE;  // the page keeps its own keys (F5, F11, ...)
}

EM_BOOL onFullscreenChange(int, const EmscriptenFullscreenChangeEvent* e, void* user) {
    if (!e->isFullscreen) *static_cast<bool*>(user) = true;
    return EM_FALSE;
}

}  // namespace

void enableWebGlExtensions(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context) {
    // Render targets are RGBA32F, sampled with linear filtering.
    for (const char* extension : {"EXT_color_buffer_float", "OES_texture_float_linear"}) {
        if (!emscripten_webgl_enable_extension(context, extension))
            std::printf("WebGL 2 without %s: some scenes may draw black\n", extension);
    }
}

DemoWindow::DemoWindow() : platform_(new Platform) {}

DemoWindow::~DemoWindow() {
    shutdown();
    delete platform_;
}

bool DemoWindow::create(int w, int h, bool wantFullscreen) {
    width = w;
    height = h;
    fullscreen = wantFullscreen ? 1 : 0;
    endRequested = 0;
    keys.reset();
    Platform& p = *platform_;

    if (emscripten_set_canvas_element_size(kCanvas, w, h) != EMSCRIPTEN_RESULT_SUCCESS) {
        std::printf("The page has no canvas element for the demo\n");
        return false;
    }
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = velmora_preserve_drawing_buffer() ? EM_TRUE : EM_FALSE;
    attributes.enableExtensionsByDefault = EM_TRUE;
    p.context = emscripten_webgl_create_context(kCanvas, &attributes);
    if (p.context <= 0) {
        std::printf(
            "No WebGL 2 context: this browser or its graphics driver does not offer WebGL 2\n");
        p.context = 0;
        return false;
    }
    emscripten_webgl_make_context_current(p.context);
    enableWebGlExtensions(p.context);

    resolveGlEntryTable(lookUp);
    webUniformLocation = gl.glGetUniformLocation;
    if (webUniformLocation) gl.glGetUniformLocation = uniformLocation;
    if (const char* missing = firstMissingGlEntry()) {
        std::printf("WebGL 2 does not provide %s\n", missing);
        return false;
    }

    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_FALSE, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_FALSE, onKey);
    p.leftFullscreen = false;
    if (fullscreen) {
        if (velmora_request_fullscreen()) {
            emscripten_set_fullscreenchange_callback(
                EMSCRIPTEN_EVENT_TARGET_DOCUMENT, &p.leftFullscreen, EM_FALSE, onFullscreenChange);
        } else {
            std::printf("This browser has no full screen: the demo plays in the page\n");
        }
    }
    gl.glViewport(0, 0, w, h);
    return true;
}

bool DemoWindow::pump() {
    keys.startFrame();
    if (platform_->leftFullscreen) endRequested = 1;
    return !endRequested;
}

void DemoWindow::shutdown() {
    Platform& p = *platform_;
    if (p.context == 0) return;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, nullptr);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, nullptr);
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE,
                                             nullptr);
    velmora_exit_fullscreen();
    emscripten_webgl_make_context_current(0);
    emscripten_webgl_destroy_context(p.context);
    p = Platform{};
}

void DemoWindow::reportUnusableAssets(const std::vector<std::string>&) {}
