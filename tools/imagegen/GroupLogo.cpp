#include <algorithm>
#include <cmath>

#include "ColorRamp.h"
#include "Font.h"
#include "Generators.h"
#include "Lettering.h"
#include "Relief.h"

// The group logo in two steps. Step one: "ZORVEK" in bevelled chrome with a sunset horizon,
// cut by two speed slots, dark rim and drop shadow. Step two, laid over it: a warm glow, a gold
// contour line following the letters, a sparkle and the word "presents".
namespace {

constexpr int kWidth = 1024, kHeight = 528;
constexpr float kCapHeight = 176.0f;
constexpr float kBaseline = 316.0f;
constexpr int kSupersample = 3;
// The picture's quad is centred on screen, so the artwork is centred in the picture: the letters'
// ink, their glow and the sparkle together balance on the middle (the sparkle and the glyphs' own
// side bearings pull them a few pixels right of the advance's centre).
constexpr float kCentreX = kWidth * 0.5f - 4.0f;

TextStyle titleStyle(Font& font) {
    TextStyle style;
    style.size = 100.0f;
    style.size *= kCapHeight / font.capHeight(style);
    style.tracking = 6.0f;
    float width = font.advance("ZORVEK", style);
    style.xScale = std::min(1.0f, 800.0f / width);
    return style;
}

Lettering zorvekLetters(Font& font) {
    TextStyle style = titleStyle(font);
    return makeLettering(kWidth, kHeight, kSupersample, [&](Plane& p, float k) {
        TextStyle big = style;
        big.size *= k;
        big.tracking *= k;
        font.drawCentred(p, "ZORVEK", big, kCentreX * k, kBaseline * k);
        // Two slots across the lower half of the letters.
        const float slots[2][2] = {{0.60f, 0.035f}, {0.78f, 0.05f}};
        for (const auto& s : slots) {
            int y0 = static_cast<int>((kBaseline - kCapHeight * (1.0f - s[0])) * k);
            int y1 = y0 + static_cast<int>(kCapHeight * s[1] * k);
            for (int y = y0; y < y1; ++y)
                for (int x = 0; x < p.width(); ++x) p.at(x, y) = 0.0f;
        }
    });
}

// Four-pointed star: thin crossed rays with a soft core.
float sparkle(float dx, float dy, float size) {
    float ax = std::fabs(dx) / size, ay = std::fabs(dy) / size;
    float rays = std::exp(-ay * 40.0f) * std::max(0.0f, 1.0f - ax) +
                 std::exp(-ax * 40.0f) * std::max(0.0f, 1.0f - ay);
    float core = std::exp(-(ax * ax + ay * ay) * 60.0f);
    return clamp01(rays * 0.9f + core);
}

}  // namespace

void makeGroupLogo(FontSet& fonts, Image& stepOne, Image& stepTwo) {
    Lettering letters = zorvekLetters(fonts.sansBold);
    Plane height = bevelHeight(letters, 9.0f);
    const ColorRamp chrome{{0.0f, rgb(255, 252, 238)}, {0.40f, rgb(246, 204, 128)},
                           {0.50f, rgb(150, 84, 40)},  {0.53f, rgb(92, 40, 22)},
                           {0.58f, rgb(196, 92, 40)},  {0.85f, rgb(250, 158, 70)},
                           {1.0f, rgb(255, 214, 140)}};
    const Vec3 light{-0.45f, -0.8f, 0.6f};
    const float top = kBaseline - kCapHeight;

    stepOne = Image(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            // Drop shadow, then the dark rim, then the metal.
            float shadowD = letters.distance.clamped(x - 7, y - 9);
            stepOne.paint(x, y, rgb(10, 5, 2), 0.65f * smoothstep(10.0f, -4.0f, shadowD));
            stepOne.paint(x, y, rgb(28, 14, 8), letters.alphaAt(x, y, 3.5f));
            float a = letters.alphaAt(x, y);
            if (a <= 0.0f) continue;
            Vec3 n = reliefNormal(height, x, y, 9.0f, false);
            float t = (y - top) / kCapHeight;
            stepOne.paint(x, y, metal(chrome, t, n, light), a);
        }

    stepTwo = Image(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            float d = letters.distance.at(x, y);
            if (d > 3.0f) {
                // The glow's faint tail fades out before the picture's edge.
                float edge = static_cast<float>(
                    std::min(std::min(x, kWidth - 1 - x), std::min(y, kHeight - 1 - y)));
                float g = glowAt(d - 3.0f, 34.0f) * smoothstep(3.0f, 6.0f, d) *
                          smoothstep(0.0f, 40.0f, edge);
                stepTwo.paint(x, y, rgb(255, 128, 36), 0.8f * g);
                // Gold contour 11 px outside the letters.
                float line = clamp01(1.2f - std::fabs(d - 11.0f));
                stepTwo.paint(x, y, rgb(255, 222, 150), line);
            }
        }

    // "presents", spaced out, between two hairlines: bold and on a dark shadow, so that it still
    // reads when the picture is shown small over the lit rock.
    TextStyle sub;
    sub.size = 50.0f;
    sub.tracking = 14.0f;
    Font& font = fonts.sansBold;
    float width = font.advance("presents", sub);
    Lettering word = makeLettering(kWidth, kHeight, 2, [&](Plane& p, float k) {
        TextStyle s = sub;
        s.size *= k;
        s.tracking *= k;
        font.drawCentred(p, "presents", s, kCentreX * k, 440.0f * k);
    });
    const float lineY = 440.0f - 0.5f * font.capHeight(sub) + 2.0f;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            float d = word.distance.at(x, y);
            float shadowD = word.distance.clamped(x - 3, y - 4);
            stepTwo.paint(x, y, rgb(10, 5, 2), 0.7f * smoothstep(6.0f, -2.0f, shadowD));
            stepTwo.paint(x, y, rgb(255, 140, 50),
                          0.75f * glowAt(d, 12.0f) * smoothstep(-1.0f, 1.0f, d));
            float gap = 0.5f * width + 40.0f;
            float fromCentre = std::fabs(x - kCentreX);
            if (fromCentre > gap && fromCentre < gap + 210.0f) {
                float fade = smoothstep(gap + 210.0f, gap + 60.0f, fromCentre);
                stepTwo.paint(x, y, rgb(255, 214, 150),
                              fade * clamp01(1.0f - std::fabs(y - lineY) * 0.8f));
            }
            stepTwo.paint(x, y, rgb(255, 240, 214), word.alphaAt(x, y));
        }

    // A glint on the top-left corner of the Z.
    float zLeft = kCentreX - 400.0f;
    for (int x = 0; x < kWidth; ++x)
        if (letters.coverage.at(x, static_cast<int>(top) + 4) > 0.5f) {
            zLeft = static_cast<float>(x);
            break;
        }
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            stepTwo.paint(x, y, rgb(255, 250, 235),
                          sparkle(x - (zLeft + 10.0f), y - (top + 6.0f), 70.0f));
}
