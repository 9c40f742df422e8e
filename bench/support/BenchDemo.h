#pragma once
#include <vector>

#include "app/DemoWindow.h"
#include "app/LaunchSettings.h"
#include "audio/FrameClockMusicPlayer.h"
#include "demo/DemoAssets.h"
#include "demo/SceneClock.h"

// The demo loaded off screen for the frame benchmarks: window, every asset, the standing GL state.
struct BenchDemo {
    LaunchSettings settings;
    DemoWindow window;
    FrameClockMusicPlayer music;
    DemoAssets assets;
};

// Reads the optional size argument argv[1] ("WxH", default 1280x720), creates the window and loads
// everything. False (after printing `usage` for a bad size) when the benchmark cannot run.
bool loadBenchDemo(BenchDemo& demo, int argc, char** argv, const char* usage);
// The frame head at `bars`: clears the frame and gives the clock the scenes draw from.
SceneClock frameAtBar(BenchDemo& demo, double bars);
// The baseline every frame time is compared with: a cleared frame and one full-screen quad.
void drawBaselineFrame(DemoAssets& assets);

// CPU time of every thread of the process (the driver's rasterising threads included), steadier
// than wall time on a busy machine; and of the calling thread alone.
double processCpuMilliseconds();
double threadCpuMilliseconds();
double median(std::vector<double> values);
