#include <algorithm>
#include <cmath>
#include <vector>

#include "ColorRamp.h"
#include "Generators.h"
#include "PeriodicNoise.h"
#include "Relief.h"

// Layered sandstone and quartzite: folded strata of different hardness (hard beds stand out,
// soft ones weather back), vertical joints, fine cracks, desert-varnish streaks below ledges,
// mineral grains (pale quartz, pink feldspar, dark specks, rust) and patchy iron staining.
// Nothing repeats regularly at a small scale: evenly spaced lines read as wood grain, and
// texel-sized noise sparkles wherever the wall is seen smaller than its image. The beds run
// nearly straight, are broken into blocks by faults that shift them up or down, thin out and
// thicken along their length, and their colours are blotched across the bedding (lichen, iron,
// salt bloom): smooth parallel bands with dark seams between them, on a curved wall, read as
// tree rings.
namespace {

constexpr float kTwoPi = 6.2831853f;

struct Bed {
    float top = 0.0f, bottom = 0.0f;  // in tile units, top < bottom
    float hardness = 0.0f;
    Rgba color;
    uint32_t seed = 0;
};

std::vector<Bed> makeBeds() {
    const Rgba tones[] = {rgb(224, 206, 172), rgb(196, 146, 96),  rgb(168, 98, 64),
                          rgb(206, 160, 132), rgb(140, 118, 110), rgb(186, 124, 80),
                          rgb(230, 216, 190), rgb(150, 96, 70)};
    std::vector<float> thickness;
    float total = 0.0f;
    for (int i = 0; i < 13; ++i) {
        float t = 0.35f + 1.3f * noise::hash01(i, 3, 77u);
        thickness.push_back(t);
        total += t;
    }
    std::vector<Bed> beds;
    float at = 0.0f;
    for (int i = 0; i < 13; ++i) {
        Bed bed;
        bed.top = at;
        at += thickness[i] / total;
        bed.bottom = at;
        bed.hardness = noise::hash01(i, 5, 77u);
        bed.color = tones[noise::hash(i, 9, 77u) % 8];
        bed.seed = noise::hash(i, 11, 77u);
        beds.push_back(bed);
    }
    return beds;
}

}  // namespace

Image makeCliffTexture(int size) {
    const std::vector<Bed> beds = makeBeds();
    Plane height(size, size), crack(size, size), streak(size, size), vein(size, size);
    std::vector<int> bedOf(static_cast<size_t>(size) * size);
    std::vector<uint32_t> blockOf(static_cast<size_t>(size) * size);
    Plane inBed(size, size);

    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            // Gentle folding, and faults: blocks a fifth of the tile wide (edges wandering) each
            // shifted up or down by its own step.
            float fold =
                0.012f * std::sin(kTwoPi * u + 1.3f) + 0.02f * noise::fbm(u, v, 2, 2, 4, 0.5f, 11u);
            float blockAt = 5.0f * u + 0.35f * noise::fbm(u, v, 3, 3, 3, 0.5f, 15u);
            int block = static_cast<int>(std::floor(blockAt));
            float fault = 0.035f * (noise::hash01(((block % 5) + 5) % 5, 1, 91u) - 0.5f);
            float yw = v + fold + fault + 0.004f * noise::fbm(u, v, 24, 24, 2, 0.5f, 13u);
            yw -= std::floor(yw);
            size_t k = 0;
            while (k + 1 < beds.size() && yw >= beds[k].bottom) ++k;
            const Bed& bed = beds[k];
            float t = (yw - bed.top) / (bed.bottom - bed.top);
            // Beds thin out and swell along their length: the position within the bed is bent.
            t = clamp01(t + 0.25f * noise::fbm(u, v, 4, 4, 2, 0.5f, 17u + bed.seed % 97u) *
                                std::sin(3.14159f * t));
            bedOf[static_cast<size_t>(y) * size + x] = static_cast<int>(k);
            inBed.at(x, y) = t;
            float hard = bed.hardness;

            // Hard beds stand out with a rounded top and an undercut foot; soft ones are scooped
            // back.
            // Flat faces with a sharp lip, not rounded (rounded bands look like bark).
            float shoulder = smoothstep(0.0f, 0.08f, t) * smoothstep(1.0f, 0.9f, t);
            // Only the hardest beds make ledges; the rest merge into one another, so that the
            // wall is not a stack of boards each with its own edges.
            float bulge = hard > 0.6f ? shoulder * (0.3f + 0.6f * hard)
                                      : -0.12f * std::sin(3.14159f * t) * (0.6f + 0.4f * t);

            // Laminae: cross-bedded in some beds (diagonal sets that tile across u), flat in
            // others.
            float slope = static_cast<float>(static_cast<int>(bed.seed % 7u) - 3) * 2.0f;
            float phase = t * (5.0f + 5.0f * hard) + slope * u +
                          0.6f * noise::fbm(u, v, 6, 6, 3, 0.5f, bed.seed);
            // Faint, and only in patches, broken up like a worn surface: evenly spaced lines
            // everywhere read as wood grain.
            float patch = smoothstep(0.1f, 0.6f, noise::fbm(u, v, 5, 5, 3, 0.5f, 65u));
            float lam = std::sin(kTwoPi * phase) * patch * 0.15f;

            // Honeycomb weathering pits in the soft beds.
            noise::Cell pit = noise::cellular(u, v, 26, 26, 1.0f, 17u + static_cast<uint32_t>(k));
            float pits = (1.0f - hard) * smoothstep(0.6f, 0.05f, pit.f1) *
                         smoothstep(0.6f, 0.9f, noise::value(u, v, 6, 6, 19u) * 0.5f + 0.5f);

            // Joints: a vertically stretched cell pattern, different in every bed, broken in
            // places.
            noise::Cell joint =
                noise::cellular(u + 0.37f * k, v + 0.015f * noise::fbm(u, v, 16, 16, 3, 0.5f, 5u),
                                7, 3, 0.9f, 300u + static_cast<uint32_t>(k));
            float width = 0.015f + 0.025f * (0.5f + 0.5f * noise::fbm(u, v, 10, 10, 2, 0.5f, 7u));
            // Joints broken in many places: long unbroken cracks across the bands, seen down the
            // canyon, fan out like the checks in a log's end.
            float present = smoothstep(-0.05f, 0.3f, noise::fbm(u, v, 5, 5, 2, 0.5f, 9u));
            float jointLine = (1.0f - smoothstep(0.0f, width, joint.f2 - joint.f1)) * present;
            // Each block between joints weathers to a shade of its own: a bed of one colour from
            // edge to edge reads as a growth ring, a row of blocks as stone.
            blockOf[static_cast<size_t>(y) * size + x] = joint.id;
            // Quartz veins: thin pale seams cutting across the beds at all angles, in patches.
            noise::Cell veinCell = noise::cellular(
                u + 0.03f * noise::fbm(u, v, 8, 8, 2, 0.5f, 403u), v, 5, 4, 1.0f, 401u);
            float veinLine = (1.0f - smoothstep(0.0f, 0.02f, veinCell.f2 - veinCell.f1)) *
                             smoothstep(0.1f, 0.45f, noise::fbm(u, v, 3, 3, 3, 0.5f, 405u));
            vein.at(x, y) = veinLine;
            // Hairline cracks: thin cell edges at a finer scale.
            noise::Cell hair = noise::cellular(u + 0.01f * noise::fbm(u, v, 32, 32, 2, 0.5f, 23u),
                                               v, 22, 22, 1.0f, 29u);
            float hairLine = (1.0f - smoothstep(0.0f, 0.03f, hair.f2 - hair.f1)) *
                             smoothstep(0.45f, 0.8f, noise::fbm(u, v, 6, 6, 2, 0.5f, 27u));
            // The faults themselves: a crack where one block meets the next.
            float faultEdge = std::min(blockAt - block, 1.0f - (blockAt - block)) * 5.0f;
            float faultLine = 1.0f - smoothstep(0.0f, 0.012f, faultEdge);
            crack.at(x, y) =
                std::max(std::max(jointLine * (0.55f + 0.45f * hard), 0.35f * hairLine),
                         0.5f * faultLine * present);

            float rough = 0.16f * noise::fbm(u, v, 32, 32, 3, 0.6f, 31u) +
                          0.45f * noise::fbm(u, v, 3, 3, 4, 0.5f, 41u) +
                          0.1f * noise::ridged(u, v, 8, 8, 4, 0.5f, 43u);
            height.at(x, y) = 0.55f * bulge + 0.02f * lam * (0.5f + hard) +
                              rough * (0.6f + 0.4f * hard) - 0.5f * crack.at(x, y) - 0.12f * pits +
                              0.06f * veinLine;

            // Varnish: dark vertical streaks running down from the ledges.
            float runs =
                0.5f + 0.5f * noise::fbm(u, v + 0.02f * noise::fbm(u, v, 8, 8, 2, 0.5f, 53u), 40, 2,
                                         3, 0.5f, 51u);
            streak.at(x, y) =
                smoothstep(0.5f, 0.9f, runs) * (0.35f + 0.65f * smoothstep(0.9f, 0.05f, t));
        }

    const Vec3 light{-0.55f, -0.75f, 0.9f};
    Image out(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            const Bed& bed = beds[static_cast<size_t>(bedOf[static_cast<size_t>(y) * size + x])];
            Vec3 n = reliefNormal(height, x, y, 26.0f, true);
            float lit = 0.48f + 0.62f * diffuse(n, light) + 0.12f * specular(n, light, 12.0f);
            float hollow = std::max(0.0f, cavity(height, x, y, 3, true)) +
                           std::max(0.0f, cavity(height, x, y, 9, true));

            float tone = 0.5f + 0.5f * noise::fbm(u, v, 6, 6, 5, 0.55f, 61u);
            Rgba c = mix(scaled(bed.color, 1.08f), scaled(bed.color, 0.74f), tone);
            // Blotches across the bedding: every bed shifts towards its neighbours' tones in
            // patches, so no band runs in one colour from edge to edge.
            float blotch = noise::fbm(u, v, 7, 7, 4, 0.55f, 63u);
            c = mix(c, scaled(c, 0.78f), smoothstep(0.0f, 0.5f, blotch));
            c = mix(c, rgb(200, 186, 160), 0.35f * smoothstep(0.05f, 0.55f, -blotch));
            // Grey-green crust lichen in scattered patches.
            float lichen = smoothstep(0.35f, 0.6f, noise::fbm(u, v, 9, 9, 4, 0.55f, 67u));
            c = mix(c, rgb(150, 152, 130), 0.55f * lichen);
            // Grains a few texels across, each one mineral: quartz, feldspar, dark specks, rust.
            noise::Cell grain = noise::cellular(u, v, 110, 110, 0.9f, 71u);
            const Rgba minerals[] = {rgb(236, 226, 210), rgb(214, 150, 128), rgb(58, 50, 48),
                                     rgb(160, 84, 46)};
            float grainEdge = smoothstep(0.5f, 0.2f, grain.f1);
            float grainShare = 0.08f + 0.17f * noise::hash01(static_cast<int>(grain.id), 3, 73u);
            c = mix(c, minerals[grain.id % 4u], grainShare * grainEdge);
            // Iron staining: soft rusty clouds, strongest on the pale beds.
            float iron = smoothstep(0.15f, 0.7f, noise::fbm(u, v, 4, 4, 4, 0.55f, 81u));
            c = mix(c, rgb(150, 72, 40), 0.3f * iron * (0.4f + 0.6f * bed.hardness));
            // Blocks: a shade and a mineral cast of their own.
            uint32_t block = blockOf[static_cast<size_t>(y) * size + x];
            c = scaled(c, 0.8f + 0.4f * noise::hash01(static_cast<int>(block), 5, 97u));
            c = mix(c, minerals[(block >> 3) % 4u], 0.14f);
            c = mix(c, rgb(238, 232, 220), 0.7f * vein.at(x, y));
            float t = inBed.at(x, y);
            // Bed edges carry a darker seam in places only: a seam along every edge makes rings.
            float seam = smoothstep(0.04f, 0.0f, t) + smoothstep(0.96f, 1.0f, t);
            float seamShown = smoothstep(0.0f, 0.4f, noise::fbm(u, v, 6, 6, 3, 0.5f, 87u));
            c = mix(c, rgb(92, 60, 44), 0.4f * clamp01(seam) * seamShown);
            c = mix(c, rgb(66, 46, 38), 0.5f * streak.at(x, y));
            c = mix(c, rgb(48, 36, 30), 0.65f * crack.at(x, y));
            float k = lit * (1.0f - std::min(0.65f, hollow * 2.2f));
            // A touch less saturated than the bed colours: sun-bleached stone.
            float grey = 0.3f * c.r + 0.55f * c.g + 0.15f * c.b;
            c = mix(c, {grey, grey, grey, 1.0f}, 0.15f);
            out.at(x, y) = {c.r * k, c.g * k, c.b * k, 1.0f};
        }
    return out;
}
