#pragma once
#include <vector>

#include "app/DemoWindow.h"
#include "audio/FrameClockMusicPlayer.h"
#include "demo/Demo.h"
#include "demo/DemoAssets.h"
#include "demo/SceneClock.h"

// The demo loaded off screen for the frame benchmarks: window, every asset, the standing GL state.
struct BenchDemo {
    struct Size {
        int width = 1280;
        int height = 720;
    } settings;
    DemoWindow window;
    FrameClockMusicPlayer music;
    Demo demo;
    DemoAssets& assets = demo.assets();
};

// Reads the optional size argument argv[1] ("WxH", default 1280x720), creates the window and loads
// everything. False (after printing `usage` for a bad size) when the benchmark cannot run.
bool loadBenchDemo(BenchDemo& demo, int argc, char** argv, const char* usage);
// The frame head at `bars`: clears the frame and gives the clock the scenes draw from.
SceneClock frameAtBar(BenchDemo& demo, double bars);
// Releases the demo's GL objects and the window.
void closeBenchDemo(BenchDemo& demo);
// The baseline every frame time is compared with: a cleared frame and one full-screen quad.
void drawBaselineFrame(DemoAssets& assets);

// CPU time of every thread of the process (the driver's rasterising threads included), steadier
// than wall time on a busy machine; and of the calling thread alone.
double processCpuMilliseconds();
double threadCpuMilliseconds();
double median(std::vector<double> values);
