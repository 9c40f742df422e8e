#pragma once

struct LaunchSettings;
class DemoWindow;
class MusicPlayer;

// Everything after the launcher: the window and context, the GL identification block, the load
// phase, the standing GL state, the frame loop and the teardown. Returns the process exit code
// (non-zero only when the window or its 3.3 core context could not be made, or when the GL cannot
// draw at the chosen size).
int runDemo(LaunchSettings& settings, DemoWindow& window, MusicPlayer& music);
