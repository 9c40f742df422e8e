#include <algorithm>
#include <cmath>
#include <vector>

#include "Generators.h"
#include "PeriodicNoise.h"
#include "Relief.h"

// Old temple masonry: courses of uneven height, blocks of uneven length, chipped and rounded
// arrises, weathered faces with cracks and stains, worn mortar sunk between them.
namespace {

struct Course {
    float top = 0.0f, bottom = 0.0f;
    std::vector<float> joints;  // block starts in 0..1, rising, first one may be > 0
};

std::vector<Course> makeCourses() {
    const int count = 6;
    std::vector<float> heights;
    float total = 0.0f;
    for (int i = 0; i < count; ++i) {
        heights.push_back(0.75f + 0.5f * noise::hash01(i, 1, 91u));
        total += heights.back();
    }
    std::vector<Course> courses;
    float at = 0.0f;
    for (int i = 0; i < count; ++i) {
        Course c;
        c.top = at;
        at += heights[i] / total;
        c.bottom = at;
        // Blocks 1.2 to 2.8 course heights long, scaled to fill the row exactly.
        float h = c.bottom - c.top;
        std::vector<float> lengths;
        float sum = 0.0f;
        for (int b = 0; sum < 1.0f; ++b) {
            lengths.push_back(h * (1.2f + 1.6f * noise::hash01(i, b, 93u)));
            sum += lengths.back();
        }
        float start = noise::hash01(i, 7, 95u);
        for (float len : lengths) {
            c.joints.push_back(start);
            start += len / sum;
        }
        courses.push_back(c);
    }
    return courses;
}

// Polynomial smooth minimum: rounds the corners where two edge distances meet.
float softMin(float a, float b, float k) {
    float h = clamp01(0.5f + 0.5f * (b - a) / k);
    return lerp(b, a, h) - k * h * (1.0f - h);
}

// Vertical joints lean a little; joint j of a course sits at this u at height v.
float jointAt(const Course& c, size_t j, float v) {
    float lean =
        (noise::hash01(static_cast<int>(j), static_cast<int>(c.top * 1000.0f), 97u) - 0.5f) * 0.3f;
    float base = j < c.joints.size() ? c.joints[j] : c.joints[0] + 1.0f;
    return base + lean * (v - 0.5f * (c.top + c.bottom));
}

}  // namespace

Image makeBrickTexture(int size) {
    const std::vector<Course> courses = makeCourses();
    const Rgba stones[] = {rgb(186, 170, 142), rgb(176, 152, 118), rgb(160, 150, 134),
                           rgb(170, 140, 110), rgb(194, 180, 154), rgb(150, 132, 108)};
    const float mortar = 0.0025f;
    Plane height(size, size), dirt(size, size), crackPlane(size, size);
    std::vector<Rgba> base(static_cast<size_t>(size) * size);

    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            // Warp the lookup a little so joints are not ruled lines.
            float wu = u + 0.004f * noise::fbm(u, v, 8, 8, 3, 0.5f, 101u);
            float wv = v + 0.004f * noise::fbm(u, v, 8, 8, 3, 0.5f, 103u);
            wv -= std::floor(wv);
            size_t ci = 0;
            while (ci + 1 < courses.size() && wv >= courses[ci].bottom) ++ci;
            const Course& c = courses[ci];
            // Find the block between two leaning joints; joints wrap around the tile.
            float rel = wu - jointAt(c, 0, wv);
            rel -= std::floor(rel);
            size_t bi = c.joints.size() - 1;
            for (size_t j = 1; j < c.joints.size(); ++j)
                if (rel < jointAt(c, j, wv) - jointAt(c, 0, wv)) {
                    bi = j - 1;
                    break;
                }
            float left = jointAt(c, bi, wv) - jointAt(c, 0, wv);
            float right = jointAt(c, bi + 1, wv) - jointAt(c, 0, wv);
            float cy = 0.5f * (c.top + c.bottom), hy = 0.5f * (c.bottom - c.top);
            uint32_t id = noise::hash(static_cast<int>(ci), static_cast<int>(bi), 107u);

            // Distance into the block from its nearest edge, corners rounded, arrises chipped.
            float edge = softMin(softMin(rel - left, right - rel, 0.015f),
                                 softMin(wv - c.top, c.bottom - wv, 0.015f), 0.015f);
            float wear = 0.002f + 0.006f * (id % 100) / 100.0f;
            noise::Cell chip = noise::cellular(u, v, 14, 14, 1.0f, 111u);
            float chipped = smoothstep(0.45f, 0.2f, chip.f1) *
                            smoothstep(0.3f, 0.7f, noise::hash01(static_cast<int>(chip.id), 0, 1u));
            float d = edge - mortar -
                      wear * (0.5f + 0.5f * noise::fbm(u, v, 16, 16, 3, 0.5f, 109u)) -
                      0.02f * chipped * smoothstep(0.03f, 0.0f, edge - mortar);
            float inside = smoothstep(0.0f, 0.012f, d);
            // Weathered faces: broad undulation, fine grain and shallow solution hollows.
            noise::Cell hollowCell = noise::cellular(u, v, 20, 20, 1.0f, 114u);
            float hollows =
                smoothstep(0.4f, 0.0f, hollowCell.f1) *
                smoothstep(0.5f, 0.8f, noise::hash01(static_cast<int>(hollowCell.id), 1, 2u));
            float face = 0.12f * noise::fbm(u + 0.13f * (id % 7), v, 6, 6, 5, 0.55f, 113u) +
                         0.05f * noise::fbm(u, v, 48, 48, 3, 0.5f, 115u) - 0.08f * hollows;
            float cu = u + 0.012f * noise::fbm(u, v, 16, 16, 3, 0.5f, 125u);
            float cv = v + 0.012f * noise::fbm(u, v, 16, 16, 3, 0.5f, 127u);
            noise::Cell cr = noise::cellular(cu, cv, 9, 9, 1.0f, 117u);
            float crack = (1.0f - smoothstep(0.0f, 0.02f, cr.f2 - cr.f1)) *
                          smoothstep(0.3f, 0.6f, noise::fbm(u, v, 4, 4, 2, 0.5f, 119u)) * inside;
            crackPlane.at(x, y) = crack;

            float grit = 0.05f * noise::fbm(u, v, 96, 96, 2, 0.5f, 121u);
            height.at(x, y) = inside * (0.55f + face) - 0.35f * crack + (1.0f - inside) * grit;
            // Grime collects low on each block and in the joints.
            float low = smoothstep(cy - hy * 0.2f, cy + hy, wv);
            // Rain leaves dark runs down the faces.
            float runs =
                smoothstep(0.55f, 0.9f, 0.5f + 0.5f * noise::fbm(u, v, 36, 3, 3, 0.5f, 129u));
            dirt.at(x, y) =
                clamp01(0.35f * low + 0.5f * (0.5f + 0.5f * noise::fbm(u, v, 5, 5, 4, 0.5f, 123u)) -
                        0.25f + 0.35f * runs);

            Rgba stone = stones[id % 6];
            float tint = 0.9f + 0.2f * ((id >> 12) % 100) / 100.0f;
            stone = scaled(stone, tint);
            Rgba joint = rgb(112, 100, 84);
            base[static_cast<size_t>(y) * size + x] = mix(joint, stone, inside);
        }

    const Vec3 light{-0.5f, -0.8f, 0.85f};
    Image out(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            Vec3 n = reliefNormal(height, x, y, 40.0f, true);
            float lit = 0.45f + 0.65f * diffuse(n, light) + 0.1f * specular(n, light, 16.0f);
            float hollow = std::max(0.0f, cavity(height, x, y, 2, true)) +
                           std::max(0.0f, cavity(height, x, y, 7, true));
            Rgba c = base[static_cast<size_t>(y) * size + x];
            float mottle = 0.5f + 0.5f * noise::fbm(u, v, 12, 12, 4, 0.6f, 131u);
            c = mix(c, scaled(c, 0.8f), mottle);
            c = mix(c, rgb(70, 62, 50), 0.55f * dirt.at(x, y));
            // Green-black algae where the grime is thickest.
            c = mix(c, rgb(58, 72, 44), 0.35f * smoothstep(0.45f, 0.8f, dirt.at(x, y)));
            c = mix(c, rgb(36, 30, 26), 0.8f * crackPlane.at(x, y));
            // Pale lichen rosettes here and there.
            noise::Cell spot = noise::cellular(u, v, 14, 14, 1.0f, 135u);
            float radius = 0.12f + 0.2f * noise::hash01(static_cast<int>(spot.id), 5, 6u);
            float rosette = smoothstep(radius, radius - 0.06f,
                                       spot.f1 + 0.08f * noise::fbm(u, v, 64, 64, 3, 0.5f, 137u)) *
                            (noise::hash01(static_cast<int>(spot.id), 3, 4u) > 0.86f ? 1.0f : 0.0f);
            c = mix(c, rgb(190, 188, 150),
                    0.45f * rosette * (0.6f + 0.4f * noise::value(u, v, 128, 128, 139u)));
            float grain = noise::hash01(x, y, 133u) - 0.5f;
            float k = lit * (1.0f - std::min(0.7f, hollow * 2.5f)) * (1.0f + 0.12f * grain);
            out.at(x, y) = {c.r * k, c.g * k, c.b * k, 1.0f};
        }
    return out;
}
