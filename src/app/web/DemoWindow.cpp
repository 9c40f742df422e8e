// Web front end: the page's <canvas id="canvas"> with a WebGL 2 context.
//
// Implemented: the canvas's drawing buffer is exactly width x height (the page scales the element
// to fit its box or the screen); a WebGL 2 context without alpha, antialiasing or stencil, with a
// depth buffer; the GL entry table bound to emscripten's WebGL functions; full screen through the
// Fullscreen API on the page's stage element (create runs inside the click on Launch, the user
// gesture browsers require); `pump` clears `keyPressed` and reports whether to go on: Escape, the
// page leaving full screen after create entered it, and `endRequested` end the demo. Key down and
// up fill `keyDown` by the event's keyCode, which is the Windows virtual-key code for the keys
// the demo knows; both mouse buttons and the position over the canvas fill the mouse fields.
// Presenting happens when the browser's frame callback returns: the loop belongs to the browser.
// Missing: display modes (full screen shows the drawing buffer scaled to the screen).
// Differs: WebGL has no glPointSize (points take their size from the vertex shader), so that slot
// does nothing (gl/web/PointSize.cpp). GLSL ES forbids a sampler named "texture" (it hides the
// built-in function): the shader files name it "spriteTexture" there, and the uniform look-up maps
// the name.
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
    const unsigned key = e->keyCode & 0xff;
    if (type == EMSCRIPTEN_EVENT_KEYDOWN) {
        if (e->keyCode == 27) w.endRequested = 1;  // Escape
        if (!e->altKey && key != 0) w.keyDown[key] = w.keyPressed[key] = 1;
    } else {
        w.keyDown[key] = 0;
    }
    return EM_FALSE;  // the page keeps its own keys (F5, F11, ...)
}

EM_BOOL onMouse(int type, const EmscriptenMouseEvent* e, void* user) {
    DemoWindow& w = *static_cast<DemoWindow*>(user);
    w.mouseX = static_cast<std::int32_t>(e->targetX);
    w.mouseY = static_cast<std::int32_t>(e->targetY);
    const std::uint8_t down = type == EMSCRIPTEN_EVENT_MOUSEDOWN ? 1 : 0;
    if (type != EMSCRIPTEN_EVENT_MOUSEMOVE) {
        if (e->button == 0) w.leftButton = down;
        if (e->button == 2) w.rightButton = down;
    }
    return EM_FALSE;
}

EM_BOOL onFullscreenChange(int, const EmscriptenFullscreenChangeEvent* e, void* user) {
    if (!e->isFullscreen) *static_cast<bool*>(user) = true;
    return EM_FALSE;
}

}  // namespace

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
    for (std::uint8_t& k : keyDown) k = 0;
    leftButton = rightButton = 0;
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
    // Render targets are RGBA32F, sampled with linear filtering.
    for (const char* extension : {"EXT_color_buffer_float", "OES_texture_float_linear"}) {
        if (!emscripten_webgl_enable_extension(p.context, extension))
            std::printf("WebGL 2 without %s: some scenes may draw black\n", extension);
    }

    resolveGlEntryTable(lookUp);
    webUniformLocation = gl.glGetUniformLocation;
    if (webUniformLocation) gl.glGetUniformLocation = uniformLocation;
    if (const char* missing = firstMissingGlEntry()) {
        std::printf("WebGL 2 does not provide %s\n", missing);
        return false;
    }

    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_FALSE, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_FALSE, onKey);
    emscripten_set_mousedown_callback(kCanvas, this, EM_FALSE, onMouse);
    emscripten_set_mouseup_callback(kCanvas, this, EM_FALSE, onMouse);
    emscripten_set_mousemove_callback(kCanvas, this, EM_FALSE, onMouse);
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
    for (std::uint8_t& k : keyPressed) k = 0;
    if (platform_->leftFullscreen) endRequested = 1;
    return !endRequested;
}

void DemoWindow::shutdown() {
    Platform& p = *platform_;
    if (p.context == 0) return;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, nullptr);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, nullptr);
    emscripten_set_mousedown_callback(kCanvas, nullptr, EM_FALSE, nullptr);
    emscripten_set_mouseup_callback(kCanvas, nullptr, EM_FALSE, nullptr);
    emscripten_set_mousemove_callback(kCanvas, nullptr, EM_FALSE, nullptr);
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE,
                                             nullptr);
    velmora_exit_fullscreen();
    emscripten_webgl_make_context_current(0);
    emscripten_webgl_destroy_context(p.context);
    p = Platform{};
}

void DemoWindow::reportUnusableAssets(const std::vector<std::string>&) {}
