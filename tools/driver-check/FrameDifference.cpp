#include "FrameDifference.h"

#include <algorithm>
#include <cstdlib>

namespace {

int channelDifference(const Picture& a, const Picture& b, size_t pixel, int channel) {
    return std::abs(int(a.rgba[pixel * 4 + channel]) - int(b.rgba[pixel * 4 + channel]));
}

int pixelDifference(const Picture& a, const Picture& b, size_t pixel) {
    return std::max({channelDifference(a, b, pixel, 0), channelDifference(a, b, pixel, 1),
                     channelDifference(a, b, pixel, 2)});
}

}  // namespace

bool FrameDifference::measure(const Picture& a, const Picture& b, FrameDifference& out,
                              std::string& error) {
    if (a.width != b.width || a.height != b.height) {
        error = "sizes differ: " + std::to_string(a.width) + "x" + std::to_string(a.height) +
                " and " + std::to_string(b.width) + "x" + std::to_string(b.height);
        return false;
    }
    const size_t pixels = static_cast<size_t>(a.width) * a.height;
    if (pixels == 0 || a.rgba.size() < pixels * 4 || b.rgba.size() < pixels * 4) {
        error = "empty or truncated picture";
        return false;
    }
    double sum = 0.0;
    size_t off = 0;
    out = FrameDifference();
    for (size_t p = 0; p < pixels; ++p) {
        for (int c = 0; c < 3; ++c) sum += channelDifference(a, b, p, c);
        const int d = pixelDifference(a, b, p);
        off += d > kFarOff;
        out.largest = std::max(out.largest, d);
    }
    out.meanAbsolute = sum / (3.0 * pixels);
    out.shareOff = static_cast<double>(off) / pixels;
    return true;
}

Picture FrameDifference::map(const Picture& a, const Picture& b) {
    Picture out;
    out.width = std::min(a.width, b.width);
    out.height = std::min(a.height, b.height);
    out.rgba.assign(static_cast<size_t>(out.width) * out.height * 4, 255);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const size_t pa = static_cast<size_t>(y) * a.width + x;
            const size_t pb = static_cast<size_t>(y) * b.width + x;
            const size_t po = static_cast<size_t>(y) * out.width + x;
            int d = 0;
            for (int c = 0; c < 3; ++c)
                d = std::max(d, std::abs(int(a.rgba[pa * 4 + c]) - int(b.rgba[pb * 4 + c])));
            const uint8_t grey = static_cast<uint8_t>(std::min(255, d * 8));
            out.rgba[po * 4 + 0] = grey;
            out.rgba[po * 4 + 1] = d > kFarOff ? 0 : grey;
            out.rgba[po * 4 + 2] = d > kFarOff ? 0 : grey;
        }
    return out;
}
