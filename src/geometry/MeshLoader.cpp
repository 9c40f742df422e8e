// readMeshFile: one mesh file read whole (with the assets' cap) and validated by the parser.
#include <cstdio>

#include "geometry/AssetFile.h"
#include "geometry/MeshFile.h"

bool readMeshFile(const char* path, MeshData& mesh) {
    mesh = MeshData();
    std::vector<std::uint8_t> bytes;
    std::string why;
    if (!readAssetFile(path, bytes, why)) {
        if (why.empty())
            std::printf("Can't open mesh file %s!\n", path);
        else
            std::printf("Mesh file %s rejected: %s\n", path, why.c_str());
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
