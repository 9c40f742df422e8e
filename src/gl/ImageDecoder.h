#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "gl/GlHeaders.h"

// A decoded picture: straight (not premultiplied) 8-bit pixels, four bytes each in the order that
// `format` names (GL_RGBA or GL_BGRA), rows width * 4 bytes apart, the top row first, colours
// converted to sRGB when the file carries a colour profile.
struct DecodedImage {
    int width = 0;
    int height = 0;
    GLenum format = GL_RGBA;
    std::vector<std::uint8_t> pixels;
};

// Decodes a JPEG or PNG file. Returns false, leaving `out` empty, when the file is missing or
// cannot be decoded (a truncated file included), or when either side exceeds `maxSide` (0: no
// limit but the decoder's own); `why` then says why in a few words, or stays empty when the file
// could not be opened. Linux opens it as every asset (geometry/AssetFile.h): never waiting, a
// regular file of at most 64 MB. Each platform provides its own implementation.
bool decodeImage(const std::string& path, DecodedImage& out, std::string* why = nullptr,
                 int maxSide = 0);
