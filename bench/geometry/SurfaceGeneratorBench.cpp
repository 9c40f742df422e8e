// Times the straightforward and the production surface generators on the four load-phase meshes in
// one process, best of several rounds each (other work on the machine only ever adds time), and
// prints the wall-clock times and their ratio, the CPU time of all threads (the work done, which
// other load on the machine does not inflate much) and whether the outputs agree bit for bit.
//   geometry_bench [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
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

struct Timing {
    double wallMs = 1e300;
    double cpuMs = 1e300;
};

template <typename Generate>
Timing bestOf(int rounds, Generate generate, MeshData& result) {
    Timing best;
    for (int r = 0; r < rounds; ++r) {
        std::clock_t cpuStart = std::clock();
        auto start = std::chrono::steady_clock::now();
        result = generate();
        std::chrono::duration<double, std::milli> wall = std::chrono::steady_clock::now() - start;
        double cpu = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        best.wallMs = std::min(best.wallMs, wall.count());
        best.cpuMs = std::min(best.cpuMs, cpu);
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
    std::printf("%-26s %8s %9s | %9s %9s %7s | %9s %9s %7s | %s\n", "", "", "", "wall ms", "", "",
                "CPU ms", "", "", "");
    std::printf("%-26s %8s %9s | %9s %9s %7s | %9s %9s %7s | %s\n", "mesh", "vertices", "triangles",
                "straight", "prod", "ratio", "straight", "prod", "ratio", "identical");
    Timing straightTotal{0, 0};
    Timing productionTotal{0, 0};
    bool allIdentical = true;
    auto row = [](const char* name, const char* vertices, const char* triangles, Timing s, Timing p,
                  const char* identical) {
        std::printf("%-26s %8s %9s | %9.1f %9.1f %6.1fx | %9.1f %9.1f %6.1fx | %s\n", name,
                    vertices, triangles, s.wallMs, p.wallMs, s.wallMs / p.wallMs, s.cpuMs, p.cpuMs,
                    s.cpuMs / p.cpuMs, identical);
    };
    for (const LoadPhaseMesh& m : kMeshes) {
        MeshData straight;
        MeshData production;
        Timing s = bestOf(
            rounds, [&] { return generateSurfaceDataStraightforward(m.n, m.extent, m.field); },
            straight);
        Timing p = bestOf(
            rounds, [&] { return generateSurfaceData(m.n, m.extent, m.field); }, production);
        bool identical = sameBits(straight, production);
        allIdentical = allIdentical && identical;
        straightTotal.wallMs += s.wallMs;
        straightTotal.cpuMs += s.cpuMs;
        productionTotal.wallMs += p.wallMs;
        productionTotal.cpuMs += p.cpuMs;
        row(m.name, std::to_string(straight.vertexCount()).c_str(),
            std::to_string(straight.triangleCount()).c_str(), s, p, identical ? "yes" : "NO");
    }
    row("total", "", "", straightTotal, productionTotal, allIdentical ? "yes" : "NO");
    return allIdentical ? 0 : 1;
}
