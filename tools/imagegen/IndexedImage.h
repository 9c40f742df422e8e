#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "Image.h"

// A 16-colour picture: one palette index per pixel, top row first, plus which pixels are
// transparent (only icons use that).
struct IndexedImage {
    int width = 0, height = 0;
    std::array<std::array<uint8_t, 3>, 16> palette{};
    std::vector<uint8_t> indices;
    std::vector<uint8_t> transparent;  // 1 where the pixel is see-through

    std::vector<uint8_t> paletteRgb() const;  // 48 bytes
    std::vector<uint8_t> toRgba8() const;
};

// Maps a picture to the palette. With `dither`, Floyd-Steinberg error diffusion keeps gradients
// smooth, except where `crisp` (same size, may be empty) exceeds 0.5: those pixels take the
// nearest colour and pass no error on, so lettering stays clean. Alpha below 0.5 is transparent.
IndexedImage quantize(const Image& picture, const std::array<std::array<uint8_t, 3>, 16>& palette,
                      bool dither, const Plane& crisp);
