#include "TempleModel.h"

#include <cmath>
#include <vector>

#include "MeshBuilder.h"
#include "TempleRock.h"
#include "geometry/SurfaceGenerator.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kRingSegments = 140;  // 28 coffers of five steps (ten on the coffered inside)
constexpr int kCoffers = 28;
constexpr int kPlatformSegments = 96;
// Turns the colonnade so that no camera path passes through a column.
constexpr float kColumnPhase = 0.045f;
// Rise of the dome's outer shell and of its coffered inside above their springing lines.
constexpr float kOuterRise = 14.0f;
constexpr float kInnerRise = 13.0f;

// Twenty shallow flutes round the shaft.
float flutes(float theta, float) {
    return 1.0f - 0.05f * (0.5f - 0.5f * std::cos(20.0f * theta));
}

float bevel(float t, float rib, float slope) {
    const float edge = std::fmin(t, 1.0f - t);
    return std::fmin(std::fmax((edge - rib) / slope, 0.0f), 1.0f);
}

// Sunk panels in five rows between plain bands at the oculus and the springing.
float coffers(float theta, float s) {
    const float first = 0.14f, last = 0.9f;
    if (s <= first || s >= last) return 1.0f;
    const float row = (s - first) / (last - first) * 5.0f;
    const float v = row - std::floor(row);
    const float around = theta / (2.0f * kPi) * kCoffers;
    const float u = around - std::floor(around);
    return 1.0f + 0.05f * bevel(u, 0.1f, 0.12f) * bevel(v, 0.1f, 0.14f);
}

// Twenty-eight ribs up the outer shell, one over each coffer's rib inside: seen from above, the
// roof reads as a ribbed dome, not a smooth disc. They rise out of the shell's foot, which stays
// flush with the step ring under it, and die away at the oculus's edge: the rim's inner face
// must stay round where the coffered inside meets it, or the sky shows in the seam.
float domeRibs(float theta, float s) {
    const float around = theta / (2.0f * kPi) * kCoffers;
    const float crest = 0.5f + 0.5f * std::cos(2.0f * kPi * around);
    const float reach = std::fmin(std::fmax(std::fmin((0.81f - s) / 0.14f, s / 0.09f), 0.0f), 1.0f);
    return 1.0f + 0.03f * reach * crest * crest * crest * crest;
}

void addPlatform(MeshBuilder& b) {
    // Section walked with the solid on the left: out along the underside, up the four steps,
    // across the floor to the curb of the well, down the well.
    std::vector<ProfilePoint> p = {{kTempleWellRadius, -26.0f, true},
                                   {25.0f, -26.0f},
                                   {41.0f, -26.0f, true},
                                   {41.0f, -24.0f, true},
                                   {39.0f, -24.0f, true},
                                   {39.0f, -22.0f, true},
                                   {37.0f, -22.0f, true},
                                   {37.0f, -20.0f, true},
                                   {35.0f, -20.0f, true},
                                   {35.0f, kTempleFloorY, true},
                                   {30.0f, kTempleFloorY},
                                   {24.0f, kTempleFloorY},
                                   {18.0f, kTempleFloorY},
                                   {13.0f, kTempleFloorY},
                                   {10.6f, kTempleFloorY, true},
                                   {10.6f, -17.3f},
                                   {10.3f, -16.8f},
                                   {9.6f, -16.5f},
                                   {8.7f, -16.6f},
                                   {8.2f, -17.1f, true},
                                   {kTempleWellRadius, -17.4f, true},
                                   {kTempleWellRadius, -26.0f, true}};
    b.lathe(p, kPlatformSegments);
}

void addColumn(MeshBuilder& b, float angle) {
    const float cx = kTempleColumnRing * std::cos(angle), cz = kTempleColumnRing * std::sin(angle);
    // The square plinth and abacus face the axis: a box's own x axis is (cos yaw, 0, sin yaw).
    const float yaw = angle;
    // The plinth reaches a little into the floor so no seam shows along its foot.
    b.box(cx, -17.55f, cz, 2.6f, 0.55f, 2.6f, yaw);
    b.lathe({{2.3f, -17.0f, true},
             {2.45f, -16.75f},
             {2.4f, -16.45f},
             {2.15f, -16.25f, true},
             {2.0f, -16.15f},
             {1.95f, -15.95f, true},
             {0.0f, -15.95f}},
            20, cx, cz);
    // The shaft narrows with a slight swelling (entasis) towards the neck.
    std::vector<ProfilePoint> shaft;
    for (int i = 0; i <= 5; ++i) {
        const float f = i / 5.0f;
        shaft.push_back({1.95f - 0.33f * std::pow(f, 1.6f), -15.95f + 21.55f * f});
    }
    b.lathe(shaft, 60, cx, cz, flutes);
    // The neck ring is closed underneath, inside the shaft's top: the fluted shaft and the ring
    // meet at different segment counts, and the hairline gaps along that seam must show stone.
    b.lathe({{0.0f, 5.5f, true},
             {1.62f, 5.6f, true},
             {1.8f, 5.75f},
             {1.8f, 5.95f},
             {1.62f, 6.1f, true},
             {1.9f, 6.3f},
             {2.3f, 6.7f},
             {2.55f, 7.2f, true},
             {0.0f, 7.2f}},
            20, cx, cz);
    // The abacus is sunk a little into the capital below and the architrave above (its underside
    // at 8.2), so it sits on the one and carries the other with no coplanar faces fighting along
    // the joints. Across the ring it stands out a fifth of a unit past the architrave's faces
    // (24.3 to 29.7): a face set just behind them left a hairline of the architrave's underside
    // between the two, which broke up into a dotted row of light under the stone.
    b.box(cx, 7.725f, cz, 2.9f, 0.575f, 2.65f, yaw);
}

void addEntablatureAndDome(MeshBuilder& b) {
    // Mouldings are chamfers at least half a unit across: a thinner ledge is under a pixel from
    // the cameras and reads as a bright crack between the rings where the light below catches it.
    // None slopes up and out: every camera is below the cornice, where such a face is seen
    // edge-on as a bright thread along the ring (it read as a shooting star over the stone); the
    // ledge over the band is level, out of sight from below.
    std::vector<ProfilePoint> p = {
        {24.0f, 14.6f, true}, {24.3f, 14.6f, true}, {24.3f, 8.2f, true},   // inner face
        {29.7f, 8.2f, true},  {29.7f, 9.2f, true},                         // architrave
        {30.1f, 9.6f, true},  {30.1f, 10.5f, true}, {30.5f, 10.9f, true},  // fascia, band
        {30.5f, 11.2f, true}, {29.8f, 11.2f, true}, {29.8f, 12.8f, true},  // frieze
        {30.4f, 13.2f, true}, {30.8f, 13.55f},      {31.2f, 14.0f, true},  // cornice
        {31.2f, 14.6f, true}, {28.5f, 14.6f, true},  // step rings at the foot of the dome
        {28.5f, 15.6f, true}, {27.6f, 15.6f, true}, {27.6f, 16.6f, true},
        {26.6f, 16.6f, true}, {26.6f, 17.4f, true}};
    b.lathe(p, kRingSegments);
    // The outer shell: a flattened quarter ellipse up to the oculus rim, turned on its own so
    // that its ribs leave the rings below plain.
    p = {{26.6f, 17.4f, true}};
    const float outerTop = std::acos(9.5f / 26.6f);
    for (int i = 1; i <= 14; ++i) {
        const float a = outerTop * i / 14.0f;
        p.push_back({26.6f * std::cos(a), 17.4f + kOuterRise * std::sin(a)});
    }
    p.back().sharp = true;
    const float innerTop = std::acos(kTempleOculusRadius / 24.0f);
    const float innerTopY = 14.6f + kInnerRise * std::sin(innerTop);
    p.push_back({kTempleOculusRadius, p.back().y + 0.2f, true});  // oculus rim
    p.push_back({kTempleOculusRadius, innerTopY, true});
    b.lathe(p, kRingSegments, 0.0f, 0.0f, domeRibs);

    // The coffered inside, from the oculus down to the springing.
    std::vector<ProfilePoint> inner;
    for (int i = 0; i <= 40; ++i) {
        const float a = innerTop * (1.0f - i / 40.0f);
        inner.push_back({24.0f * std::cos(a), 14.6f + kInnerRise * std::sin(a)});
    }
    // Its edge reaches a little into the oculus, under the rim: the rim's and the inside's
    // segments differ in count, and the hairline gap along that seam must show stone, not sky.
    inner.front().r = kTempleOculusRadius - 0.03f;
    // Ten steps round each coffer and eight along each of its rows, so the bevels are modelled,
    // not smeared across a single band of triangles (within the meshes' size budget).
    b.lathe(inner, 2 * kRingSegments, 0.0f, 0.0f, coffers);
}

void addBraziers(MeshBuilder& b) {
    for (int i = 0; i < 6; ++i) {
        const float a = (i + 0.5f) * kPi / 3.0f;
        b.lathe({{1.8f, kTempleFloorY, true},
                 {1.8f, -17.4f, true},
                 {1.2f, -17.2f},
                 {0.7f, -16.8f, true},
                 {0.6f, -13.8f, true},
                 {0.9f, -13.6f},
                 {1.8f, -13.0f},
                 {2.2f, -12.2f, true},
                 {1.9f, -12.2f, true},
                 {1.0f, -12.7f},
                 {0.0f, -12.9f}},
                24, 16.0f * std::cos(a), 16.0f * std::sin(a));
    }
}

// The night round the temple: a sphere about the origin, its faces turned inwards, that the
// temple's program paints as sky wherever no stone is in front of it. Its radius keeps it inside
// the far plane (200) from every camera of the finale.
void addSky(MeshBuilder& b) {
    std::vector<ProfilePoint> p;
    constexpr int kRows = 24;
    for (int i = 0; i <= kRows; ++i) {  // walked from the zenith down, so it faces inwards
        const float a = kPi * (0.5f - static_cast<float>(i) / kRows);
        p.push_back({kTempleSkyRadius * std::cos(a), kTempleSkyRadius * std::sin(a)});
    }
    p.front().r = 0.0f;
    p.back().r = 0.0f;
    b.lathe(p, 48);
}

}  // namespace

MeshData buildTempleMesh() {
    MeshData mesh;
    MeshBuilder b(mesh);
    // Drawn in this order, roughly front to back from the cameras (all outside the colonnade or
    // under the rock), so the depth test turns away what is hidden before it is shaded: the rock
    // first (it hides the platform from below), the sky last.
    MeshData rock =
        generateSurfaceData(kTempleRockGridSize, kTempleRockExtent, templeRockGridField);
    orientToNormals(rock);
    b.append(rock, 0.0f, templeRockGridOffsetY(), 0.0f);
    addPlatform(b);
    for (int i = 0; i < kTempleColumnCount; ++i)
        addColumn(b, kColumnPhase + 2.0f * kPi * i / kTempleColumnCount);
    addEntablatureAndDome(b);
    addBraziers(b);
    addSky(b);
    return mesh;
}
