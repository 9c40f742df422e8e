#include <algorithm>
#include <cmath>

#include "ColorRamp.h"
#include "Generators.h"
#include "PeriodicNoise.h"
#include "Relief.h"

// Moss and lichen over dark stone. The shaders also read its brightness as a blend mask, so the
// cushions of moss are bright and the bare ground between them is dark, with a clear edge.
Image makeMossTexture(int size) {
    Plane height(size, size), cover(size, size), fibre(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            // Patches: domain-warped fractal noise, thresholded with a soft but clear edge.
            float wu = u + 0.08f * noise::fbm(u, v, 3, 3, 4, 0.5f, 201u);
            float wv = v + 0.08f * noise::fbm(u, v, 3, 3, 4, 0.5f, 203u);
            float field = noise::fbm(wu, wv, 3, 3, 6, 0.55f, 205u) + 0.06f;
            float m = smoothstep(-0.08f, 0.12f, field);
            // Cushions: rounded clumps that thin out towards the patch edge.
            noise::Cell clump = noise::cellular(u, v, 36, 36, 1.0f, 207u);
            float dome = 1.0f - std::min(1.0f, clump.f1 * clump.f1 * 1.6f);
            float fine = noise::fbm(u, v, 128, 128, 2, 0.5f, 209u);
            fibre.at(x, y) = fine;
            cover.at(x, y) = m;
            float rock = 0.12f * noise::fbm(u, v, 8, 8, 5, 0.55f, 211u);
            height.at(x, y) =
                rock + m * (0.35f + 0.3f * dome * smoothstep(0.0f, 0.6f, field) + 0.08f * fine);
        }

    const ColorRamp mossRamp{{0.0f, rgb(34, 52, 18)},
                             {0.35f, rgb(78, 112, 34)},
                             {0.7f, rgb(132, 168, 58)},
                             {1.0f, rgb(190, 210, 96)}};
    const Vec3 light{-0.5f, -0.7f, 0.9f};
    Image out(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            Vec3 n = reliefNormal(height, x, y, 30.0f, true);
            float lit = 0.5f + 0.6f * diffuse(n, light);
            float hollow = std::max(0.0f, cavity(height, x, y, 3, true));
            float m = cover.at(x, y);

            // Bare ground: dark stone and soil, with grey-yellow lichen crusts.
            float soil = 0.5f + 0.5f * noise::fbm(u, v, 16, 16, 4, 0.5f, 221u);
            Rgba bare = mix(rgb(30, 26, 22), rgb(58, 50, 40), soil);
            noise::Cell crust = noise::cellular(u, v, 20, 20, 1.0f, 223u);
            float radius = 0.15f + 0.3f * noise::hash01(static_cast<int>(crust.id), 3, 227u);
            float lobes = 0.18f * noise::fbm(u, v, 64, 64, 3, 0.6f, 225u);
            float crustShape = smoothstep(radius, radius - 0.08f, crust.f1 + lobes);
            bool yellow = noise::hash01(static_cast<int>(crust.id), 1, 227u) > 0.6f;
            float crustOn = noise::hash01(static_cast<int>(crust.id), 2, 227u) > 0.6f ? 1.0f : 0.0f;
            // Rings of lichen: paler rim, darker centre.
            float ring = 0.7f + 0.3f * smoothstep(0.0f, radius, crust.f1 + lobes);
            bare = mix(bare, scaled(yellow ? rgb(116, 108, 58) : rgb(98, 100, 90), ring),
                       0.75f * crustShape * crustOn);

            // Moss: hue drifts between yellow-green and blue-green from patch to patch.
            float lift =
                clamp01(0.45f + 0.5f * (height.at(x, y) - 0.35f) * 2.0f + 0.25f * fibre.at(x, y));
            Rgba moss = mossRamp(lift);
            float hue = 0.5f + 0.5f * noise::fbm(u, v, 4, 4, 3, 0.5f, 229u);
            moss = mix(moss, {moss.r * 0.8f, moss.g * 1.0f, moss.b * 1.25f, 1.0f}, hue);
            // Sporophytes: tiny bright ochre points on the crests.
            float spore = noise::hash01(x, y, 231u) > 0.994f ? 1.0f : 0.0f;
            moss = mix(moss, rgb(212, 170, 80), spore * smoothstep(0.5f, 0.8f, lift));

            Rgba c = mix(bare, moss, m);
            float k = lit * (1.0f - std::min(0.6f, hollow * 3.0f));
            out.at(x, y) = {c.r * k, c.g * k, c.b * k, 1.0f};
        }
    return out;
}
