// Writes every picture of the demo into a directory:
//   velmora-imagegen <output-dir> [--fonts <dir>] [file-name ...]
// With file names, only the pictures that produce those files are made.
#include <cstdio>
#include <string>
#include <vector>

#include "ImageSet.h"
#include "app/StandardStreams.h"

int main(int argc, char** argv) {
    keepStandardStreamsOpen();
    std::string outputDir, fontDir = "/usr/share/fonts/truetype/dejavu";
    std::vector<std::string> only;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--fonts" && i + 1 < argc)
            fontDir = argv[++i];
        else if (outputDir.empty())
            outputDir = arg;
        else
            only.push_back(arg);
    }
    if (outputDir.empty()) {
        std::printf("usage: velmora-imagegen <output-dir> [--fonts <dir>] [file-name ...]\n");
        return 2;
    }
    const std::vector<std::string> known = imageFileNames();
    for (const std::string& name : only) {
        bool found = false;
        for (const std::string& k : known) found = found || k == name;
        if (!found) std::printf("Unknown picture %s (ignored)\n", name.c_str());
    }
    return generateImages(outputDir, fontDir, only) ? 0 : 1;
}
