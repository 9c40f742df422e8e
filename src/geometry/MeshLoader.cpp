// readMeshFile: one mesh file read whole and validated by the parser.
#include <cstdio>

#include "geometry/MeshFile.h"

namespace {

// False when the file cannot be opened or read (a folder opens but does not read).
bool readWholeFile(const char* path, std::vector<std::uint8_t>& bytes) {
    FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    std::uint8_t chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    const bool read = !std::ferror(file);
    std::fclose(file);
    return read;
}

}  // namespace

bool readMeshFile(const char* path, MeshData& mesh) {
    mesh = MeshData();
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        std::printf("Can't open mesh file %s!\n", path);
        std::printf("Mesh loading error!\n");
        return false;
    }
    MeshFileHeader header;
    if (!parseMeshHeader(bytes.data(), bytes.size(), header)) {
        std::printf("Mesh file %s rejected: %s\n", path,
                    bytes.empty() ? "the file is empty" : "the header does not give two counts");
        std::printf("Mesh loading error!\n");
        return false;
    }
    std::printf("vcount = %d\n", header.vertexCount);
    std::printf("tcount = %d\n", header.triangleCount);
    std::string error;
    if (!parseMeshFile(bytes.data(), bytes.size(), mesh, error)) {
        std::printf("Mesh file %s rejected: %s\n", path, error.c_str());
        mesh = MeshData();
        return false;
    }
    return true;
}
