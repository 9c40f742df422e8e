#pragma once
#include <vector>

#include "app/LauncherList.h"

struct LaunchSettings;

// The launcher dialog "ZORVEK LAUNCHER" in GTK 3, laid out like the Windows one (270 x 137
// dialog units at 8 points): the launcher picture, "Resolution" with an editable box listing
// `modes` (buildLauncherList), "Fullscreen", "No Launch" and "Launch". Runs until one of the two
// buttons is pressed; closing the dialog and Escape do nothing. "Launch" takes the typed or
// chosen size (chooseResolution) and the Fullscreen tick into `settings`, or keeps the dialog open
// with a message when there is no usable size; "No Launch" sets `settings.launch` to 0.
// Returns false, after one line saying so, when GTK cannot open the display.
bool runGtkLauncher(LaunchSettings& settings, const std::vector<DisplayMode>& modes);
