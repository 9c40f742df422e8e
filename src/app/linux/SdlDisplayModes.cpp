#include "app/linux/SdlDisplayModes.h"

#include <SDL.h>

#include <cstring>

std::vector<DisplayMode> sdlDisplayModes() {
    std::vector<DisplayMode> modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode sdl;
        if (SDL_GetDisplayMode(0, i, &sdl) != 0) continue;
        DisplayMode mode;
        mode.width = sdl.w;
        mode.height = sdl.h;
        mode.bitsPerPixel = static_cast<int>(SDL_BYTESPERPIXEL(sdl.format)) * 8;
        mode.refreshRate = sdl.refresh_rate != 0 ? sdl.refresh_rate : 60;
        modes.push_back(mode);
    }
    return modes;
}

bool sdlHasRealDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}
