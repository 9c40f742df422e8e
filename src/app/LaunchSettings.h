#pragma once
#include <cstdint>

// What the launcher chose; read by the window, the load phase and the clock.
struct LaunchSettings {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint8_t fullscreen = 0;
    std::uint8_t launch = 1;
};
