// Builds the demo's two modelled meshes and writes them in the mesh file format (`--help` for the
// usage).
#include <chrono>
#include <cstdio>
#include <string>

#include "CaveModel.h"
#include "TempleModel.h"
#include "app/CommandLine.h"
#include "app/StandardStreams.h"
#include "geometry/MeshFile.h"

namespace {

bool writeMesh(const std::string& path, const MeshData& mesh) {
    const std::vector<std::uint8_t> bytes = encodeMeshFile(mesh);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::printf("Can't write %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !ok) {
        std::printf("Writing %s failed\n", path.c_str());
        return false;
    }
    std::printf("%s: %d vertices, %d triangles, %zu bytes\n", path.c_str(), mesh.vertexCount(),
                mesh.triangleCount(), bytes.size());
    return true;
}

template <typename Build>
bool make(const std::string& path, Build build) {
    const auto start = std::chrono::steady_clock::now();
    const MeshData mesh = build();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("built in %.1f s; ", seconds);
    return writeMesh(path, mesh);
}

}  // namespace

int main(int argc, char** argv) {
    keepStandardStreamsOpen();
    std::vector<std::string> dirs;
    CommandLine line;
    line.program = "velmora-meshgen";
    line.arguments = "<output dir>";
    line.about = "Writes <output dir>/pantheon.mesh and <output dir>/cave.mesh.\n";
    line.positional = &dirs;
    line.minPositional = line.maxPositional = 1;
    if (const int code = parseOrExitCode(line, argc, argv); code >= 0) return code;
    const std::string dir = dirs[0];
    const bool temple = make(dir + "/pantheon.mesh", buildTempleMesh);
    const bool cave = make(dir + "/cave.mesh", buildCaveMesh);
    return temple && cave ? 0 : 1;
}
