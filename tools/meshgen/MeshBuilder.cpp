#include "MeshBuilder.h"

#include <cmath>
#include <utility>

namespace {

constexpr float kTwoPi = 6.2831853f;

struct Vec3 {
    float x, y, z;
};

Vec3 sub(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 unit(Vec3 v) {
    const float len = std::sqrt(dot(v, v));
    return len > 0.0f ? Vec3{v.x / len, v.y / len, v.z / len} : Vec3{0.0f, 1.0f, 0.0f};
}

// One smooth run of a profile, resampled: positions (r, y), normals (nr, ny), arc parameter s.
struct Run {
    std::vector<float> r, y, nr, ny, s;
};

}  // namespace

int MeshBuilder::vertex(float x, float y, float z, float nx, float ny, float nz) {
    const int index = mesh_.vertexCount();
    mesh_.positions.insert(mesh_.positions.end(), {x, y, z, 1.0f});
    mesh_.normals.insert(mesh_.normals.end(), {nx, ny, nz});
    return index;
}

void MeshBuilder::quad(int a, int b, int c, int d) {
    const auto u = [](int i) { return static_cast<std::uint32_t>(i); };
    mesh_.indices.insert(mesh_.indices.end(), {u(a), u(b), u(c), u(a), u(c), u(d)});
}

void MeshBuilder::lathe(const std::vector<ProfilePoint>& profile, int segments, float cx, float cz,
                        RadiusModulation modulation, int rowsPerStep) {
    if (profile.size() < 2 || segments < 3) return;
    // Total length for the profile parameter.
    std::vector<float> arc(profile.size(), 0.0f);
    for (size_t i = 1; i < profile.size(); ++i)
        arc[i] = arc[i - 1] +
                 std::hypot(profile[i].r - profile[i - 1].r, profile[i].y - profile[i - 1].y);
    const float total = arc.back() > 0.0f ? arc.back() : 1.0f;

    // Split into smooth runs at sharp points; each run shares normals inside itself.
    size_t start = 0;
    while (start + 1 < profile.size()) {
        size_t end = start + 1;
        while (end + 1 < profile.size() && !profile[end].sharp) ++end;
        Run run;
        const auto segmentNormal = [&](size_t j, float& nr, float& ny) {
            const float dr = profile[j + 1].r - profile[j].r, dy = profile[j + 1].y - profile[j].y;
            const float len = std::hypot(dr, dy);
            nr = len > 0.0f ? dy / len : 0.0f;
            ny = len > 0.0f ? -dr / len : 0.0f;
        };
        for (size_t i = start; i <= end; ++i) {
            // At a profile point: the mean of the normals of its segments inside this run.
            float nr = 0.0f, ny = 0.0f, a = 0.0f, b = 0.0f;
            if (i > start) {
                segmentNormal(i - 1, a, b);
                nr += a;
                ny += b;
            }
            if (i < end) {
                segmentNormal(i, a, b);
                nr += a;
                ny += b;
            }
            const float len = std::hypot(nr, ny);
            run.r.push_back(profile[i].r);
            run.y.push_back(profile[i].y);
            run.s.push_back(arc[i] / total);
            run.nr.push_back(len > 0.0f ? nr / len : 0.0f);
            run.ny.push_back(len > 0.0f ? ny / len : 1.0f);
            if (i == end) break;
            // Rows between two profile points take their segment's normal.
            segmentNormal(i, a, b);
            for (int k = 1; k < rowsPerStep; ++k) {
                const float f = static_cast<float>(k) / rowsPerStep;
                run.r.push_back(profile[i].r + (profile[i + 1].r - profile[i].r) * f);
                run.y.push_back(profile[i].y + (profile[i + 1].y - profile[i].y) * f);
                run.s.push_back((arc[i] + (arc[i + 1] - arc[i]) * f) / total);
                run.nr.push_back(a);
                run.ny.push_back(b);
            }
        }

        const int rows = static_cast<int>(run.r.size());
        const int base = mesh_.vertexCount();
        for (int row = 0; row < rows; ++row) {
            for (int seg = 0; seg <= segments; ++seg) {
                const float theta = kTwoPi * static_cast<float>(seg % segments) / segments;
                const float c = std::cos(theta), sn = std::sin(theta);
                float r = run.r[row];
                Vec3 n = {run.nr[row] * c, run.ny[row], run.nr[row] * sn};
                if (modulation) {
                    // Normal of the modulated surface from its two tangents, kept on the outer
                    // side.
                    const float h = 0.002f;
                    const float m = modulation(theta, run.s[row]);
                    const float ds = (row + 1 < rows) ? run.s[row + 1] - run.s[row]
                                                      : run.s[row] - run.s[row - 1];
                    const float mt = modulation(theta + h, run.s[row]);
                    const float ms = modulation(theta, run.s[row] + 0.01f * ds);
                    r = run.r[row] * m;
                    const Vec3 p = {r * c, run.y[row], r * sn};
                    const float ct = std::cos(theta + h), st = std::sin(theta + h);
                    const Vec3 pt = {run.r[row] * mt * ct, run.y[row], run.r[row] * mt * st};
                    const int other = (row + 1 < rows) ? row + 1 : row - 1;
                    const float rr = run.r[row] + 0.01f * (run.r[other] - run.r[row]);
                    const float yy = run.y[row] + 0.01f * (run.y[other] - run.y[row]);
                    const Vec3 ps = {rr * ms * c, yy, rr * ms * sn};
                    Vec3 g = unit(cross(sub(pt, p), sub(ps, p)));
                    if (dot(g, n) < 0.0f) g = {-g.x, -g.y, -g.z};
                    n = g;
                }
                vertex(cx + r * c, run.y[row], cz + r * sn, n.x, n.y, n.z);
            }
        }
        // Rows go along the profile with the solid on the left, columns go round counter-clockwise
        // seen from above: this order winds counter-clockwise from outside.
        for (int row = 0; row + 1 < rows; ++row)
            for (int seg = 0; seg < segments; ++seg) {
                const int a = base + row * (segments + 1) + seg;
                const int b = a + segments + 1;
                quad(a, b, b + 1, a + 1);
            }
        start = end;
    }
}

void MeshBuilder::box(float cx, float cy, float cz, float halfX, float halfY, float halfZ,
                      float yaw) {
    const float c = std::cos(yaw), s = std::sin(yaw);
    // Local axes turned by yaw about y.
    const Vec3 ax = {c, 0.0f, s}, ay = {0.0f, 1.0f, 0.0f}, az = {-s, 0.0f, c};
    const Vec3 half = {halfX, halfY, halfZ};
    const Vec3 axes[3] = {ax, ay, az};
    const float h[3] = {half.x, half.y, half.z};
    for (int axis = 0; axis < 3; ++axis)
        for (float sign : {-1.0f, 1.0f}) {
            const Vec3 n = {axes[axis].x * sign, axes[axis].y * sign, axes[axis].z * sign};
            const Vec3 u = axes[(axis + 1) % 3], v = axes[(axis + 2) % 3];
            const float hu = h[(axis + 1) % 3], hv = h[(axis + 2) % 3];
            int corner[4];
            const float su[4] = {-1, 1, 1, -1}, sv[4] = {-1, -1, 1, 1};
            for (int k = 0; k < 4; ++k) {
                const float px = cx + n.x * h[axis] + u.x * su[k] * hu + v.x * sv[k] * hv;
                const float py = cy + n.y * h[axis] + u.y * su[k] * hu + v.y * sv[k] * hv;
                const float pz = cz + n.z * h[axis] + u.z * su[k] * hu + v.z * sv[k] * hv;
                corner[k] = vertex(px, py, pz, n.x, n.y, n.z);
            }
            // u x v = +axis, so (0, 1, 2, 3) winds counter-clockwise seen from +axis.
            if (sign > 0.0f)
                quad(corner[0], corner[1], corner[2], corner[3]);
            else
                quad(corner[0], corner[3], corner[2], corner[1]);
        }
}

void MeshBuilder::append(const MeshData& other, float dx, float dy, float dz) {
    const auto base = static_cast<std::uint32_t>(mesh_.vertexCount());
    for (size_t i = 0; i < other.positions.size(); i += 4)
        mesh_.positions.insert(mesh_.positions.end(),
                               {other.positions[i] + dx, other.positions[i + 1] + dy,
                                other.positions[i + 2] + dz, other.positions[i + 3]});
    mesh_.normals.insert(mesh_.normals.end(), other.normals.begin(), other.normals.end());
    for (std::uint32_t index : other.indices) mesh_.indices.push_back(index + base);
}

void orientToNormals(MeshData& mesh) {
    const auto point = [&](std::uint32_t i) {
        return Vec3{mesh.positions[4 * i], mesh.positions[4 * i + 1], mesh.positions[4 * i + 2]};
    };
    const auto normal = [&](std::uint32_t i) {
        return Vec3{mesh.normals[3 * i], mesh.normals[3 * i + 1], mesh.normals[3 * i + 2]};
    };
    for (size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        std::uint32_t* tri = &mesh.indices[t];
        const Vec3 a = point(tri[0]);
        const Vec3 face = cross(sub(point(tri[1]), a), sub(point(tri[2]), a));
        const Vec3 na = normal(tri[0]), nb = normal(tri[1]), nc = normal(tri[2]);
        const Vec3 sum = {na.x + nb.x + nc.x, na.y + nb.y + nc.y, na.z + nb.z + nc.z};
        if (dot(face, sum) < 0.0f) std::swap(tri[1], tri[2]);
    }
}
