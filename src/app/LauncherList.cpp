#include "app/LauncherList.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <utility>

namespace {

// The launcher remembers at most this many distinct sizes; later sizes are still offered, but
// their duplicates are no longer recognised.
const std::size_t kMaxRemembered = 1024;

// One "%d" conversion: optional white space, an optional sign, at least one digit. Advances `p`
// and returns true only when a number in the int range was read.
bool scanInt(const char*& p, int& value) {
    const char* s = p;
    while (std::isspace(static_cast<unsigned char>(*s))) ++s;
    bool negative = false;
    if (*s == '+' || *s == '-') negative = *s++ == '-';
    if (!std::isdigit(static_cast<unsigned char>(*s))) return false;
    long long magnitude = 0;
    for (; std::isdigit(static_cast<unsigned char>(*s)); ++s) {
        magnitude = magnitude * 10 + (*s - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) return false;
    }
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX) return false;
    value = static_cast<int>(signedValue);
    p = s;
    return true;
}

}  // namespace

const char* const kResolutionNeeded =
    "Choose a resolution from the list or type one such as 800x600, then press Launch.";

LauncherList buildLauncherList(const std::vector<DisplayMode>& modes) {
    LauncherList list;
    std::vector<std::pair<int, int>> remembered;
    unsigned bestWidth = 0, bestHeight = 0;
    for (const DisplayMode& mode : modes) {
        if (mode.bitsPerPixel != 32 || mode.refreshRate != 60) continue;
        const std::pair<int, int> size(mode.width, mode.height);
        bool seen = false;
        for (const auto& pair : remembered) seen = seen || pair == size;
        if (seen) continue;
        // A width of 0 would end the remembered list, so such a size is never remembered.
        if (remembered.size() < kMaxRemembered && mode.width != 0) remembered.push_back(size);

        char text[32];
        std::snprintf(text, sizeof text, "%dx%d\n", mode.width, mode.height);
        const unsigned w = static_cast<unsigned>(mode.width);
        const unsigned h = static_cast<unsigned>(mode.height);
        if (w >= bestWidth && h >= bestHeight) {
            list.preselect = static_cast<int>(list.items.size());
            bestWidth = w;
            bestHeight = h;
        }
        list.items.push_back(text);
    }
    return list;
}

void parseResolution(const char* text, int& width, int& height) {
    if (!text) return;
    const char* p = text;
    if (!scanInt(p, width) || *p++ != 'x') return;
    scanInt(p, height);
}

bool chooseResolution(const char* text, int& width, int& height) {
    int w = width, h = height;
    parseResolution(text, w, h);
    if (w <= 0 || h <= 0) return false;
    width = w;
    height = h;
    return true;
}
