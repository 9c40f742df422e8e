// velmora-framediff: how far two renderings of one frame disagree.
//   velmora-framediff A.png B.png [--max-mean M] [--max-share S] [--map DIFF.png]
// Prints "mean M share S% largest L" and exits 1 when the mean absolute difference (0..255)
// exceeds M (default 1.0) or the share of pixels off by more than 32 exceeds S percent (default
// 0.5), 2 when a picture cannot be read or the sizes differ.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FrameDifference.h"
#include "ImageFile.h"
#include "app/StandardStreams.h"

namespace {

bool parseLimit(const char* text, double& value) {
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(v >= 0.0)) {
        std::printf("velmora-framediff: bad limit \"%s\": expected a number >= 0\n", text);
        return false;
    }
    value = v;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    keepStandardStreamsOpen();
    std::string first, second, mapPath;
    double maxMean = 1.0, maxSharePercent = 0.5;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--max-mean" && hasValue) {
            if (!parseLimit(argv[++i], maxMean)) return 2;
        } else if (arg == "--max-share" && hasValue) {
            if (!parseLimit(argv[++i], maxSharePercent)) return 2;
        } else if (arg == "--map" && hasValue) {
            mapPath = argv[++i];
        } else if (first.empty()) {
            first = arg;
        } else if (second.empty()) {
            second = arg;
        } else {
            first.clear();
            break;
        }
    }
    if (first.empty() || second.empty()) {
        std::printf(
            "usage: velmora-framediff A.png B.png [--max-mean M] [--max-share PERCENT] "
            "[--map DIFF.png]\n");
        return 2;
    }
    Picture a, b;
    if (!readPicture(first, a) || !readPicture(second, b)) return 2;
    FrameDifference d;
    std::string error;
    if (!FrameDifference::measure(a, b, d, error)) {
        std::printf("velmora-framediff: %s\n", error.c_str());
        return 2;
    }
    if (!mapPath.empty()) {
        const Picture m = FrameDifference::map(a, b);
        if (!writePng(mapPath, m.width, m.height, m.rgba)) return 2;
    }
    const bool pass = d.meanAbsolute <= maxMean && d.shareOff * 100.0 <= maxSharePercent;
    std::printf("mean %.3f share %.3f%% largest %d %s\n", d.meanAbsolute, d.shareOff * 100.0,
                d.largest, pass ? "ok" : "FAIL");
    return pass ? 0 : 1;
}
