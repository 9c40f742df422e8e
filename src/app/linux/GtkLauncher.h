#pragma once
#include <string>
#include <vector>

#include "app/LauncherList.h"

struct LaunchSettings;

// The launcher dialog "ZORVEK LAUNCHER" in GTK 3, laid out like the Windows one (270 x 137
// dialog units at 8 points): the launcher picture, "Resolution" with an editable box listing
// `modes` (buildLauncherList), "Fullscreen", "No Launch" and "Launch". Runs until one of the two
// buttons is pressed; closing the dialog and Escape do nothing. "Launch" takes the typed or
// chosen size (chooseResolution) and the Fullscreen tick into `settings`, or keeps the dialog open
// with a message when there is no usable size; "No Launch" sets `settings.launch` to 0.
// Needs startGtk first.
void runGtkLauncher(LaunchSettings& settings, const std::vector<DisplayMode>& modes);

// Connects GTK to the display, leaving the process in the C locale. False, after one line saying
// so, when it cannot.
bool startGtk();

// The "Velmora cannot start" dialog with `line`, for a program started without a terminal (from a
// file manager), where standard output is not seen; returns when it is closed. Shows nothing when
// GTK cannot open the display.
void showStartupFailureDialog(const std::string& line);
