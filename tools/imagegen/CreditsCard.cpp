#include <algorithm>
#include <cmath>
#include <functional>

#include "ColorRamp.h"
#include "Font.h"
#include "Generators.h"
#include "Lettering.h"

// Full-screen credits laid over the rock tunnel: a dark translucent band across the middle, the
// title in gold, the production line and three roles, all with soft shadows so they read over
// bright rock.
namespace {

constexpr int kWidth = 1280, kHeight = 720;
constexpr float kCentre = 640.0f;

struct Line {
    Font* font;
    TextStyle style;
    std::string text;
    float x, baseline;
    int align;  // -1 left edge at x, 0 centred, 1 right edge at x
};

void drawLines(Plane& p, float k, const std::vector<Line>& lines) {
    for (const Line& line : lines) {
        TextStyle s = line.style;
        s.size *= k;
        s.tracking *= k;
        float w = line.font->advance(line.text, s);
        float x = line.x * k - (line.align == 0 ? 0.5f * w : line.align > 0 ? w : 0.0f);
        line.font->draw(p, line.text, s, x, line.baseline * k);
    }
}

TextStyle sized(float size, float tracking = 0.0f) {
    TextStyle s;
    s.size = size;
    s.tracking = tracking;
    return s;
}

}  // namespace

Image makeCreditsCard(FontSet& fonts) {
    // Title.
    Font& bold = fonts.sansBold;
    TextStyle titleStyle = sized(100.0f, 10.0f);
    titleStyle.size *= 78.0f / bold.capHeight(titleStyle);
    std::vector<Line> title = {{&bold, titleStyle, "VELMORA", kCentre, 248.0f, 0}};

    // "a ZORVEK production", the group name in bold.
    TextStyle small = sized(30.0f, 3.0f);
    TextStyle smallBold = sized(30.0f, 3.0f);
    float wA = fonts.sans.advance("a ", small) + small.tracking;
    float wZ = bold.advance("ZORVEK", smallBold) + small.tracking;
    float wP = fonts.sans.advance(" production", small);
    float x0 = kCentre - 0.5f * (wA + wZ + wP);
    std::vector<Line> cream = {{&fonts.sans, small, "a ", x0, 302.0f, -1},
                               {&fonts.sans, small, " production", x0 + wA + wZ, 302.0f, -1}};
    std::vector<Line> white = {{&bold, smallBold, "ZORVEK", x0 + wA, 302.0f, -1}};

    // Roles.
    std::vector<Line> roles;
    const char* names[] = {"code", "music", "graphics"};
    for (int i = 0; i < 3; ++i) {
        float baseline = 408.0f + 56.0f * i;
        roles.push_back({&fonts.sans, sized(32.0f, 2.0f), names[i], kCentre - 36.0f, baseline, 1});
        white.push_back({&bold, sized(36.0f, 3.0f), "ZORVEK", kCentre + 36.0f, baseline, -1});
        roles.push_back(
            {&bold, sized(22.0f), "\xE2\x97\x86", kCentre, baseline - 6.0f, 0});  // diamond
    }

    Lettering titleLetters =
        makeLettering(kWidth, kHeight, 2, [&](Plane& p, float k) { drawLines(p, k, title); });
    Lettering creamLetters =
        makeLettering(kWidth, kHeight, 2, [&](Plane& p, float k) { drawLines(p, k, cream); });
    Lettering whiteLetters =
        makeLettering(kWidth, kHeight, 2, [&](Plane& p, float k) { drawLines(p, k, white); });
    Lettering roleLetters =
        makeLettering(kWidth, kHeight, 2, [&](Plane& p, float k) { drawLines(p, k, roles); });
    Plane bevel = bevelHeight(titleLetters, 4.0f);

    const ColorRamp gold{{0.0f, rgb(255, 248, 220)},
                         {0.45f, rgb(255, 204, 100)},
                         {0.52f, rgb(150, 70, 26)},
                         {0.6f, rgb(220, 100, 40)},
                         {1.0f, rgb(255, 186, 90)}};
    const Vec3 light{-0.45f, -0.8f, 0.6f};
    const float titleTop = 248.0f - 78.0f;

    Image out(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            // The band: darkest in the middle, fading out at its top, bottom and sides.
            float vy = std::fabs(y + 0.5f - 352.0f) / 240.0f;
            float vx = std::fabs(x + 0.5f - kCentre) / 620.0f;
            float band = smoothstep(1.0f, 0.55f, vy) * smoothstep(1.0f, 0.45f, vx);
            out.paint(x, y, rgb(14, 8, 6), 0.62f * band);
            // Hairline rules above and below the roles.
            for (float ry : {338.0f, 556.0f}) {
                float rule = clamp01(1.0f - std::fabs(y + 0.5f - ry)) *
                             smoothstep(300.0f, 120.0f, std::fabs(x + 0.5f - kCentre));
                out.paint(x, y, rgb(240, 190, 110), 0.85f * rule);
            }
            // Soft shadows under all lettering.
            float shadow = 0.0f;
            for (const Lettering* l : {&titleLetters, &creamLetters, &whiteLetters, &roleLetters})
                shadow =
                    std::max(shadow, smoothstep(5.0f, -2.0f, l->distance.clamped(x - 2, y - 3)));
            out.paint(x, y, rgb(0, 0, 0), 0.7f * shadow);

            out.paint(x, y, rgb(40, 16, 6), titleLetters.alphaAt(x, y, 1.5f));
            float a = titleLetters.alphaAt(x, y);
            if (a > 0.0f) {
                Vec3 n = reliefNormal(bevel, x, y, 4.0f, false);
                out.paint(x, y, metal(gold, (y - titleTop) / 78.0f, n, light), a);
            }
            out.paint(x, y, rgb(240, 222, 196), creamLetters.alphaAt(x, y));
            out.paint(x, y, rgb(255, 250, 240), whiteLetters.alphaAt(x, y));
            out.paint(x, y, rgb(236, 170, 96), roleLetters.alphaAt(x, y));
        }
    return out;
}
