#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Working pictures of the generators: floats in 0..1, straight (not premultiplied) alpha.
struct Rgba {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
};

Rgba mix(const Rgba& x, const Rgba& y, float t);
Rgba scaled(const Rgba& c, float k);  // scales colour, keeps alpha
Rgba rgb(int r, int g, int b, float a = 1.0f);

class Image {
public:
    Image() = default;
    Image(int width, int height, Rgba fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    Rgba& at(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Rgba& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

    // Lays src over this picture ("over" with straight alpha), src's top-left at (dx, dy).
    void composite(const Image& src, int dx = 0, int dy = 0);
    // Lays a flat colour over the picture through a coverage mask value per pixel.
    void paint(int x, int y, const Rgba& c, float coverage);

    // Gives fully transparent pixels next to visible ones the colour of their neighbours, so
    // bilinear filtering of straight alpha shows no dark fringe; farther ones become black.
    void bleedIntoTransparent(int passes);

    // 8-bit rows, top row first, RGBA or RGB.
    std::vector<uint8_t> toRgba8() const;
    std::vector<uint8_t> toRgb8() const;

private:
    int width_ = 0, height_ = 0;
    std::vector<Rgba> pixels_;
};

// A scalar field (height, mask, distance) with the same layout as Image.
class Plane {
public:
    Plane() = default;
    Plane(int width, int height, float fill = 0.0f);

    int width() const { return width_; }
    int height() const { return height_; }
    float& at(int x, int y) { return values_[static_cast<size_t>(y) * width_ + x]; }
    float at(int x, int y) const { return values_[static_cast<size_t>(y) * width_ + x]; }
    float wrapped(int x, int y) const;  // tiles in both directions
    float clamped(int x, int y) const;  // repeats the border

private:
    int width_ = 0, height_ = 0;
    std::vector<float> values_;
};

float clamp01(float v);
float smoothstep(float e0, float e1, float x);
float lerp(float a, float b, float t);
