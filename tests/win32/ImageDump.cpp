// velmora-image-dump OUTDIR IMAGE...: decodes each image with the program's own decoder (GDI+ on
// Windows) and writes OUTDIR/<file name>.pam, straight 8-bit RGBA, top row first. Prints one line
// per image: its path and size, or that it could not be decoded. Exit code 1 if any failed.
#include <cstdio>
#include <string>

#include "gl/ImageDecoder.h"
#include "gl/win32/GdiplusHeaders.h"

namespace {

bool writePam(const std::string& path, const DecodedImage& image) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fprintf(file, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n",
                 image.width, image.height);
    std::string rgba(image.pixels.begin(), image.pixels.end());
    if (image.format == GL_BGRA) {
        for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) std::swap(rgba[i], rgba[i + 2]);
    }
    const bool written = std::fwrite(rgba.data(), 1, rgba.size(), file) == rgba.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: velmora-image-dump OUTDIR IMAGE...\n");
        return 2;
    }
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    int failures = 0;
    for (int i = 2; i < argc; ++i) {
        const std::string path = argv[i];
        const std::string name = path.substr(path.find_last_of("/\\") + 1);
        DecodedImage image;
        if (!decodeImage(path, image) ||
            !writePam(std::string(argv[1]) + "/" + name + ".pam", image)) {
            std::printf("%s: cannot decode\n", path.c_str());
            ++failures;
            continue;
        }
        std::printf("%s: %d x %d\n", path.c_str(), image.width, image.height);
    }
    Gdiplus::GdiplusShutdown(token);
    return failures ? 1 : 0;
}
