#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reading and writing the picture files of the asset tools. Each function reports a failure as
// one line on standard output and returns false; nothing throws.

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;  // straight alpha, top row first
};

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);
bool writeJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
               int quality);
// A palette picture: one index per pixel, up to 16 colours (written with 4 bits per pixel).
bool writeIndexedPng(const std::string& path, int width, int height,
                     const std::vector<uint8_t>& indices, const std::vector<uint8_t>& paletteRgb);

// Decodes a PNG or JPEG file (chosen by its first bytes) to RGBA.
bool readPicture(const std::string& path, Picture& out);
