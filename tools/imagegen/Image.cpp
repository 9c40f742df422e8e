#include "Image.h"

#include <algorithm>
#include <cmath>

float clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}

float smoothstep(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

Rgba mix(const Rgba& x, const Rgba& y, float t) {
    return {lerp(x.r, y.r, t), lerp(x.g, y.g, t), lerp(x.b, y.b, t), lerp(x.a, y.a, t)};
}

Rgba scaled(const Rgba& c, float k) {
    return {c.r * k, c.g * k, c.b * k, c.a};
}

Rgba rgb(int r, int g, int b, float a) {
    return {r / 255.0f, g / 255.0f, b / 255.0f, a};
}

Image::Image(int width, int height, Rgba fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Image::paint(int x, int y, const Rgba& c, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    float sa = clamp01(c.a * coverage);
    if (sa <= 0.0f) return;
    Rgba& d = at(x, y);
    float outA = sa + d.a * (1.0f - sa);
    float kd = d.a * (1.0f - sa);
    d.r = (c.r * sa + d.r * kd) / outA;
    d.g = (c.g * sa + d.g * kd) / outA;
    d.b = (c.b * sa + d.b * kd) / outA;
    d.a = outA;
}

void Image::composite(const Image& src, int dx, int dy) {
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) paint(x + dx, y + dy, src.at(x, y), 1.0f);
}

static uint8_t toByte(float v) {
    return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f));
}

std::vector<uint8_t> Image::toRgba8() const {
    std::vector<uint8_t> out;
    out.reserve(pixels_.size() * 4);
    for (const Rgba& p : pixels_) {
        out.push_back(toByte(p.r));
        out.push_back(toByte(p.g));
        out.push_back(toByte(p.b));
        out.push_back(toByte(p.a));
    }
    return out;
}

std::vector<uint8_t> Image::toRgb8() const {
    std::vector<uint8_t> out;
    out.reserve(pixels_.size() * 3);
    for (const Rgba& p : pixels_) {
        out.push_back(toByte(p.r));
        out.push_back(toByte(p.g));
        out.push_back(toByte(p.b));
    }
    return out;
}

void Image::bleedIntoTransparent(int passes) {
    std::vector<uint8_t> known(pixels_.size());
    for (size_t i = 0; i < pixels_.size(); ++i) {
        known[i] = pixels_[i].a > 0.5f / 255.0f;
        if (!known[i]) pixels_[i] = {};
    }
    for (int pass = 0; pass < passes; ++pass) {
        std::vector<uint8_t> next = known;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                size_t i = static_cast<size_t>(y) * width_ + x;
                if (known[i]) continue;
                float r = 0, g = 0, b = 0;
                int n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= width_ || ny >= height_) continue;
                        size_t j = static_cast<size_t>(ny) * width_ + nx;
                        if (!known[j]) continue;
                        r += pixels_[j].r, g += pixels_[j].g, b += pixels_[j].b, ++n;
                    }
                if (n == 0) continue;
                pixels_[i] = {r / n, g / n, b / n, 0.0f};
                next[i] = 1;
            }
        known.swap(next);
    }
}

Plane::Plane(int width, int height, float fill)
    : width_(width), height_(height), values_(static_cast<size_t>(width) * height, fill) {}

float Plane::wrapped(int x, int y) const {
    x %= width_;
    y %= height_;
    if (x < 0) x += width_;
    if (y < 0) y += height_;
    return at(x, y);
}

float Plane::clamped(int x, int y) const {
    return at(std::min(width_ - 1, std::max(0, x)), std::min(height_ - 1, std::max(0, y)));
}
