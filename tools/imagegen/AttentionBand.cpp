#include <cmath>

#include "Font.h"
#include "Generators.h"
#include "Lettering.h"

// A scrolling band: hazard stripes along both edges and a phrase that repeats seamlessly, so
// the strip tiles sideways. Everything horizontal repeats with a period dividing the width.
namespace {

constexpr int kWidth = 1024, kHeight = 146;
constexpr int kStripeHeight = 20;
constexpr int kStripePeriod = 32;  // 1024 / 32 whole stripes
const char* const kPhrase =
    "ATTENTION  \xE2\x97\x86  ZORVEK  \xE2\x97\x86  VELMORA  \xE2\x97\x86  ";

}  // namespace

Image makeAttentionBand(FontSet& fonts) {
    Font& font = fonts.sansBold;
    TextStyle style;
    style.size = 100.0f;
    style.size *= 58.0f / font.capHeight(style);
    // Squeeze the phrase so exactly one copy fills the width (no tracking: it would not scale).
    style.xScale = kWidth / font.advance(kPhrase, style);
    const float baseline = 0.5f * kHeight + 29.0f;
    Lettering text = makeLettering(kWidth, kHeight, 2, [&](Plane& p, float k) {
        TextStyle s = style;
        s.size *= k;
        s.tracking *= k;
        for (int copy = -1; copy <= 1; ++copy)
            font.draw(p, kPhrase, s, (copy * kWidth + 12.0f) * k, baseline * k);
    });

    Image out(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            bool edge = y < kStripeHeight || y >= kHeight - kStripeHeight;
            if (edge) {
                // Diagonal amber and black stripes, antialiased, leaning the same way on both
                // edges.
                float phase =
                    std::fmod(static_cast<float>(x + y + 1000 * kStripePeriod), kStripePeriod) /
                    kStripePeriod;
                float amber = smoothstep(0.0f, 0.04f, phase) * smoothstep(0.54f, 0.5f, phase);
                Rgba c = mix(rgb(20, 14, 10), rgb(255, 176, 32), amber);
                float inner =
                    y < kStripeHeight ? kStripeHeight - 1 - y : y - (kHeight - kStripeHeight);
                c = scaled(c, 0.8f + 0.2f * (inner / kStripeHeight));
                out.at(x, y) = {c.r, c.g, c.b, 0.95f};
                continue;
            }
            // Middle: dark translucent with a faint scanline, then the lettering with a glow.
            float scan = (y % 2 == 0) ? 1.0f : 0.85f;
            out.at(x, y) = {0.06f * scan, 0.035f * scan, 0.02f * scan, 0.72f};
            out.paint(x, y, rgb(255, 150, 30),
                      0.5f * glowAt(text.distance.at(x, y), 8.0f) *
                          smoothstep(-1.0f, 1.0f, text.distance.at(x, y)));
            float t = (y - (baseline - 58.0f)) / 58.0f;
            Rgba letter = mix(rgb(255, 236, 150), rgb(255, 160, 30), clamp01(t));
            out.paint(x, y, letter, text.alphaAt(x, y));
        }
    // Thin bright edges between stripes and middle.
    for (int x = 0; x < kWidth; ++x) {
        out.paint(x, kStripeHeight, rgb(255, 210, 120), 0.9f);
        out.paint(x, kHeight - kStripeHeight - 1, rgb(255, 210, 120), 0.9f);
    }
    return out;
}
