// Linux desktop front end: an SDL2 window with an OpenGL 3.3 core context.
//
// Implemented: the "Velmora" window, centred and not resizable, with a client area of width x
// height; full screen at width x height (the closest mode the display offers) with the cursor
// hidden, both restored at shutdown before the context goes; `width` and `height` then hold the
// drawable size the window really got (a window manager may make a window smaller than asked, a
// full-screen mode larger), which the viewport covers; a double-buffered 3.3 core
// context with a 24-bit depth buffer and whatever swap interval the driver starts with; `pump`
// presents, starts the frame's key presses afresh and drains every pending event: Escape, a quit
// event, closing the window and `endRequested` end the demo; key down (each repeat a press of its
// own, with the Shift and Ctrl held at that moment) and up fill `keys`, by their Windows
// virtual-key code (VirtualKeyCode.h). The mouse is not read. Missing: nothing the demo uses. There
// is no window icon. Differs from Windows: closing the window ends the demo. System keys (any key
// with Alt held, Alt itself, F10) are not recorded on key down, but every key up clears its entry,
// so a key released while Alt is held does not stay down. A missing display (SDL's invisible
// off-screen driver), 3.3 core context or GL entry point prints one line and makes `create` fail
// instead of calling through null. Without a window manager (Xvfb) full screen is the window at (0,
// 0) at width x height: nothing resizes it. A size changed after create() (a window manager acting
// late) is not followed.
#include "app/DemoWindow.h"

#include <SDL.h>

#include <string>

#include "app/StartupFailure.h"
#include "app/linux/SdlDisplayModes.h"
#include "app/linux/VirtualKeyCode.h"

// Last: Xlib's macros (None, Bool) would break the headers above.
#include <SDL_syswm.h>
#include <X11/Xlib.h>

struct DemoWindow::Platform {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    bool videoStarted = false;
};

namespace {

void* lookUp(const char* name) {
    return SDL_GL_GetProcAddress(name);
}

bool isSystemKey(const SDL_Keysym& key) {
    return (key.mod & KMOD_ALT) != 0 || key.sym == SDLK_F10 || key.sym == SDLK_LALT ||
           key.sym == SDLK_RALT;
}

std::uint8_t modifiers(const SDL_Keysym& key) {
    return static_cast<std::uint8_t>(((key.mod & KMOD_SHIFT) ? kShiftHeld : 0) |
                                     ((key.mod & KMOD_CTRL) ? kControlHeld : 0));
}

bool hasCoreContext33() {
    GLint major = 0, minor = 0, profile = 0;
    gl.glGetIntegerv(GL_MAJOR_VERSION, &major);
    gl.glGetIntegerv(GL_MINOR_VERSION, &minor);
    gl.glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    return (major > 3 || (major == 3 && minor >= 3)) && (profile & GL_CONTEXT_CORE_PROFILE_BIT);
}

// The size the window really shows, which is what gets drawn. SDL's own figure is the display
// mode's size for any full-screen window, even where nothing resized the window (no window
// manager): on X11 the server's size of the window is the one to trust.
void shownSize(SDL_Window* window, std::int32_t& width, std::int32_t& height) {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window, &w, &h);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        XWindowAttributes attributes;
        XSync(info.info.x11.display, False);
        if (XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes)) {
            w = attributes.width;
            h = attributes.height;
        }
    }
    width = w;
    height = h;
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
    keys.reset();
    Platform& p = *platform_;

    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        reportStartupFailure(std::string("SDL cannot start its video subsystem: ") +
                             SDL_GetError());
        return false;
    }
    p.videoStarted = true;
    if (!sdlHasRealDisplay()) {
        reportStartupFailure(std::string("No display for the window: SDL could only start its \"") +
                             SDL_GetCurrentVideoDriver() + "\" video driver");
        return false;
    }

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

    // Hidden until the context works, so a failure never flashes a window.
    const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (fullscreen) {
        p.window = SDL_CreateWindow("Velmora", 0, 0, w, h, flags | SDL_WINDOW_FULLSCREEN);
    } else {
        p.window = SDL_CreateWindow("Velmora", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                                    flags);
    }
    if (!p.window) {
        reportStartupFailure("Cannot create a " + std::to_string(w) + "x" + std::to_string(h) +
                             " window: " + SDL_GetError());
        return false;
    }
    if (fullscreen) {
        // Like the Windows mode record: 32 bits per pixel at width x height, any refresh rate.
        // When the display has no such mode SDL takes the closest one.
        const SDL_DisplayMode mode = {SDL_PIXELFORMAT_RGB888, w, h, 0, nullptr};
        SDL_SetWindowDisplayMode(p.window, &mode);
        SDL_ShowCursor(SDL_DISABLE);
    }

    p.context = SDL_GL_CreateContext(p.window);
    if (!p.context || SDL_GL_MakeCurrent(p.window, p.context) != 0) {
        reportStartupFailure(std::string("No OpenGL 3.3 core context: ") + SDL_GetError());
        return false;
    }
    resolveGlEntryTable(lookUp);
    if (!hasCoreContext33()) {
        const GLubyte* version = gl.glGetString(GL_VERSION);
        reportStartupFailure(std::string("No OpenGL 3.3 core context: the driver gave version ") +
                             (version ? reinterpret_cast<const char*>(version) : "(none)"));
        return false;
    }
    if (const char* missing = firstMissingGlEntry()) {
        reportStartupFailure(std::string("The OpenGL driver does not provide ") + missing);
        return false;
    }

    SDL_ShowWindow(p.window);
    SDL_PumpEvents();
    shownSize(p.window, width, height);
    gl.glViewport(0, 0, width, height);
    return true;
}

bool DemoWindow::pump() {
    SDL_GL_SwapWindow(platform_->window);
    keys.startFrame();

    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (endRequested) return false;
        switch (event.type) {
            case SDL_QUIT: return false;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_CLOSE) return false;
                break;
            case SDL_KEYDOWN: {
                if (event.key.keysym.sym == SDLK_ESCAPE) return false;
                if (!isSystemKey(event.key.keysym))
                    keys.press(virtualKeyCode(event.key.keysym.sym), modifiers(event.key.keysym));
                break;
            }
            case SDL_KEYUP: keys.release(virtualKeyCode(event.key.keysym.sym)); break;
            default: break;
        }
    }
    return !endRequested;
}

void DemoWindow::shutdown() {
    Platform& p = *platform_;
    if (p.window && fullscreen) {
        SDL_ShowCursor(SDL_ENABLE);
        SDL_SetWindowFullscreen(p.window, 0);  // gives the desktop its own mode back
    }
    if (p.context) {
        SDL_GL_MakeCurrent(p.window, nullptr);
        SDL_GL_DeleteContext(p.context);
    }
    if (p.window) SDL_DestroyWindow(p.window);
    if (p.videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    p = Platform{};
}

void DemoWindow::reportUnusableAssets(const std::vector<std::string>&) {}
