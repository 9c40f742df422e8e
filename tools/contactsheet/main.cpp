// Composes pictures into one labelled contact sheet (`--help` for the usage).
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ContactSheet.h"
#include "Font.h"
#include "ImageFile.h"
#include "app/CommandLine.h"
#include "app/StandardStreams.h"

int main(int argc, char** argv) {
    keepStandardStreamsOpen();
    std::string output, fontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    int columns = 4, cellWidth = 320;
    std::vector<std::string> inputs;
    CommandLine line;
    line.program = "velmora-contactsheet";
    line.arguments = "[options] <output.png> <picture> ...";
    line.about = "Composes the pictures into one labelled sheet.\n";
    line.options = {
        {"--columns", "N", "pictures a row (default 4)", wholeNumberValue(columns, 1, 4096)},
        {"--cell-width", "W", "pixels a picture (default 320)",
         wholeNumberValue(cellWidth, 1, 4096)},
        {"--font", "FILE.ttf", "the labels' font (default " + fontFile + ")",
         textValue(fontFile, "a font file")},
    };
    line.positional = &inputs;
    line.minPositional = 2;
    line.maxPositional = -1;
    if (const int code = parseOrExitCode(line, argc, argv); code >= 0) return code;
    output = inputs.front();
    inputs.erase(inputs.begin());
    ContactSheet sheet(columns, cellWidth);
    for (const std::string& path : inputs) sheet.add(path);
    auto font = std::make_unique<Font>(fontFile);
    Image image = sheet.compose(font->ok() ? font.get() : nullptr);
    if (!writePng(output, image.width(), image.height(), image.toRgba8())) return 1;
    std::printf("Wrote %s (%d x %d, %zu pictures)\n", output.c_str(), image.width(), image.height(),
                inputs.size());
    return 0;
}
