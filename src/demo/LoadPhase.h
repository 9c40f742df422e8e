#pragma once

struct DemoAssets;
struct LaunchSettings;
class MusicPlayer;

// Builds every shader, texture, mesh and buffer the scenes use, in a fixed order (observable on
// standard output), then starts the music from position 0.
void loadDemoAssets(DemoAssets& assets, const LaunchSettings& settings, MusicPlayer& music);
// The teardown's explicit releases; everything else goes with the process.
void releaseDemoAssets(DemoAssets& assets);
