#pragma once
#include <string>
#include <vector>

// A display mode as the platform reports it.
struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    // Hz. Only exactly 60 is offered. A front end whose platform cannot report the rate (SDL says
    // 0, as under Xvfb) passes 60 for such modes itself; Windows reports real rates and passes them
    // unchanged, so its 0 and 1 ("hardware default") are not offered.
    int refreshRate = 0;
};

// What the launcher's resolution box offers: one "%dx%d\n" item per distinct 32-bit 60 Hz mode, in
// the platform's order, and the item to preselect (the last one at least as large as every earlier
// preselection).
struct LauncherList {
    std::vector<std::string> items;
    int preselect = 0;
};

LauncherList buildLauncherList(const std::vector<DisplayMode>& modes);

// Reads "<width>x<height>x" the way "%dx%dx" does: fields that do not parse keep their values.
// A number out of the int range counts as not parsing.
void parseResolution(const char* text, int& width, int& height);

// "Launch": the box's text read by parseResolution onto the current size. Only a size above 0 in
// both directions is taken (true); otherwise width and height keep their values and the launcher
// stays open with kResolutionNeeded, since a 0 x 0 window would stop the clock with a division by
// 0.
bool chooseResolution(const char* text, int& width, int& height);

extern const char* const kResolutionNeeded;
