#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/Keyboard.h"
#include "gl/GlEntryTable.h"

// The program's one window and its OpenGL 3.3 core context. Each front end implements this class
// in its own folder (linux: SDL2, headless: EGL pbuffer, win32: Win32 + WGL), in files of the same
// name; the core sees only this header.
class DemoWindow {
public:
    struct Platform;

    DemoWindow();
    ~DemoWindow();
    DemoWindow(const DemoWindow&) = delete;
    DemoWindow& operator=(const DemoWindow&) = delete;

    // Creates the window and the 3.3 core context, fills the GL entry table, shows the window and
    // sets the viewport. `width` and `height` then hold the size of the picture the window really
    // shows (a screen too small for the window, or a full-screen mode the display refuses, can
    // change it); draw at that size. Returns false after printing one line naming what is missing.
    bool create(int width, int height, bool fullscreen);
    // Presents the frame just drawn, then handles every pending event. False means: end the demo
    // (Escape, a quit or close event, or endRequested).
    bool pump();
    // Releases the context and the window and restores the display mode.
    void shutdown();
    // After the load phase: the demo's files that could not be used (the load phase has printed
    // why). The Windows front end, whose standard output is seen only in its log, shows one box
    // and waits for OK; the others have said it on standard output already.
    void reportUnusableAssets(const std::vector<std::string>& paths);

    // Filled by pump (Escape ends the demo and is not recorded); reset by create.
    Keyboard keys;
    std::uint8_t fullscreen = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint8_t endRequested = 0;

private:
    Platform* platform_ = nullptr;
};
