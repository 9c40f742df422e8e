#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "XvfbServer.h"
#include "app/DemoWindow.h"
#include "app/linux/SdlDisplayModes.h"

// Last: Xlib's macros (None, Bool) would break the headers above.
#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace {

void pushKey(Uint32 type, SDL_Keycode key, Uint8 repeat = 0, Uint16 mod = KMOD_NONE) {
    SDL_Event event = {};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat;
    event.key.keysym.sym = key;
    event.key.keysym.mod = mod;
    event.key.windowID = SDL_GetWindowID(SDL_GL_GetCurrentWindow());
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

void pushType(Uint32 type) {
    SDL_Event event = {};
    event.type = type;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

void xWindowSize(SDL_Window* window, int& width, int& height) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(window, &info));
    ASSERT_EQ(info.subsystem, SDL_SYSWM_X11);
    XWindowAttributes attributes;
    XSync(info.info.x11.display, False);
    ASSERT_TRUE(XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes));
    width = attributes.width;
    height = attributes.height;
}

// A real SDL window and 3.3 core context on a private Xvfb; the events come from SDL_PushEvent.
class DesktopWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!startPrivateXServer()) GTEST_SKIP() << "Xvfb is not available";
        ASSERT_TRUE(window.create(320, 240, false));
        // Keep the pointer off the window so the server adds no motion of its own.
        SDL_WarpMouseGlobal(0, 0);
        SDL_Delay(50);
        window.pump();
        window.pump();
    }

    DemoWindow window;
};

TEST_F(DesktopWindowTest, OpensACentredFixedSizeWindowWithA33CoreContext) {
    SDL_Window* sdl = SDL_GL_GetCurrentWindow();
    ASSERT_NE(sdl, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(sdl), "Velmora");
    int w = 0, h = 0, x = 0, y = 0;
    SDL_GetWindowSize(sdl, &w, &h);
    SDL_GetWindowPosition(sdl, &x, &y);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
    EXPECT_EQ(x, (1920 - 320) / 2);
    EXPECT_EQ(y, (1080 - 240) / 2);
    const Uint32 flags = SDL_GetWindowFlags(sdl);
    EXPECT_TRUE(flags & SDL_WINDOW_SHOWN);
    EXPECT_FALSE(flags & (SDL_WINDOW_RESIZABLE | SDL_WINDOW_FULLSCREEN));
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);

    GLint major = 0, minor = 0, profile = 0, viewport[4] = {};
    gl.glGetIntegerv(GL_MAJOR_VERSION, &major);
    gl.glGetIntegerv(GL_MINOR_VERSION, &minor);
    gl.glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    gl.glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_GE(major * 10 + minor, 33);
    EXPECT_TRUE(profile & GL_CONTEXT_CORE_PROFILE_BIT);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 240);
    int depth = 0, doubleBuffered = 0;
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
    SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_GE(depth, 24);
    EXPECT_EQ(doubleBuffered, 1);
}

TEST_F(DesktopWindowTest, EscapeEndsThePumpAndIsNotRecorded) {
    pushKey(SDL_KEYDOWN, SDLK_a);
    pushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    EXPECT_FALSE(window.pump());
    EXPECT_TRUE(window.keys.isDown(Key::A));
    EXPECT_FALSE(window.keys.isDown(Key::Escape));
    EXPECT_EQ(window.keys.presses(Key::Escape), 0);
}

TEST_F(DesktopWindowTest, EachRepeatIsAPressUntilTheKeyGoesUp) {
    pushKey(SDL_KEYDOWN, SDLK_a);
    pushKey(SDL_KEYDOWN, SDLK_a, 1);
    EXPECT_TRUE(window.pump());
    EXPECT_TRUE(window.keys.isDown(Key::A));
    EXPECT_EQ(window.keys.presses(Key::A), 2);

    EXPECT_TRUE(window.pump());
    EXPECT_TRUE(window.keys.isDown(Key::A));
    EXPECT_EQ(window.keys.presses(Key::A), 0);

    pushKey(SDL_KEYUP, SDLK_a);
    EXPECT_TRUE(window.pump());
    EXPECT_FALSE(window.keys.isDown(Key::A));
    EXPECT_EQ(window.keys.presses(Key::A), 0);
}

// Shift released before the frame reads the keys: the press still carries it.
TEST_F(DesktopWindowTest, APressCarriesTheModifiersHeldWhenItWentDown) {
    pushKey(SDL_KEYDOWN, SDLK_LSHIFT, 0, KMOD_LSHIFT);
    pushKey(SDL_KEYDOWN, SDLK_RIGHT, 0, KMOD_LSHIFT);
    pushKey(SDL_KEYUP, SDLK_RIGHT, 0, KMOD_LSHIFT);
    pushKey(SDL_KEYUP, SDLK_LSHIFT);
    pushKey(SDL_KEYDOWN, SDLK_RIGHT, 0, KMOD_RCTRL);
    EXPECT_TRUE(window.pump());
    EXPECT_FALSE(window.keys.isDown(Key::Shift));
    const std::vector<KeyEvent>& presses = window.keys.pressesThisFrame();
    ASSERT_EQ(presses.size(), 3u);
    EXPECT_EQ(presses[1].key, Key::Right);
    EXPECT_EQ(presses[1].modifiers, kShiftHeld);
    EXPECT_EQ(presses[2].key, Key::Right);
    EXPECT_EQ(presses[2].modifiers, kControlHeld);
}

TEST_F(DesktopWindowTest, KeysAreIndexedByVirtualKeyCodeAndAltKeysAreNotRecorded) {
    pushKey(SDL_KEYDOWN, SDLK_z);
    pushKey(SDL_KEYDOWN, SDLK_9);
    pushKey(SDL_KEYDOWN, SDLK_LEFT);
    pushKey(SDL_KEYDOWN, SDLK_KP_ENTER);
    pushKey(SDL_KEYDOWN, SDLK_a, 0, KMOD_LALT);
    pushKey(SDL_KEYDOWN, SDLK_F10);
    EXPECT_TRUE(window.pump());
    const std::vector<KeyEvent>& presses = window.keys.pressesThisFrame();
    ASSERT_EQ(presses.size(), 4u);
    const Key expected[4] = {keyAfter(Key::A, 25), keyAfter(Key::Digit0, 9), Key::Left, Key::Enter};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(presses[i].key, expected[i]) << i;
    EXPECT_EQ(static_cast<int>(Key::Left), 0x25);  // the Windows virtual-key code
    EXPECT_FALSE(window.keys.isDown(Key::A));
    EXPECT_FALSE(window.keys.isDown(Key::F10));
}

TEST_F(DesktopWindowTest, EndRequestedEndsTheNextPumpWithOrWithoutEvents) {
    window.endRequested = 1;
    EXPECT_FALSE(window.pump());

    pushKey(SDL_KEYDOWN, SDLK_a);
    pushKey(SDL_KEYUP, SDLK_a);
    EXPECT_FALSE(window.pump());
}

// One ending event per test: a pump that ends leaves the rest of SDL's queue behind.
TEST_F(DesktopWindowTest, AQuitEventEndsThePump) {
    pushType(SDL_QUIT);
    EXPECT_FALSE(window.pump());
}

TEST_F(DesktopWindowTest, ClosingTheWindowEndsThePump) {
    SDL_Event close = {};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = SDL_GetWindowID(SDL_GL_GetCurrentWindow());
    ASSERT_EQ(SDL_PushEvent(&close), 1);
    EXPECT_FALSE(window.pump());
}

TEST(DesktopFullscreenTest, HidesTheCursorAndGivesTheModeBackAtShutdown) {
    if (!startPrivateXServer()) GTEST_SKIP() << "Xvfb is not available";
    // Our own hold on SDL video, so the cursor and the desktop can be asked after shutdown.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    SDL_DisplayMode desktop;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    {
        DemoWindow window;
        ASSERT_TRUE(window.create(1280, 720, true));
        EXPECT_TRUE(SDL_GetWindowFlags(SDL_GL_GetCurrentWindow()) & SDL_WINDOW_FULLSCREEN);
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
        // The size reported, and drawn at, is the one the X server gave the window, whatever
        // was asked for and whatever SDL takes it for (the display mode's 1920x1080 here).
        int w = 0, h = 0;
        xWindowSize(SDL_GL_GetCurrentWindow(), w, h);
        GLint viewport[4] = {};
        gl.glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(window.width, w);
        EXPECT_EQ(window.height, h);
        EXPECT_EQ(viewport[2], w);
        EXPECT_EQ(viewport[3], h);
        EXPECT_TRUE(window.pump());
        window.shutdown();
    }
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    SDL_DisplayMode after;
    ASSERT_EQ(SDL_GetCurrentDisplayMode(0, &after), 0);
    EXPECT_EQ(after.w, desktop.w);
    EXPECT_EQ(after.h, desktop.h);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST(SdlDisplayModesTest, OffersXvfbsModeAs32Bits60Hz) {
    if (!startPrivateXServer()) GTEST_SKIP() << "Xvfb is not available";
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    // Xvfb reports its one mode as 24 bits in 4 bytes with no refresh rate.
    const LauncherList list = buildLauncherList(sdlDisplayModes());
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    ASSERT_EQ(list.items.size(), 1u);
    EXPECT_EQ(list.items[0], "1920x1080\n");
}

}  // namespace
