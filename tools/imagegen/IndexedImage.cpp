#include "IndexedImage.h"

#include <cmath>

std::vector<uint8_t> IndexedImage::paletteRgb() const {
    std::vector<uint8_t> out;
    for (const auto& c : palette) out.insert(out.end(), c.begin(), c.end());
    return out;
}

std::vector<uint8_t> IndexedImage::toRgba8() const {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < indices.size(); ++i) {
        const auto& c = palette[indices[i] & 15];
        bool clear = !transparent.empty() && transparent[i];
        out.insert(out.end(), {clear ? uint8_t(0) : c[0], clear ? uint8_t(0) : c[1],
                               clear ? uint8_t(0) : c[2], clear ? uint8_t(0) : uint8_t(255)});
    }
    return out;
}

static uint8_t nearest(const std::array<std::array<uint8_t, 3>, 16>& palette, float r, float g,
                       float b) {
    uint8_t best = 0;
    float bestDistance = 1e30f;
    for (int i = 0; i < 16; ++i) {
        // Weighted distance: the eye is most sensitive to green.
        float dr = r - palette[i][0], dg = g - palette[i][1], db = b - palette[i][2];
        float d = 0.3f * dr * dr + 0.59f * dg * dg + 0.11f * db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<uint8_t>(i);
        }
    }
    return best;
}

IndexedImage quantize(const Image& picture, const std::array<std::array<uint8_t, 3>, 16>& palette,
                      bool dither, const Plane& crisp) {
    IndexedImage out;
    out.width = picture.width();
    out.height = picture.height();
    out.palette = palette;
    out.indices.assign(static_cast<size_t>(out.width) * out.height, 0);
    out.transparent.assign(out.indices.size(), 0);
    std::vector<float> work;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const Rgba& p = picture.at(x, y);
            work.insert(work.end(), {p.r * 255.0f, p.g * 255.0f, p.b * 255.0f});
        }
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            size_t i = static_cast<size_t>(y) * out.width + x;
            if (picture.at(x, y).a < 0.5f) {
                out.transparent[i] = 1;
                continue;
            }
            float* c = &work[i * 3];
            uint8_t index = nearest(palette, c[0], c[1], c[2]);
            out.indices[i] = index;
            bool isCrisp = crisp.width() == out.width && crisp.at(x, y) > 0.5f;
            if (!dither || isCrisp) continue;
            float err[3] = {c[0] - palette[index][0], c[1] - palette[index][1],
                            c[2] - palette[index][2]};
            auto spread = [&](int dx, int dy, float w) {
                int nx = x + dx, ny = y + dy;
                if (nx < 0 || nx >= out.width || ny >= out.height) return;
                float* n = &work[(static_cast<size_t>(ny) * out.width + nx) * 3];
                for (int k = 0; k < 3; ++k) n[k] += err[k] * w;
            };
            spread(1, 0, 7.0f / 16.0f);
            spread(-1, 1, 3.0f / 16.0f);
            spread(0, 1, 5.0f / 16.0f);
            spread(1, 1, 1.0f / 16.0f);
        }
    return out;
}
