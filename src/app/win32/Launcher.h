#pragma once
#include <windows.h>

struct LaunchSettings;

// Shows the launcher dialog (resource 103) modally, without an owner, and returns when "Launch"
// or "No Launch" was pressed, with the choice in `settings`. False when the dialog cannot be shown.
bool runLauncher(HINSTANCE instance, LaunchSettings& settings);
