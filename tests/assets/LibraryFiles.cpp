#include "LibraryFiles.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

std::string makeScratchDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "velmora-images-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    return mkdtemp(buffer.data()) ? std::string(buffer.data()) : std::string();
}

void removeDir(const std::string& dir) {
    std::error_code ignored;
    if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
}

uint32_t le16(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8);
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return le16(b, at) | (le16(b, at + 2) << 16);
}

bool decodeDib4(const std::vector<uint8_t>& b, size_t at, int rows, int& width,
                std::vector<uint8_t>& rgba) {
    if (b.size() < at + 40 + 64 || le32(b, at) != 40 || le16(b, at + 14) != 4 ||
        le32(b, at + 16) != 0)
        return false;
    width = static_cast<int>(le32(b, at + 4));
    size_t stride = (static_cast<size_t>(width) * 4 + 31) / 32 * 4;
    size_t pixels = at + 40 + 64;
    if (b.size() < pixels + stride * rows) return false;
    rgba.assign(static_cast<size_t>(width) * rows * 4, 0);
    for (int y = 0; y < rows; ++y) {
        const uint8_t* row = &b[pixels + stride * (rows - 1 - y)];
        for (int x = 0; x < width; ++x) {
            int index = (x % 2 == 0) ? row[x / 2] >> 4 : row[x / 2] & 15;
            const uint8_t* entry = &b[at + 40 + index * 4];  // blue, green, red, 0
            uint8_t* out = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            out[0] = entry[2], out[1] = entry[1], out[2] = entry[0], out[3] = 255;
        }
    }
    return true;
}
