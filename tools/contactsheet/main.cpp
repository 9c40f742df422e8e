// Composes pictures into one labelled contact sheet:
//   velmora-contactsheet <output.png> [--columns N] [--cell-width W] [--font file.ttf] <picture>
//   ...
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ContactSheet.h"
#include "Font.h"
#include "ImageFile.h"
#include "app/StandardStreams.h"

namespace {

int parseCount(const char* text, int fallback, const char* what) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 1 || v > 4096) {
        std::printf("Ignoring %s \"%s\": expected a whole number from 1 to 4096\n", what, text);
        return fallback;
    }
    return static_cast<int>(v);
}

}  // namespace

int main(int argc, char** argv) {
    keepStandardStreamsOpen();
    std::string output, fontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    int columns = 4, cellWidth = 320;
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--columns" && hasValue)
            columns = parseCount(argv[++i], columns, "column count");
        else if (arg == "--cell-width" && hasValue)
            cellWidth = parseCount(argv[++i], cellWidth, "cell width");
        else if (arg == "--font" && hasValue)
            fontFile = argv[++i];
        else if (output.empty())
            output = arg;
        else
            inputs.push_back(arg);
    }
    if (output.empty() || inputs.empty()) {
        std::printf(
            "usage: velmora-contactsheet <output.png> [--columns N] [--cell-width W] [--font "
            "file.ttf] "
            "<picture> ...\n");
        return 2;
    }
    ContactSheet sheet(columns, cellWidth);
    for (const std::string& path : inputs) sheet.add(path);
    auto font = std::make_unique<Font>(fontFile);
    Image image = sheet.compose(font->ok() ? font.get() : nullptr);
    if (!writePng(output, image.width(), image.height(), image.toRgba8())) return 1;
    std::printf("Wrote %s (%d x %d, %zu pictures)\n", output.c_str(), image.width(), image.height(),
                inputs.size());
    return 0;
}
