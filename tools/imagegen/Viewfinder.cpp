#include <algorithm>
#include <cmath>

#include "Font.h"
#include "Generators.h"
#include "Lettering.h"

// The camcorder look of the cave: a viewfinder overlay (corner brackets, safe-area frame,
// centre cross, battery, tape speed, the zoom bar's frame, the labels of the time code and of the
// sound level meters) and the blinking recording mark. What moves (the time code's digits, the
// zoom bar's fill, the meters) the cave's camcorder program draws itself.
namespace {

constexpr int kWidth = 1280, kHeight = 720;

void fillRect(Plane& p, float x0, float y0, float x1, float y1, float k) {
    for (int y = static_cast<int>(y0 * k); y < static_cast<int>(y1 * k); ++y)
        for (int x = static_cast<int>(x0 * k); x < static_cast<int>(x1 * k); ++x)
            if (x >= 0 && y >= 0 && x < p.width() && y < p.height()) p.at(x, y) = 1.0f;
}

void frameRect(Plane& p, float x0, float y0, float x1, float y1, float t, float k) {
    fillRect(p, x0, y0, x1, y0 + t, k);
    fillRect(p, x0, y1 - t, x1, y1, k);
    fillRect(p, x0, y0, x0 + t, y1, k);
    fillRect(p, x1 - t, y0, x1, y1, k);
}

void drawMarks(Plane& p, float k, FontSet& fonts) {
    // Corner brackets.
    const float inset = 44.0f, arm = 92.0f, thick = 5.0f;
    for (int corner = 0; corner < 4; ++corner) {
        bool right = corner & 1, bottom = corner & 2;
        float x = right ? kWidth - inset : inset, y = bottom ? kHeight - inset : inset;
        float sx = right ? -1.0f : 1.0f, sy = bottom ? -1.0f : 1.0f;
        fillRect(p, std::min(x, x + sx * arm), std::min(y, y + sy * thick),
                 std::max(x, x + sx * arm), std::max(y, y + sy * thick), k);
        fillRect(p, std::min(x, x + sx * thick), std::min(y, y + sy * arm),
                 std::max(x, x + sx * thick), std::max(y, y + sy * arm), k);
    }
    // Centre cross with an open middle.
    const float cx = 0.5f * kWidth, cy = 0.5f * kHeight;
    fillRect(p, cx - 28, cy - 1.5f, cx - 8, cy + 1.5f, k);
    fillRect(p, cx + 8, cy - 1.5f, cx + 28, cy + 1.5f, k);
    fillRect(p, cx - 1.5f, cy - 28, cx + 1.5f, cy - 8, k);
    fillRect(p, cx - 1.5f, cy + 8, cx + 1.5f, cy + 28, k);

    // Battery, three of four bars left.
    frameRect(p, 1128, 64, 1196, 94, 3.0f, k);
    fillRect(p, 1196, 72, 1203, 86, k);
    for (int i = 0; i < 3; ++i) fillRect(p, 1134 + 15.5f * i, 70, 1146 + 15.5f * i, 88, k);

    TextStyle label;
    label.size = 30.0f * k;
    label.tracking = 2.0f * k;
    fonts.monoBold.draw(p, "SP", label, 1062 * k, 91 * k);

    // Zoom bar: W [    ] T, filled by the program.
    fonts.monoBold.draw(p, "W", label, 92 * k, 652 * k);
    frameRect(p, 122, 630, 302, 650, 2.0f, k);
    fonts.monoBold.draw(p, "T", label, 312 * k, 652 * k);

    // Labels of the time code and of the two sound level meters at the top.
    TextStyle small = label;
    small.size = 20.0f * k;
    fonts.monoBold.draw(p, "TC", small, 958 * k, 650 * k);
    TextStyle tiny = label;
    tiny.size = 13.0f * k;
    fonts.monoBold.draw(p, "L", tiny, 546 * k, 61 * k);
    fonts.monoBold.draw(p, "R", tiny, 546 * k, 73 * k);
}

}  // namespace

Image makeViewfinder(FontSet& fonts) {
    Lettering marks =
        makeLettering(kWidth, kHeight, 2, [&](Plane& p, float k) { drawMarks(p, k, fonts); });
    Image out(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            // Safe-area frame: a faint thin line at 90 % of the picture.
            float fx = std::fabs(x + 0.5f - 0.5f * kWidth) - 0.45f * kWidth;
            float fy = std::fabs(y + 0.5f - 0.5f * kHeight) - 0.45f * kHeight;
            float frame = std::max(fx, fy);
            out.paint(x, y, rgb(255, 255, 255), 0.3f * clamp01(1.0f - std::fabs(frame)));
            // Marks: white, with a soft dark edge so they read over bright rock.
            float d = marks.distance.at(x, y);
            out.paint(x, y, rgb(0, 0, 0), 0.55f * smoothstep(4.0f, 0.0f, d));
            out.paint(x, y, rgb(246, 246, 238), marks.alphaAt(x, y));
        }
    return out;
}

Image makeRecordingMark(FontSet& fonts) {
    constexpr int w = 256, h = 128;
    const float cx = 58.0f, cy = 64.0f, radius = 28.0f;
    Font& bold = fonts.sansBold;
    TextStyle style;
    style.size = 100.0f;
    style.size *= 40.0f / bold.capHeight(style);
    style.tracking = 3.0f;
    Lettering text = makeLettering(w, h, 3, [&](Plane& p, float k) {
        TextStyle s = style;
        s.size *= k;
        s.tracking *= k;
        bold.draw(p, "REC", s, 104.0f * k, 84.0f * k);
    });
    Image out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float r = std::hypot(px - cx, py - cy);
            out.paint(
                x, y, rgb(255, 30, 20),
                0.5f * glowAt(r - radius, 12.0f) * smoothstep(radius - 1.0f, radius + 1.0f, r));
            float disc = clamp01(radius + 0.5f - r);
            if (disc > 0.0f) {
                // Glossy: a hot spot up and left, darker rim.
                float spot = std::hypot(px - (cx - 9.0f), py - (cy - 10.0f)) / radius;
                Rgba c = mix(rgb(255, 120, 100), rgb(190, 0, 0), clamp01(spot));
                c = mix(c, rgb(120, 0, 0), smoothstep(0.7f, 1.0f, r / radius));
                out.paint(x, y, c, disc);
            }
            out.paint(x, y, rgb(0, 0, 0),
                      0.55f * smoothstep(4.0f, 0.0f, text.distance.clamped(x - 1, y - 2)));
            out.paint(x, y, rgb(250, 250, 244), text.alphaAt(x, y));
        }
    return out;
}

Image makeDustMote() {
    constexpr int size = 64;
    Image out(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float dx = (x + 0.5f) / (0.5f * size) - 1.0f, dy = (y + 0.5f) / (0.5f * size) - 1.0f;
            float r2 = std::min(1.0f, dx * dx + dy * dy);
            // Smooth to zero at the rim, with a brighter core.
            float a = std::pow(1.0f - r2, 3.0f) * 0.85f + std::exp(-r2 * 40.0f) * 0.15f;
            Rgba c = mix(rgb(255, 250, 240), rgb(255, 226, 190), std::sqrt(r2));
            out.at(x, y) = {c.r, c.g, c.b, a};
        }
    return out;
}
