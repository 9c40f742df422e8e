#pragma once
#include <string>
#include <vector>

// A display mode as the platform reports it. A refresh rate of 0 means "not reported".
struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
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
void parseResolution(const char* text, int& width, int& height);
