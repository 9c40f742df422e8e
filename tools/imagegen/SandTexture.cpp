#include <algorithm>
#include <cmath>

#include "ColorRamp.h"
#include "Generators.h"
#include "PeriodicNoise.h"
#include "Relief.h"

// Wind-rippled desert sand: asymmetric ripples (gentle windward slope, steep lee) that bend and
// fork with the wind, a second faint set across them, heavier dark grains in the troughs.
namespace {

constexpr float kTwoPi = 6.2831853f;

// One ripple train: wave numbers per tile (integers, so it tiles) and a warp of its phase.
float ripple(float u, float v, int ku, int kv, float warp, float& trough) {
    float phase = ku * u + kv * v + warp;
    float s = phase - std::floor(phase);
    // Rise over 75 % of the period, drop over the rest, crest rounded.
    float h = s < 0.75f ? s / 0.75f : (1.0f - s) / 0.25f;
    h = h * h * (3.0f - 2.0f * h);
    trough = 1.0f - h;
    return h;
}

}  // namespace

Image makeSandTexture(int size) {
    Plane height(size, size), troughs(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            float warp = 1.6f * noise::fbm(u, v, 2, 2, 4, 0.5f, 301u) +
                         0.35f * noise::fbm(u, v, 6, 6, 3, 0.5f, 303u);
            float t1 = 0.0f, t2 = 0.0f;
            float main = ripple(u, v, 3, 26, warp, t1);
            float cross = ripple(u, v, -9, 14, 0.8f * noise::fbm(u, v, 3, 3, 3, 0.5f, 305u), t2);
            // Ripples fade out on the flat patches and strengthen on the dune flanks.
            float strength = 0.55f + 0.45f * noise::fbm(u, v, 3, 3, 3, 0.5f, 307u);
            float dune = 0.9f * noise::fbm(u, v, 1, 1, 3, 0.5f, 309u);
            float fine = 0.0025f * noise::fbm(u, v, 96, 96, 2, 0.5f, 311u);
            height.at(x, y) = dune + 0.12f * strength * main + 0.03f * cross + fine;
            troughs.at(x, y) = t1 * strength;
        }

    const ColorRamp sandRamp{{0.0f, rgb(124, 78, 44)},
                             {0.35f, rgb(178, 124, 74)},
                             {0.7f, rgb(222, 176, 118)},
                             {1.0f, rgb(246, 216, 166)}};
    const Vec3 light{-0.3f, -0.85f, 0.45f};  // low sun: the ripples read by their shadows
    Image out(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            Vec3 n = reliefNormal(height, x, y, 140.0f, true);
            float lit = clamp01(0.3f + 0.85f * diffuse(n, light));
            float tone = 0.5f + 0.5f * noise::fbm(u, v, 5, 5, 4, 0.5f, 321u);
            Rgba c = sandRamp(clamp01(0.15f + 0.75f * lit + 0.12f * (tone - 0.5f)));
            // Heavier, darker grains collect in the troughs; scattered dark and bright grains.
            c = mix(c, scaled(c, 0.7f), 0.5f * smoothstep(0.6f, 1.0f, troughs.at(x, y)));
            float g = noise::hash01(x, y, 323u);
            if (g > 0.985f)
                c = scaled(c, 0.55f);
            else if (g < 0.01f)
                c = mix(c, rgb(255, 248, 230), 0.6f);
            c = scaled(c, 0.94f + 0.12f * noise::hash01(x, y, 325u));
            out.at(x, y) = {c.r, c.g, c.b, 1.0f};
        }
    return out;
}
