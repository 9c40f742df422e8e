#include <algorithm>
#include <cmath>

#include "DistanceField.h"
#include "Font.h"
#include "Generators.h"
#include "Lettering.h"
#include "PeriodicNoise.h"

// The launcher picture (145 × 100) and the program icon (16 × 16), both in one 16-colour dusk
// palette: a striped sun setting behind canyon mesas, the title in gold; the icon is a gold V
// on a dark rust tile.
namespace {

const std::array<std::array<uint8_t, 3>, 16> kPalette = {{{0, 0, 0},
                                                          {24, 12, 10},
                                                          {52, 24, 18},
                                                          {96, 40, 24},
                                                          {150, 62, 30},
                                                          {204, 96, 40},
                                                          {240, 150, 60},
                                                          {255, 208, 120},
                                                          {255, 244, 214},
                                                          {120, 84, 60},
                                                          {172, 128, 88},
                                                          {60, 40, 70},
                                                          {110, 60, 90},
                                                          {180, 90, 90},
                                                          {30, 26, 54},
                                                          {255, 255, 255}}};

constexpr int kScale = 4;  // drawn at 4x, averaged down before quantising

// Canyon skyline: flat-topped mesas with sheer sides, from layered noise, as a height per x.
float mesaTop(float u, uint32_t seed, float base, float amp) {
    float n = noise::fbm(u, 0.5f, 4, 1, 3, 0.5f, seed);
    float steps = std::floor((n * 0.5f + 0.5f) * 4.0f) / 4.0f;  // terraces
    return base - amp * (0.7f * steps + 0.3f * (n * 0.5f + 0.5f));
}

Image launcherScene(int w, int h) {
    Image out(w, h);
    const float sunX = 0.5f * w, sunY = 0.52f * h, sunR = 0.24f * w;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
            // Dusk sky: night blue to mauve to orange at the horizon.
            Rgba sky = v < 0.35f
                           ? mix(rgb(30, 26, 54), rgb(110, 60, 90), v / 0.35f)
                           : mix(rgb(110, 60, 90), rgb(240, 140, 60), clamp01((v - 0.35f) / 0.3f));
            out.at(x, y) = sky;
            float r = std::hypot(x + 0.5f - sunX, y + 0.5f - sunY);
            float disc = clamp01(sunR + 0.5f * kScale - r);
            float t = (y + 0.5f - (sunY - sunR)) / (2.0f * sunR);
            if (t > 0.5f)
                disc *= std::fmod((t - 0.5f) * 8.0f, 1.0f) > 0.2f + 0.5f * (t - 0.5f) ? 1.0f : 0.0f;
            out.paint(x, y, mix(rgb(255, 214, 126), rgb(214, 100, 44), clamp01(t)), disc);
            // Two ranges of mesas, the far one lit, the near one dark.
            if (v > mesaTop(u, 601u, 0.66f, 0.22f))
                out.at(x, y) = mix(rgb(150, 62, 30), rgb(96, 40, 24), clamp01((v - 0.55f) * 3.0f));
            if (v > mesaTop(u, 603u, 0.8f, 0.16f))
                out.at(x, y) = mix(rgb(52, 24, 18), rgb(24, 12, 10), clamp01((v - 0.7f) * 4.0f));
        }
    return out;
}

}  // namespace

IndexedImage makeLauncherPicture(FontSet& fonts) {
    constexpr int w = 145, h = 100;
    Image big = launcherScene(w * kScale, h * kScale);
    Font& bold = fonts.sansBold;
    TextStyle style;
    style.size = 100.0f;
    style.size *= 17.0f * kScale / bold.capHeight(style);
    style.tracking = 1.0f * kScale;
    style.xScale = std::min(1.0f, 128.0f * kScale / bold.advance("VELMORA", style));
    Plane text(w * kScale, h * kScale);
    bold.drawCentred(text, "VELMORA", style, 0.5f * w * kScale, 92.0f * kScale);
    Plane distance = signedDistance(text);

    // Average down to the real size, then letter at real size so the strokes stay solid.
    Image small(w, h);
    Plane crisp(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float r = 0, g = 0, b = 0, outline = 0, fill = 0;
            for (int j = 0; j < kScale; ++j)
                for (int i = 0; i < kScale; ++i) {
                    const Rgba& p = big.at(x * kScale + i, y * kScale + j);
                    r += p.r, g += p.g, b += p.b;
                    float d = distance.at(x * kScale + i, y * kScale + j);
                    outline += d < 1.5f * kScale ? 1.0f : 0.0f;
                    fill += d < 0.0f ? 1.0f : 0.0f;
                }
            float n = kScale * kScale;
            small.at(x, y) = {r / n, g / n, b / n, 1.0f};
            outline /= n, fill /= n;
            if (outline > 0.4f) small.at(x, y) = rgb(24, 12, 10);
            if (fill > 0.45f) {
                float t = (y - (92.0f - 17.0f)) / 17.0f;
                small.at(x, y) = t < 0.45f  ? rgb(255, 244, 214)
                                 : t < 0.7f ? rgb(255, 208, 120)
                                            : rgb(240, 150, 60);
            }
            crisp.at(x, y) = outline > 0.4f ? 1.0f : 0.0f;
        }
    return quantize(small, kPalette, true, crisp);
}

IndexedImage makeIcon(FontSet& fonts) {
    // Drawn with palette indices at 8x; each icon pixel takes the index most of its 64 samples
    // hold, so edges stay crisp and no in-between colour appears.
    constexpr int size = 16, k = 8;
    Font& bold = fonts.sansBold;
    TextStyle style;
    style.size = 100.0f;
    style.size *= 11.0f * k / bold.capHeight(style);
    Plane v(size * k, size * k);
    bold.drawCentred(v, "V", style, 0.5f * size * k, 13.5f * k);
    Plane vd = signedDistance(v);
    constexpr int kClear = 16;
    std::vector<int> big(static_cast<size_t>(size * k) * size * k, kClear);
    for (int y = 0; y < size * k; ++y)
        for (int x = 0; x < size * k; ++x) {
            float px = (x + 0.5f) / k, py = (y + 0.5f) / k;
            float qx = std::max(std::fabs(px - 8.0f) - 5.0f, 0.0f),
                  qy = std::max(std::fabs(py - 8.0f) - 5.0f, 0.0f);
            if (std::hypot(qx, qy) >= 3.0f) continue;  // rounded tile corners stay clear
            int index = py < 9.0f ? 2 : py < 12.0f ? 3 : 4;
            float d = vd.at(x, y) / k;
            if (d < 0.8f) index = 1;
            if (d < 0.0f) index = py < 6.0f ? 8 : py < 10.5f ? 7 : 6;
            big[static_cast<size_t>(y) * size * k + x] = index;
        }
    IndexedImage icon;
    icon.width = icon.height = size;
    icon.palette = kPalette;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int count[17] = {};
            for (int j = 0; j < k; ++j)
                for (int i = 0; i < k; ++i)
                    ++count[big[static_cast<size_t>(y * k + j) * size * k + x * k + i]];
            int best = 0;
            for (int c = 1; c < 17; ++c)
                if (count[c] > count[best]) best = c;
            icon.indices.push_back(static_cast<uint8_t>(best == kClear ? 0 : best));
            icon.transparent.push_back(best == kClear ? 1 : 0);
        }
    return icon;
}
