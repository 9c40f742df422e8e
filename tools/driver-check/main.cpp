// velmora-framediff: how far two renderings of one frame disagree (`--help` for the usage).
// Prints "mean M share S% largest L" and exits 1 when the mean absolute difference (0..255)
// exceeds M (default 1.0) or the share of pixels off by more than 32 exceeds S percent (default
// 0.5), 2 when a picture cannot be read or the sizes differ.
#include <cstdio>
#include <string>
#include <vector>

#include "FrameDifference.h"
#include "ImageFile.h"
#include "app/CommandLine.h"
#include "app/StandardStreams.h"

int main(int argc, char** argv) {
    keepStandardStreamsOpen();
    std::string mapPath;
    double maxMean = 1.0, maxSharePercent = 0.5;
    std::vector<std::string> pictures;
    CommandLine line;
    line.program = "velmora-framediff";
    line.arguments = "[options] A.png B.png";
    line.about = "How far two renderings of one frame disagree; exit code 1 past a limit.\n";
    line.options = {
        {"--max-mean", "M", "largest mean absolute difference, 0-255 (default 1.0)",
         numberValue(maxMean, 0.0, 255.0)},
        {"--max-share", "PERCENT", "largest share of pixels off by more than 32 (default 0.5)",
         numberValue(maxSharePercent, 0.0, 100.0)},
        {"--map", "DIFF.png", "also write a map of the differences",
         textValue(mapPath, "a file name")},
    };
    line.positional = &pictures;
    line.minPositional = line.maxPositional = 2;
    if (const int code = parseOrExitCode(line, argc, argv); code >= 0) return code;
    const std::string &first = pictures[0], &second = pictures[1];
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
