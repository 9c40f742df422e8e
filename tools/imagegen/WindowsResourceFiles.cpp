#include "WindowsResourceFiles.h"

#include <cstdio>
#include <vector>

namespace {

constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kPaletteSize = 16 * 4;

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

size_t rowBytes(int width, int bitsPerPixel) {
    return (static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4;
}

// BITMAPINFOHEADER, the palette (blue, green, red, 0) and the 4-bit rows, bottom row first.
void putDib(std::vector<uint8_t>& out, const IndexedImage& image, int headerHeight,
            uint32_t imageSize) {
    put32(out, kInfoHeaderSize);
    put32(out, static_cast<uint32_t>(image.width));
    put32(out, static_cast<uint32_t>(headerHeight));
    put16(out, 1);  // planes
    put16(out, 4);  // bits per pixel
    put32(out, 0);  // BI_RGB
    put32(out, imageSize);
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, 16);  // colours used
    put32(out, 16);  // colours important
    for (const auto& c : image.palette) out.insert(out.end(), {c[2], c[1], c[0], 0});
    size_t stride = rowBytes(image.width, 4);
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < image.width; ++x) {
            uint8_t index = image.indices[static_cast<size_t>(y) * image.width + x] & 15;
            row[x / 2] |= (x % 2 == 0) ? index << 4 : index;
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::printf("Cannot open %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::printf("Cannot write %s\n", path.c_str());
    return ok;
}

}  // namespace

bool writeBmp4(const std::string& path, const IndexedImage& image) {
    uint32_t pixelBytes = static_cast<uint32_t>(rowBytes(image.width, 4) * image.height);
    uint32_t offset = 14 + kInfoHeaderSize + kPaletteSize;
    std::vector<uint8_t> out = {'B', 'M'};
    put32(out, offset + pixelBytes);
    put32(out, 0);  // reserved
    put32(out, offset);
    putDib(out, image, image.height, pixelBytes);
    return writeFile(path, out);
}

bool writeIco4(const std::string& path, const IndexedImage& image) {
    if (image.width > 255 || image.height > 255) {
        std::printf("Icon %s: %d x %d is too large\n", path.c_str(), image.width, image.height);
        return false;
    }
    size_t maskStride = rowBytes(image.width, 1);
    uint32_t xorBytes = static_cast<uint32_t>(rowBytes(image.width, 4) * image.height);
    uint32_t andBytes = static_cast<uint32_t>(maskStride * image.height);
    uint32_t imageBytes = kInfoHeaderSize + kPaletteSize + xorBytes + andBytes;

    std::vector<uint8_t> out;
    put16(out, 0);  // reserved
    put16(out, 1);  // icon
    put16(out, 1);  // one image
    out.push_back(static_cast<uint8_t>(image.width));
    out.push_back(static_cast<uint8_t>(image.height));
    out.push_back(16);  // colours
    out.push_back(0);
    put16(out, 1);  // planes
    put16(out, 4);  // bits per pixel
    put32(out, imageBytes);
    put32(out, 6 + 16);  // the image follows the directory

    // The header height counts the colour rows and the mask rows together.
    IndexedImage colours = image;
    for (size_t i = 0; i < colours.indices.size(); ++i)
        if (!image.transparent.empty() && image.transparent[i]) colours.indices[i] = 0;
    putDib(out, colours, image.height * 2, xorBytes + andBytes);
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int x = 0; x < image.width; ++x)
            if (!image.transparent.empty() &&
                image.transparent[static_cast<size_t>(y) * image.width + x])
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return writeFile(path, out);
}
