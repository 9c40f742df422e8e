#include <algorithm>
#include <cmath>

#include "Font.h"
#include "Generators.h"
#include "Lettering.h"

// The fly-by name card: the group's name in white with a deep extruded edge on a slanted
// translucent panel, an accent bar at each end and a tagline underneath.
namespace {

constexpr int kWidth = 1024, kHeight = 352;
constexpr float kCapHeight = 118.0f;
constexpr float kBaseline = 184.0f;
constexpr int kDepth = 12;  // pixels of extrusion towards the lower right
const char* const kTagline = "SHAPING LIGHT FROM SAND AND STONE";

float panelDistance(float x, float y) {
    float slant = (y - 0.5f * kHeight) * 0.3f;
    float dx = std::fabs(x - 0.5f * kWidth + slant) - 470.0f;
    float dy = std::fabs(y - 0.5f * kHeight) - 138.0f;
    return std::max(dx, dy);
}

}  // namespace

Image makeNameCard(FontSet& fonts) {
    Font& bold = fonts.sansBold;
    TextStyle name;
    name.size = 100.0f;
    name.size *= kCapHeight / bold.capHeight(name);
    name.tracking = 10.0f;
    name.xScale = std::min(1.0f, 760.0f / bold.advance("ZORVEK", name));
    Lettering letters = makeLettering(kWidth, kHeight, 3, [&](Plane& p, float k) {
        TextStyle s = name;
        s.size *= k;
        s.tracking *= k;
        bold.drawCentred(p, "ZORVEK", s, 0.5f * p.width(), kBaseline * k);
    });
    // The tagline is drawn at about a quarter of this size: its capitals about eight pixels high
    // on a 480-pixel-wide screen, condensed to fit between the accent bars and
    // centred on the slanted panel at its height.
    TextStyle tag;
    tag.size = 54.0f;
    tag.tracking = 3.0f;
    tag.xScale = std::min(1.0f, 740.0f / bold.advance(kTagline, tag));
    Lettering tagline = makeLettering(kWidth, kHeight, 2, [&](Plane& p, float k) {
        TextStyle s = tag;
        s.size *= k;
        s.tracking *= k;
        bold.drawCentred(p, kTagline, s, (0.5f * kWidth - 28.0f) * k, 286.0f * k);
    });

    Image out(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float d = panelDistance(px, py);
            // Panel: translucent (the rock shows through), darker towards the bottom, with a fine
            // border.
            float panel = clamp01(0.5f - d);
            out.paint(x, y, mix(rgb(46, 18, 14), rgb(12, 6, 6), py / kHeight), 0.5f * panel);
            out.paint(x, y, rgb(255, 196, 120), 0.7f * clamp01(1.0f - std::fabs(d + 6.0f)));
            // Accent bars inside the slanted ends.
            float slant = (py - 0.5f * kHeight) * 0.3f;
            float fromEnd = 470.0f - std::fabs(px - 0.5f * kWidth + slant);
            if (d < -12.0f && fromEnd > 14.0f && fromEnd < 26.0f)
                out.paint(x, y, rgb(255, 120, 30),
                          clamp01(fromEnd - 14.0f) * clamp01(26.0f - fromEnd));

            // Extrusion, back to front, from deep red into shadow.
            for (int k = kDepth; k >= 1; --k) {
                float a = letters.alphaAt(std::max(0, x - k), std::max(0, y - k));
                if (a > 0.0f)
                    out.paint(x, y,
                              mix(rgb(150, 40, 20), rgb(60, 10, 8), k / static_cast<float>(kDepth)),
                              a);
            }
            out.paint(x, y, rgb(20, 6, 4), letters.alphaAt(x, y, 2.5f));
            float a = letters.alphaAt(x, y);
            if (a > 0.0f) {
                // White face with a faint cool-to-warm fade and a bright rim.
                float t = (py - (kBaseline - kCapHeight)) / kCapHeight;
                Rgba face = mix(rgb(255, 255, 255), rgb(255, 226, 190), clamp01(t));
                face =
                    mix(face, rgb(255, 170, 90),
                        0.5f * clamp01(1.0f - std::fabs(letters.distance.at(x, y) + 2.0f) * 0.5f));
                out.paint(x, y, face, a);
            }
            out.paint(x, y, rgb(0, 0, 0),
                      0.85f * smoothstep(5.0f, -1.0f, tagline.distance.clamped(x - 3, y - 3)));
            out.paint(x, y, rgb(255, 190, 100), tagline.alphaAt(x, y));
        }
    return out;
}
