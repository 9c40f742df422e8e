#include "geometry/MeshFile.h"

#include <climits>
#include <cstring>

// The payload is copied as it lies: the file is little-endian, like every target we build for.

namespace {

bool isSpace(std::uint8_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool isDigit(std::uint8_t c) {
    return c >= '0' && c <= '9';
}

// One "%d": optional whitespace, optional sign, at least one digit. Advances `at` past the digits.
bool readInt(const std::uint8_t* bytes, std::size_t size, std::size_t& at, int& value) {
    while (at < size && isSpace(bytes[at])) ++at;
    bool negative = false;
    if (at < size && (bytes[at] == '+' || bytes[at] == '-')) negative = bytes[at++] == '-';
    if (at >= size || !isDigit(bytes[at])) return false;
    long long magnitude = 0;
    while (at < size && isDigit(bytes[at])) {
        magnitude = magnitude * 10 + (bytes[at++] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) return false;
    }
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX) return false;
    value = static_cast<int>(signedValue);
    return true;
}

template <typename T>
void copyArray(const std::uint8_t*& from, std::size_t count, std::vector<T>& to) {
    to.resize(count);
    if (count > 0) std::memcpy(to.data(), from, count * sizeof(T));
    from += count * sizeof(T);
}

template <typename T>
void appendBytes(std::vector<std::uint8_t>& out, const std::vector<T>& values) {
    const std::uint8_t* bytes = reinterpret_cast<const std::uint8_t*>(values.data());
    out.insert(out.end(), bytes, bytes + values.size() * sizeof(T));
}

}  // namespace

bool parseMeshHeader(const std::uint8_t* bytes, std::size_t size, MeshFileHeader& header) {
    header = MeshFileHeader();
    std::size_t at = 0;
    int vertices = -1;
    int triangles = -1;
    if (!readInt(bytes, size, at, vertices)) return false;
    header.vertexCount = vertices;
    if (at >= size || bytes[at] != ',') return false;
    ++at;
    if (!readInt(bytes, size, at, triangles)) return false;
    header.triangleCount = triangles;
    header.payloadOffset = at;
    return true;
}

bool parseMeshFile(const std::uint8_t* bytes, std::size_t size, MeshData& mesh,
                   std::string& error) {
    mesh = MeshData();
    MeshFileHeader header;
    if (!parseMeshHeader(bytes, size, header)) {
        error = "the header does not give two counts";
        return false;
    }
    const long long vertices = header.vertexCount;
    const long long triangles = header.triangleCount;
    if (vertices < 0 || triangles < 0) {
        error = "negative count (" + std::to_string(vertices) + " vertices, " +
                std::to_string(triangles) + " triangles)";
        return false;
    }
    // Both counts are below 2^31, so the sizes fit easily in 64 bits.
    const unsigned long long needed = 28ULL * vertices + 12ULL * triangles;
    const std::size_t available = size - header.payloadOffset;
    if (needed > available || 3 * triangles > INT_MAX) {
        error = "the header announces " + std::to_string(vertices) + " vertices and " +
                std::to_string(triangles) + " triangles (" + std::to_string(needed) +
                " bytes) but " + std::to_string(available) + " bytes follow it";
        return false;
    }

    const std::uint8_t* from = bytes + header.payloadOffset;
    copyArray(from, static_cast<std::size_t>(vertices) * 4, mesh.positions);
    copyArray(from, static_cast<std::size_t>(vertices) * 3, mesh.normals);
    copyArray(from, static_cast<std::size_t>(triangles) * 3, mesh.indices);
    for (std::size_t i = 0; i < mesh.indices.size(); ++i) {
        if (mesh.indices[i] >= vertices) {
            error = "triangle " + std::to_string(i / 3) + " uses vertex " +
                    std::to_string(mesh.indices[i]) + " of " + std::to_string(vertices);
            mesh = MeshData();
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> encodeMeshFile(const MeshData& mesh) {
    std::string header =
        std::to_string(mesh.vertexCount()) + "," + std::to_string(mesh.triangleCount());
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    std::size_t payload = bytes.size();
    appendBytes(bytes, mesh.positions);
    appendBytes(bytes, mesh.normals);
    appendBytes(bytes, mesh.indices);
    // A reader would take a leading digit of the payload as more of the triangle count. The first
    // payload byte is the lowest byte of the first position's x: move it just out of '0'...'9',
    // a change of at most five units in the last place of that one coordinate. (A mesh without
    // vertices has no valid triangles, so its payload is empty.)
    if (bytes.size() > payload && isDigit(bytes[payload]) && !mesh.positions.empty()) {
        bytes[payload] = bytes[payload] <= '4' ? '0' - 1 : '9' + 1;
    }
    return bytes;
}
