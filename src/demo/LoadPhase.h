#pragma once
#include <string>
#include <vector>

struct DemoAssets;
class MusicPlayer;

// Builds every shader, texture, mesh and buffer the scenes use for a picture of width x height, in
// a fixed order (observable on standard output), then starts the music from position 0. Returns
// the manifest's files that could not be used (missing or damaged: a program that does not link,
// an image or mesh that gave nothing, a soundtrack that is not a non-empty file), in its order;
// the demo plays on without them.
std::vector<std::string> loadDemoAssets(DemoAssets& assets, int width, int height,
                                        MusicPlayer& music);
// Releases everything: first the objects the teardown has always named, in its order (printing
// the one line it prints), then the rest.
void releaseDemoAssets(DemoAssets& assets);
