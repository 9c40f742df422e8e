// Windows front end: a Win32 window with a WGL 3.3 core context.
//
// Implemented: the class "classy class" (CS_OWNDC, the default window procedure, icon 102); a
// hidden bootstrap window "tmp" with a legacy context, only to reach wglChoosePixelFormatARB and
// wglCreateContextAttribsARB, destroyed once the real context exists; windowed (centred on the
// work area by its outer size, so the client area is width x height where that fits) or full
// screen (a temporary 32-bit display-mode change, cursor hidden); the PeekMessage pump with
// Escape and keys (each press with its repeat count and the Shift and Ctrl held with it; the
// mouse is not read); GDI+ start-up and shut-down.
// Differs: `width` and `height` are the client area the window really got (a window with no room
// on the screen is made to fit the work area, smaller), and the viewport matches it. A failed
// display-mode change prints one line and falls back to the centred window. A missing WGL
// extension function, pixel format, 3.3 core context or called GL entry point prints one line
// and create() fails instead of calling through null. Closing the window ends the demo (the
// default procedure destroys it without a quit message, so the pump checks). shutdown() leaves
// ending the process to the entry, which returns 0 after the music player has released its
// filter graph (one exit under Wine with the graph still streaming crashed).
#include "app/DemoWindow.h"

#include <GL/wglext.h>

#include <cstdio>
#include <filesystem>

#include "app/StartupFailure.h"
#include "app/win32/ConsoleLog.h"
#include "demo/DemoAssets.h"
#include "gl/win32/GdiplusHeaders.h"

struct DemoWindow::Platform {
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    HDC deviceContext = nullptr;
    HGLRC glContext = nullptr;
    ULONG_PTR gdiplusToken = 0;
};

namespace {

const wchar_t kClassName[] = L"classy class";
const DWORD kExStyle = WS_EX_APPWINDOW;
const DWORD kWindowedStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const DWORD kFullscreenStyle = WS_POPUP;
const DWORD kBootstrapStyle = WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX;
const int kIconResource = 102;

std::uint8_t heldModifiers() {
    return static_cast<std::uint8_t>((GetKeyState(VK_SHIFT) < 0 ? kShiftHeld : 0) |
                                     (GetKeyState(VK_CONTROL) < 0 ? kControlHeld : 0));
}

// clang-format off
const int kPixelFormatAttributes[] = {
    WGL_DRAW_TO_WINDOW_ARB, 1,
    WGL_SUPPORT_OPENGL_ARB, 1,
    WGL_ACCELERATION_ARB, WGL_FULL_ACCELERATION_ARB,
    WGL_DOUBLE_BUFFER_ARB, 1,
    WGL_PIXEL_TYPE_ARB, WGL_TYPE_RGBA_ARB,
    WGL_COLOR_BITS_ARB, 32,
    WGL_DEPTH_BITS_ARB, 24,
    0};

// No context flags, no share context.
const int kContextAttributes[] = {
    WGL_CONTEXT_PROFILE_MASK_ARB, WGL_CONTEXT_CORE_PROFILE_BIT_ARB,
    WGL_CONTEXT_MAJOR_VERSION_ARB, 3,
    WGL_CONTEXT_MINOR_VERSION_ARB, 3,
    0};
// clang-format on

PIXELFORMATDESCRIPTOR legacyPixelFormat() {
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 24;
    return pfd;
}

void* lookUp(const char* name) {
    return reinterpret_cast<void*>(wglGetProcAddress(name));
}

// A window whose client area is width x height, centred on the work area. When that does not fit
// (the largest display mode, windowed, has no room for the title bar) the window is made to fit
// the work area and the client area shrinks: create() reads back the size it got.
void placeWindow(int width, int height, int& x, int& y, int& outerWidth, int& outerHeight) {
    RECT rect = {0, 0, width, height};
    AdjustWindowRectEx(&rect, kWindowedStyle, FALSE, kExStyle);
    outerWidth = rect.right - rect.left;
    outerHeight = rect.bottom - rect.top;
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    if (workWidth > 0 && outerWidth > workWidth) outerWidth = workWidth;
    if (workHeight > 0 && outerHeight > workHeight) outerHeight = workHeight;
    x = work.left + (workWidth - outerWidth) / 2;
    y = work.top + (workHeight - outerHeight) / 2;
}

}  // namespace

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "legacy pixel format descriptor");
static_assert(sizeof(DEVMODEA) == 156, "display-mode record");

DemoWindow::DemoWindow() : platform_(new Platform) {}

DemoWindow::~DemoWindow() {
    delete platform_;
}

bool DemoWindow::create(int w, int h, bool full) {
    Platform& p = *platform_;
    width = w;
    height = h;
    fullscreen = full ? 1 : 0;
    endRequested = 0;
    p.instance = GetModuleHandleW(nullptr);
    // The bootstrap window only carries a legacy context through which the WGL extension
    // functions can be looked up; it is never shown, and goes once the real context exists.
    HWND bootstrap = nullptr;
    HDC bootstrapDc = nullptr;
    HGLRC legacyContext = nullptr;
    auto dropBootstrap = [&] {
        if (legacyContext) {
            if (wglGetCurrentContext() == legacyContext) wglMakeCurrent(nullptr, nullptr);
            wglDeleteContext(legacyContext);
        }
        if (bootstrapDc) ReleaseDC(bootstrap, bootstrapDc);
        if (bootstrap) DestroyWindow(bootstrap);
        legacyContext = nullptr;
        bootstrapDc = nullptr;
        bootstrap = nullptr;
    };
    // Every failure is one line, which the entry shows in a box; a display mode already switched
    // is put back first.
    auto fail = [this, &dropBootstrap](const char* message) {
        dropBootstrap();
        if (fullscreen) {
            ShowCursor(TRUE);
            ChangeDisplaySettingsA(nullptr, 0);
        }
        reportStartupFailure(message);
        return false;
    };

    WNDCLASSW windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = p.instance;
    windowClass.hIcon = LoadIconW(p.instance, MAKEINTRESOURCEW(kIconResource));
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    keys.reset();

    const PIXELFORMATDESCRIPTOR pfd = legacyPixelFormat();
    bootstrap = CreateWindowExW(kExStyle, kClassName, L"tmp", kBootstrapStyle, 0, 0, 0, 0, nullptr,
                                nullptr, p.instance, nullptr);
    bootstrapDc = bootstrap ? GetDC(bootstrap) : nullptr;
    if (bootstrapDc) {
        SetPixelFormat(bootstrapDc, ChoosePixelFormat(bootstrapDc, &pfd), &pfd);
        legacyContext = wglCreateContext(bootstrapDc);
    }
    if (!legacyContext || !wglMakeCurrent(bootstrapDc, legacyContext))
        return fail("No legacy OpenGL context for the bootstrap window: WGL is not available");

    DWORD style = kWindowedStyle;
    int x = 0, y = 0, outerWidth = w, outerHeight = h;
    if (fullscreen) {
        DEVMODEA mode = {};
        mode.dmSize = sizeof mode;
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        mode.dmBitsPerPel = 32;
        mode.dmPelsWidth = static_cast<DWORD>(w);
        mode.dmPelsHeight = static_cast<DWORD>(h);
        const LONG changed = ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
        if (changed == DISP_CHANGE_SUCCESSFUL) {
            ShowCursor(FALSE);
            style = kFullscreenStyle;
        } else {
            // A borderless window in the corner of an unchanged screen would be the result.
            std::printf(
                "The display cannot switch to %dx%d at 32 bits per pixel (%ld): the demo "
                "runs in a centred window\n",
                w, h, static_cast<long>(changed));
            fullscreen = 0;
        }
    }
    if (!fullscreen) placeWindow(w, h, x, y, outerWidth, outerHeight);
    p.window = CreateWindowExW(kExStyle, kClassName, L"Velmora", style, x, y, outerWidth,
                               outerHeight, nullptr, nullptr, p.instance, nullptr);
    if (!p.window) return fail("Cannot create the window");
    p.deviceContext = GetDC(p.window);
    // The client area Windows gave is the size drawn at: a window taller than the screen is cut
    // down by the system, and the picture must fill what is left rather than lose its top rows.
    RECT client = {};
    GetClientRect(p.window, &client);
    width = client.right - client.left;
    height = client.bottom - client.top;

    auto choosePixelFormat =
        reinterpret_cast<PFNWGLCHOOSEPIXELFORMATARBPROC>(lookUp("wglChoosePixelFormatARB"));
    if (!choosePixelFormat)
        return fail("The OpenGL driver has no wglChoosePixelFormatARB (WGL_ARB_pixel_format)");
    int format = 0;
    UINT formats = 0;
    if (!choosePixelFormat(p.deviceContext, kPixelFormatAttributes, nullptr, 1, &format,
                           &formats) ||
        formats == 0)
        return fail(
            "No accelerated double-buffered pixel format with 32-bit colour and 24-bit depth");
    SetPixelFormat(p.deviceContext, format, &pfd);

    auto createContext =
        reinterpret_cast<PFNWGLCREATECONTEXTATTRIBSARBPROC>(lookUp("wglCreateContextAttribsARB"));
    if (!createContext)
        return fail("The OpenGL driver has no wglCreateContextAttribsARB (WGL_ARB_create_context)");
    p.glContext = createContext(p.deviceContext, nullptr, kContextAttributes);
    if (!p.glContext || !wglMakeCurrent(p.deviceContext, p.glContext))
        return fail("The OpenGL driver cannot create an OpenGL 3.3 core context");
    dropBootstrap();

    resolveGlEntryTable(lookUp);
    if (const char* missing = firstMissingGlEntry()) {
        char message[128];
        std::snprintf(message, sizeof message, "The OpenGL driver does not provide %s", missing);
        return fail(message);
    }

    ShowWindow(p.window, SW_SHOW);
    gl.glViewport(0, 0, width, height);

    Gdiplus::GdiplusStartupInput input;  // version 1, no callback, background thread, codecs
    Gdiplus::GdiplusStartup(&p.gdiplusToken, &input, nullptr);
    return true;
}

bool DemoWindow::pump() {
    Platform& p = *platform_;
    SwapBuffers(p.deviceContext);
    keys.startFrame();

    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
        if (endRequested) return false;
        // The close box reaches the default procedure, which destroys the window quietly.
        if (!IsWindow(p.window)) return false;
        const Key key = static_cast<Key>(message.wParam & 0xff);
        switch (message.message) {
            case WM_QUIT: return false;
            case WM_KEYDOWN: {
                if (message.wParam == VK_ESCAPE) return false;
                // The modifiers as they were when this key went down; the low word of lParam
                // counts the auto-repeats the message stands for (at least one press).
                const int repeats = static_cast<int>(message.lParam & 0xffff);
                keys.press(key, heldModifiers(), repeats > 0 ? repeats : 1);
                break;
            }
            case WM_KEYUP: keys.release(key); break;
            default: break;
        }
    }
    return !endRequested;
}

void DemoWindow::shutdown() {
    Platform& p = *platform_;
    Gdiplus::GdiplusShutdown(p.gdiplusToken);
    if (fullscreen) {
        ShowCursor(TRUE);
        ChangeDisplaySettingsA(nullptr, 0);
    }
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(p.glContext);
    ReleaseDC(p.window, p.deviceContext);
    DestroyWindow(p.window);
    UnregisterClassW(kClassName, p.instance);
}

void DemoWindow::reportUnusableAssets(const std::vector<std::string>& paths) {
    // Named up to a screenful; the log has every reason.
    const std::size_t kNamed = 12;
    std::string text = std::to_string(paths.size()) + " of the demo's " +
                       std::to_string(kAssetCount) +
                       " files are missing or damaged; it plays on without them:\n";
    for (std::size_t i = 0; i < paths.size() && i < kNamed; ++i) text += "\n" + paths[i];
    if (paths.size() > kNamed)
        text += "\n... and " + std::to_string(paths.size() - kNamed) + " more";
    const std::string& log = consoleLogPath();
    text +=
        log.empty() ? "\n\nThe reasons are on standard output." : "\n\nThe reasons are in " + log;
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
    MessageBoxW(platform_->window, std::filesystem::u8path(text).wstring().c_str(),
                L"Velmora: files missing or damaged", MB_OK | MB_ICONWARNING);
}
