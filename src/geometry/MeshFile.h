#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "geometry/MeshData.h"

// The mesh file: ASCII header "V,T" then, little-endian and unpadded, V positions (4 floats),
// V normals (3 floats) and T triangles (3 uint32).

// The counts of the header and where the payload starts (the byte after the last digit of T).
struct MeshFileHeader {
    int vertexCount = -1;
    int triangleCount = -1;
    std::size_t payloadOffset = 0;
};

// Reads the header like scanf("%d,%d"): whitespace may precede each number, nothing may stand
// between the first number and the comma. False when it does not give two numbers in int range.
bool parseMeshHeader(const std::uint8_t* bytes, std::size_t size, MeshFileHeader& header);
// Bytes to validated arrays: counts not negative, the payload as long as the header announces,
// every index below the vertex count. On failure returns false and says why in `error`.
bool parseMeshFile(const std::uint8_t* bytes, std::size_t size, MeshData& mesh, std::string& error);
// The file bytes of a mesh (its first payload byte must not be a digit; see the writer).
std::vector<std::uint8_t> encodeMeshFile(const MeshData& mesh);
// Reads and validates one mesh file, printing its counts. A file that is missing or bad gives one
// message, false and an empty mesh.
bool readMeshFile(const char* path, MeshData& mesh);
