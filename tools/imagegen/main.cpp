// Writes every picture of the demo into a folder (`--help` for the usage).
#include <cstdio>
#include <string>
#include <vector>

#include "ImageSet.h"
#include "app/CommandLine.h"
#include "app/StandardStreams.h"

int main(int argc, char** argv) {
    keepStandardStreamsOpen();
    std::string fontDir = "/usr/share/fonts/truetype/dejavu";
    std::vector<std::string> only;
    CommandLine line;
    line.program = "velmora-imagegen";
    line.arguments = "[options] <output dir> [file name ...]";
    line.about =
        "Writes the demo's pictures into the folder; with file names, only the pictures that\n"
        "make those files.\n";
    line.options = {{"--fonts", "DIR", "the folder of the DejaVu fonts (default " + fontDir + ")",
                     textValue(fontDir, "a folder")}};
    line.positional = &only;
    line.minPositional = 1;
    line.maxPositional = -1;
    if (const int code = parseOrExitCode(line, argc, argv); code >= 0) return code;
    const std::string outputDir = only.front();
    only.erase(only.begin());
    const std::vector<std::string> known = imageFileNames();
    for (const std::string& name : only) {
        bool found = false;
        for (const std::string& k : known) found = found || k == name;
        if (!found) std::printf("Unknown picture %s (ignored)\n", name.c_str());
    }
    return generateImages(outputDir, fontDir, only) ? 0 : 1;
}
