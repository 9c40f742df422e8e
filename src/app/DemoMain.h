#pragma once

struct LaunchSettings;
class DemoWindow;
class MusicPlayer;
class Demo;

// Creates the window at the chosen size and checks that the GL can draw at the size it really got
// (reportStartupFailure's one line when it cannot); the settings then hold that size.
// False: the window is gone again and the program ends with exit code 1.
bool openDemoWindow(LaunchSettings& settings, DemoWindow& window);

// After the load phase, when any of the demo's files could not be used: lets the front end say so
// (the load phase has printed each reason), the music held meanwhile.
void reportUnusableAssets(const Demo& demo, DemoWindow& window, MusicPlayer& music);

// Everything after the launcher: the window and context, the GL identification block, the load
// phase, the standing GL state, the frame loop and the teardown. Returns the process exit code
// (non-zero only when the window or its 3.3 core context could not be made, or when the GL cannot
// draw at the chosen size).
int runDemo(LaunchSettings& settings, DemoWindow& window, MusicPlayer& music);
