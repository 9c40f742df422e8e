#pragma once

struct DemoAssets;
class MusicPlayer;

// Builds every shader, texture, mesh and buffer the scenes use for a picture of width x height, in
// a fixed order (observable on standard output), then starts the music from position 0.
void loadDemoAssets(DemoAssets& assets, int width, int height, MusicPlayer& music);
// Releases everything: first the objects the teardown has always named, in its order (printing
// the one line it prints), then the rest.
void releaseDemoAssets(DemoAssets& assets);
