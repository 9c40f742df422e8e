#pragma once
#include <vector>

#include "app/LauncherList.h"

// The modes of display 0 in SDL's order, as the launcher wants them: bits per pixel from the
// bytes per pixel (SDL reports the usual 32-bit XRGB modes as 24 bits in 4 bytes), and 60 Hz for
// a mode whose refresh rate SDL does not know (0, as under Xvfb). Needs SDL's video subsystem.
std::vector<DisplayMode> sdlDisplayModes();

// False when SDL's video runs on its off-screen or dummy driver, as it quietly does when no
// display answers: its windows would be invisible.
bool sdlHasRealDisplay();
