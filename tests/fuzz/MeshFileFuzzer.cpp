// Any bytes: the parser either rejects them or returns arrays that are safe to upload, and what it
// returns survives a round trip through the writer.
#include <cstdlib>
#include <cstring>

#include "geometry/MeshFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MeshFileHeader header;
    bool headerOk = parseMeshHeader(data, size, header);
    MeshData mesh;
    std::string error;
    if (!parseMeshFile(data, size, mesh, error)) {
        if (error.empty()) std::abort();
        if (!mesh.positions.empty() || !mesh.indices.empty()) std::abort();
        return 0;
    }
    if (!headerOk || header.payloadOffset > size) std::abort();
    const std::size_t vertices = static_cast<std::size_t>(header.vertexCount);
    if (mesh.positions.size() != 4 * vertices || mesh.normals.size() != 3 * vertices) std::abort();
    if (mesh.indices.size() != 3 * static_cast<std::size_t>(header.triangleCount)) std::abort();
    for (std::uint32_t index : mesh.indices) {
        if (index >= vertices) std::abort();
    }

    std::vector<std::uint8_t> encoded = encodeMeshFile(mesh);
    MeshData again;
    if (!parseMeshFile(encoded.data(), encoded.size(), again, error)) std::abort();
    if (again.indices != mesh.indices || again.normals.size() != mesh.normals.size()) std::abort();
    // The writer may move the first coordinate's lowest byte; everything after it is unchanged.
    if (again.positions.size() != mesh.positions.size()) std::abort();
    if (!mesh.positions.empty() &&
        std::memcmp(again.positions.data() + 1, mesh.positions.data() + 1,
                    (mesh.positions.size() - 1) * sizeof(float)) != 0) {
        std::abort();
    }
    return 0;
}
