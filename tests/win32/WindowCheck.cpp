// velmora-window-check: checks the Win32 DemoWindow under Wine (scripts/ci/wine-smoke.sh, on a
// 1280x1024 screen without display-mode changes): the bootstrap window is gone once the real
// context exists; the client area, the reported size and the viewport agree, also for a window
// too tall for the screen; a refused full-screen mode falls back to a centred window with one
// line. One line per check; exit code 1 if any fails.
#include <windows.h>

#include <cstdio>

#include "app/DemoWindow.h"

namespace {

int failures = 0;

void expect(bool ok, const char* what, int a, int b) {
    std::printf("%s: %s (%d, %d)\n", ok ? "ok" : "FAILED", what, a, b);
    failures += ok ? 0 : 1;
}

HWND findWindow(const wchar_t* title) {
    return FindWindowW(L"classy class", title);
}

// Opens a window, compares what it reports with what Windows and GL say, and closes it.
void check(int width, int height, bool fullscreen, bool expectFullscreen) {
    std::printf("-- %dx%d%s\n", width, height, fullscreen ? ", full screen" : "");
    DemoWindow window;
    if (!window.create(width, height, fullscreen)) {
        expect(false, "the window opens", width, height);
        return;
    }
    window.pump();
    HWND hwnd = findWindow(L"Velmora");
    RECT client = {}, outer = {};
    GetClientRect(hwnd, &client);
    GetWindowRect(hwnd, &outer);
    GLint viewport[4] = {};
    gl.glGetIntegerv(GL_VIEWPORT, viewport);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);

    expect(findWindow(L"tmp") == nullptr, "no bootstrap window once the context exists", 0, 0);
    expect(client.right == window.width && client.bottom == window.height,
           "the reported size is the client area", client.right, client.bottom);
    expect(viewport[2] == window.width && viewport[3] == window.height,
           "the viewport covers the client area", viewport[2], viewport[3]);
    expect((window.fullscreen != 0) == expectFullscreen, "full screen as expected",
           window.fullscreen, expectFullscreen);
    if (!expectFullscreen) {
        expect(outer.left >= 0 && outer.top >= 0 && outer.right <= screenWidth &&
                   outer.bottom <= screenHeight,
               "the window lies on the screen", outer.left, outer.top);
        expect(outer.left + outer.right - screenWidth <= 1 &&
                   outer.left + outer.right - screenWidth >= -1 &&
                   outer.top + outer.bottom - screenHeight <= 1 &&
                   outer.top + outer.bottom - screenHeight >= -1,
               "the window is centred", (outer.left + outer.right) / 2,
               (outer.top + outer.bottom) / 2);
    }
    if (width <= screenWidth - 100 && height <= screenHeight - 100)
        expect(window.width == width && window.height == height, "a window that fits is exact",
               window.width, window.height);
    window.shutdown();
}

}  // namespace

int main() {
    check(800, 600, false, false);
    // The largest mode, windowed: no room for the title bar.
    check(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), false, false);
    // Plain Xvfb under Wine cannot change modes.
    check(800, 600, true, false);
    std::fflush(stdout);
    return failures ? 1 : 0;
}
