#include <algorithm>
#include <cmath>

#include "ColorRamp.h"
#include "DistanceField.h"
#include "Font.h"
#include "Generators.h"
#include "Lettering.h"
#include "PeriodicNoise.h"
#include "Relief.h"

// The title in three layers that move separately: a backing emblem (a striped setting sun
// behind a bevelled basalt slab) and the upper and lower halves of "VELMORA" in molten gold.
namespace {

constexpr int kWidth = 1024, kHeight = 700;
constexpr float kCapHeight = 172.0f;
constexpr float kBaseline = 478.0f;
constexpr float kSunX = 512.0f, kSunY = 318.0f, kSunRadius = 262.0f;
constexpr float kSlabTop = 282.0f, kSlabBottom = 506.0f;

float slabDistance(float x, float y) {
    // A wide slab with slanted ends: negative inside.
    float slant = (y - 0.5f * (kSlabTop + kSlabBottom)) * 0.35f;
    float dx = std::fabs(x - kWidth * 0.5f + slant) - (kWidth * 0.5f - 34.0f);
    float dy = std::fabs(y - 0.5f * (kSlabTop + kSlabBottom)) - 0.5f * (kSlabBottom - kSlabTop);
    return std::max(dx, dy);
}

Image backing() {
    Plane slab(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) slab.at(x, y) = -slabDistance(x + 0.5f, y + 0.5f);
    Plane relief(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            float u = (x + 0.5f) / kWidth, v = (y + 0.5f) / kHeight;
            float t = clamp01(slab.at(x, y) / 10.0f);
            relief.at(x, y) = std::sqrt(1.0f - (1.0f - t) * (1.0f - t)) +
                              0.04f * noise::fbm(u, v, 32, 22, 4, 0.55f, 401u);
        }
    const ColorRamp sun{
        {0.0f, rgb(255, 214, 120)}, {0.45f, rgb(250, 140, 56)}, {1.0f, rgb(196, 46, 38)}};
    const Vec3 light{-0.4f, -0.8f, 0.6f};
    Image out(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            // Sun: a disc with a glow, its lower half cut by stripes that widen towards the
            // horizon.
            float r = std::hypot(px - kSunX, py - kSunY);
            out.paint(x, y, rgb(255, 120, 40),
                      0.55f * glowAt(r - kSunRadius, 70.0f) *
                          smoothstep(kSunRadius - 2.0f, kSunRadius + 2.0f, r));
            float disc = clamp01(kSunRadius + 0.5f - r);
            float t = (py - (kSunY - kSunRadius)) / (2.0f * kSunRadius);
            if (t > 0.48f) {
                float s = (t - 0.48f) / 0.52f;
                float phase = std::fmod(s * 7.0f, 1.0f);
                float gap = 0.12f + 0.45f * s;
                disc *= smoothstep(gap - 0.03f, gap + 0.03f, phase);
            }
            out.paint(x, y, sun(t), 0.95f * disc);
            // Ring around the sun.
            out.paint(x, y, rgb(255, 224, 160),
                      0.8f * clamp01(1.5f - std::fabs(r - kSunRadius - 16.0f)));

            // Slab: dark stone, bevelled, with an inset gold line and horizon rules running out.
            float d = slabDistance(px, py);
            float rule = clamp01(1.2f - std::fabs(py - (kSlabTop - 10.0f))) +
                         clamp01(1.2f - std::fabs(py - (kSlabBottom + 10.0f)));
            out.paint(x, y, rgb(255, 200, 120), 0.7f * rule);
            out.paint(x, y, rgb(12, 6, 4),
                      0.5f * smoothstep(14.0f, -6.0f, slabDistance(px - 6.0f, py - 10.0f)));
            float a = clamp01(0.5f - d);
            if (a <= 0.0f) continue;
            float u = px / kWidth, v = py / kHeight;
            Vec3 n = reliefNormal(relief, x, y, 14.0f, false);
            float tone = 0.5f + 0.5f * noise::fbm(u, v, 8, 6, 5, 0.55f, 403u);
            Rgba stone = mix(rgb(58, 34, 26), rgb(34, 20, 16), tone);
            float lit = 0.55f + 0.6f * diffuse(n, light) + 0.3f * specular(n, light, 24.0f);
            Rgba c = scaled(stone, lit);
            c = mix(c, rgb(240, 186, 104), clamp01(1.3f - std::fabs(-d - 14.0f)));
            out.paint(x, y, c, 0.94f * a);
        }
    return out;
}

}  // namespace

void makeTitleLogo(FontSet& fonts, Image& background, Image& upper, Image& lower) {
    background = backing();

    Font& font = fonts.sansBold;
    TextStyle style;
    style.size = 100.0f;
    style.size *= kCapHeight / font.capHeight(style);
    style.tracking = 4.0f;
    style.xScale = std::min(1.0f, 880.0f / font.advance("VELMORA", style));
    Lettering letters = makeLettering(kWidth, kHeight, 3, [&](Plane& p, float k) {
        TextStyle big = style;
        big.size *= k;
        big.tracking *= k;
        font.drawCentred(p, "VELMORA", big, 0.5f * p.width(), kBaseline * k);
    });
    Plane height = bevelHeight(letters, 8.0f);
    const ColorRamp gold{{0.0f, rgb(255, 248, 214)}, {0.42f, rgb(255, 206, 96)},
                         {0.50f, rgb(168, 86, 30)},  {0.54f, rgb(110, 34, 18)},
                         {0.60f, rgb(214, 84, 32)},  {1.0f, rgb(255, 176, 70)}};
    const Vec3 light{-0.45f, -0.8f, 0.6f};
    const float top = kBaseline - kCapHeight;
    const int split = static_cast<int>(kBaseline - 0.5f * kCapHeight);

    Image letterImage(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            letterImage.paint(
                x, y, rgb(8, 4, 2),
                0.6f * smoothstep(9.0f, -3.0f, letters.distance.clamped(x - 6, y - 8)));
            letterImage.paint(x, y, rgb(30, 12, 6), letters.alphaAt(x, y, 3.0f));
            float a = letters.alphaAt(x, y);
            if (a <= 0.0f) continue;
            Vec3 n = reliefNormal(height, x, y, 8.0f, false);
            Rgba c = metal(gold, (y - top) / kCapHeight, n, light);
            // A bright hairline just inside the outline catches the light.
            c = mix(c, rgb(255, 250, 230),
                    0.5f * clamp01(1.0f - std::fabs(letters.distance.at(x, y) + 1.5f)));
            letterImage.paint(x, y, c, a);
        }
    upper = Image(kWidth, kHeight);
    lower = Image(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            (y < split ? upper : lower).at(x, y) = letterImage.at(x, y);
}
