#pragma once

struct LaunchSettings;
class DemoWindow;
class MusicPlayer;

// The demo under the developer's hands, instead of runDemo's plain loop: the same Demo, drawn
// frame by frame from the music position, with the transport keys, hot reload of the assets and
// the overlay. Starts at `fromSeconds`. Returns the process exit code like runDemo.
int runDevMode(LaunchSettings& settings, DemoWindow& window, MusicPlayer& music,
               double fromSeconds);
