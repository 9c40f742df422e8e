// Times the straightforward and the production surface generators on the four load-phase meshes in
// one process, best of several rounds each (other work on the machine only ever adds time), and
// prints the times, the ratios and whether the outputs agree bit for bit.
//   geometry_bench [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "geometry/SurfaceFields.h"
#include "geometry/SurfaceGenerator.h"

namespace {

struct LoadPhaseMesh {
    const char* name;
    int n;
    float extent;
    SurfaceField field;
};

const LoadPhaseMesh kMeshes[] = {
    {"fieldMeshA wall", 32, 200.0f, wallField},
    {"fieldMeshB rippled sphere", 32, 20.0f, rippledSphereField},
    {"fieldMeshC canyon", 128, 200.0f, canyonField},
    {"fieldMeshD rod", 64, 3.0f, rodField},
};

template <typename Generate>
double bestMilliseconds(int rounds, Generate generate, MeshData& result) {
    double best = 1e300;
    for (int r = 0; r < rounds; ++r) {
        auto start = std::chrono::steady_clock::now();
        result = generate();
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

bool sameBits(const MeshData& a, const MeshData& b) {
    auto same = [](const std::vector<float>& x, const std::vector<float>& y) {
        return x.size() == y.size() &&
               (x.empty() || std::memcmp(x.data(), y.data(), x.size() * sizeof(float)) == 0);
    };
    return same(a.positions, b.positions) && same(a.normals, b.normals) && a.indices == b.indices;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::printf("surface generator, best of %d rounds, %u hardware threads\n", rounds,
                std::thread::hardware_concurrency());
    std::printf("%-27s %8s %9s %14s %14s %8s %s\n", "mesh", "vertices", "triangles",
                "straight (ms)", "production (ms)", "ratio", "identical");
    double straightTotal = 0.0;
    double productionTotal = 0.0;
    bool allIdentical = true;
    for (const LoadPhaseMesh& m : kMeshes) {
        MeshData straight;
        MeshData production;
        double straightMs = bestMilliseconds(
            rounds, [&] { return generateSurfaceDataStraightforward(m.n, m.extent, m.field); },
            straight);
        double productionMs = bestMilliseconds(
            rounds, [&] { return generateSurfaceData(m.n, m.extent, m.field); }, production);
        bool identical = sameBits(straight, production);
        allIdentical = allIdentical && identical;
        straightTotal += straightMs;
        productionTotal += productionMs;
        std::printf("%-27s %8d %9d %14.1f %14.1f %7.1fx %s\n", m.name, straight.vertexCount(),
                    straight.triangleCount(), straightMs, productionMs, straightMs / productionMs,
                    identical ? "yes" : "NO");
    }
    std::printf("%-27s %8s %9s %14.1f %14.1f %7.1fx %s\n", "total", "", "", straightTotal,
                productionTotal, straightTotal / productionTotal, allIdentical ? "yes" : "NO");
    return allIdentical ? 0 : 1;
}
