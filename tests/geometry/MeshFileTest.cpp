#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

#include "SharedGlContext.h"
#include "geometry/MeshFile.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/LoadedMesh.h"

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

template <typename T>
void append(std::vector<std::uint8_t>& out, std::initializer_list<T> values) {
    for (T v : values) {
        std::uint8_t b[sizeof(T)];
        std::memcpy(b, &v, sizeof(T));
        out.insert(out.end(), b, b + sizeof(T));
    }
}

// The '2,1' file: two vertices, one triangle (0, 1, 1), no byte between header and payload.
std::vector<std::uint8_t> twoVertexFile(const std::string& header = "2,1") {
    std::vector<std::uint8_t> file = bytesOf(header);
    append<float>(file, {0.5f, 2.0f, 3.0f, 1.0f, -4.0f, 5.0f, 6.0f, 0.25f});
    append<float>(file, {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f});
    append<std::uint32_t>(file, {0, 1, 1});
    return file;
}

bool parse(const std::vector<std::uint8_t>& file, MeshData& mesh, std::string& error) {
    return parseMeshFile(file.data(), file.size(), mesh, error);
}

TEST(MeshFileParse, ReadsTheTwoVertexExample) {
    MeshData mesh;
    std::string error;
    ASSERT_TRUE(parse(twoVertexFile(), mesh, error)) << error;
    EXPECT_EQ(mesh.vertexCount(), 2);
    EXPECT_EQ(mesh.triangleCount(), 1);
    EXPECT_EQ(mesh.positions, (std::vector<float>{0.5f, 2, 3, 1, -4, 5, 6, 0.25f}));
    EXPECT_EQ(mesh.normals, (std::vector<float>{0, 0, 1, 0, 1, 0}));
    EXPECT_EQ(mesh.indices, (std::vector<std::uint32_t>{0, 1, 1}));

    std::vector<std::uint8_t> trailing = twoVertexFile();
    trailing.insert(trailing.end(), {'x', 'y'});  // nothing after the triangles is read
    EXPECT_TRUE(parse(trailing, mesh, error)) << error;
}

TEST(MeshFileParse, HeaderReadsLikeScanfDecimalCommaDecimal) {
    struct Case {
        const char* text;
        bool ok;
        int vertices, triangles;
        std::size_t payload;
    };
    const Case cases[] = {
        {"2,1", true, 2, 1, 3},
        {"12, 5", true, 12, 5, 5},
        {" \t\n12,\r\n 5x", true, 12, 5, 10},
        {"+3,-0", true, 3, 0, 5},
        {"12 ,5", false, 12, -1, 0},
        {"12;5", false, 12, -1, 0},
        {"12,", false, 12, -1, 0},
        {",5", false, -1, -1, 0},
        {"", false, -1, -1, 0},
        {"-,5", false, -1, -1, 0},
        {"2147483648,1", false, -1, -1, 0},
        {"-2147483648,2147483647", true, INT_MIN, INT_MAX, 22},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> text = bytesOf(c.text);
        MeshFileHeader header;
        EXPECT_EQ(parseMeshHeader(text.data(), text.size(), header), c.ok) << c.text;
        EXPECT_EQ(header.vertexCount, c.vertices) << c.text;
        EXPECT_EQ(header.triangleCount, c.triangles) << c.text;
        if (c.ok) {
            EXPECT_EQ(header.payloadOffset, c.payload) << c.text;
        }
    }
}

TEST(MeshFileParse, RejectsFilesThatWouldReadOutOfBounds) {
    std::vector<std::uint8_t> full = twoVertexFile();
    std::vector<std::uint8_t> shortByOne(full.begin(), full.end() - 1);
    std::vector<std::uint8_t> badIndex = full;
    badIndex[badIndex.size() - 4] = 2;  // the last index names vertex 2 of 2
    std::vector<std::uint8_t> hugeIndex = full;
    std::memset(&hugeIndex[hugeIndex.size() - 4], 0xFF, 4);
    const std::vector<std::uint8_t> rejected[] = {
        shortByOne,
        badIndex,
        hugeIndex,
        twoVertexFile("-2,1"),
        twoVertexFile("2,-1"),
        bytesOf("2147483647,2147483647"),
        bytesOf("0,1"),                // indices but no vertices
        twoVertexFile("2,178956971"),  // 12 * T wraps to a small number in 32 bits
        twoVertexFile("153391690,1"),  // 28 * V wraps to 8 in 32 bits
        bytesOf("12 ,5"),
    };
    for (const auto& file : rejected) {
        MeshData mesh;
        std::string error;
        EXPECT_FALSE(parse(file, mesh, error)) << std::string(file.begin(), file.begin() + 5);
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(mesh.positions.empty() && mesh.normals.empty() && mesh.indices.empty());
    }
}

TEST(MeshFileEncode, RoundTripsAndKeepsTheFirstPayloadByteOffTheDigits) {
    MeshData mesh;
    mesh.positions = {0.5f, 2, 3, 1, -4, 5, 6, 0.25f, 7, 8, 9, 1};
    mesh.normals = {0, 0, 1, 0, 1, 0, 1, 0, 0};
    mesh.indices = {0, 1, 2};
    std::vector<std::uint8_t> file = encodeMeshFile(mesh);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 3), "3,1");
    MeshData back;
    std::string error;
    ASSERT_TRUE(parse(file, back, error)) << error;
    EXPECT_EQ(back.positions, mesh.positions);
    EXPECT_EQ(back.normals, mesh.normals);
    EXPECT_EQ(back.indices, mesh.indices);

    // Lowest bytes '0' and '9': the first coordinate moves by a few units in the last place.
    for (std::uint32_t bits : {0x3F800030u, 0x3F800039u}) {
        std::memcpy(&mesh.positions[0], &bits, 4);
        file = encodeMeshFile(mesh);
        EXPECT_FALSE(file[3] >= '0' && file[3] <= '9');
        ASSERT_TRUE(parse(file, back, error)) << error;
        std::uint32_t backBits;
        std::memcpy(&backBits, &back.positions[0], 4);
        EXPECT_NE(backBits, bits);
        EXPECT_LE(backBits > bits ? backBits - bits : bits - backBits, 5u);
        EXPECT_TRUE(std::equal(back.positions.begin() + 1, back.positions.end(),
                               mesh.positions.begin() + 1));
        EXPECT_EQ(back.indices, mesh.indices);
    }

    EXPECT_EQ(encodeMeshFile(MeshData()), bytesOf("0,0"));
}

class LoadMeshTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(sharedGlContext()); }

    static std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::string path = ::testing::TempDir() + "velmora_mesh_" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }

    // Loads `path`, returning what it printed.
    static std::string load(const std::string& path, LoadedMesh& mesh) {
        ::testing::internal::CaptureStdout();
        mesh = loadMesh(path.c_str());
        std::fflush(stdout);
        return ::testing::internal::GetCapturedStdout();
    }

    static GLint attributeEnabled(const GeometryBuffer& buffer, int index) {
        GLint enabled = -1;
        gl.glBindVertexArray(buffer.vertexArray);
        gl.glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        gl.glBindVertexArray(0);
        return enabled;
    }

    static void expectEmpty(const LoadedMesh& mesh) {
        ASSERT_NE(mesh.geometry, nullptr);
        EXPECT_EQ(mesh.indexCount, 0);
        EXPECT_EQ(mesh.geometry->indexed, 0);
        EXPECT_EQ(attributeEnabled(*mesh.geometry, 0), 0);
        EXPECT_EQ(attributeEnabled(*mesh.geometry, 1), 0);
    }
};

TEST_F(LoadMeshTest, LoadsTheTwoVertexExampleIntoTheBuffer) {
    LoadedMesh mesh;
    EXPECT_EQ(load(write("two.mesh", twoVertexFile()), mesh), "vcount = 2\ntcount = 1\n");
    EXPECT_EQ(mesh.indexCount, 3);
    EXPECT_EQ(mesh.geometry->indexed, 1);
    EXPECT_EQ(attributeEnabled(*mesh.geometry, 0), 1);
    EXPECT_EQ(attributeEnabled(*mesh.geometry, 1), 1);
    float positions[8] = {};
    gl.glBindBuffer(GL_ARRAY_BUFFER, mesh.geometry->attributeBuffers[0]);
    gl.glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof positions, positions);
    gl.glBindBuffer(GL_ARRAY_BUFFER, 0);
    EXPECT_EQ(positions[4], -4.0f);
    EXPECT_EQ(positions[7], 0.25f);
}

TEST_F(LoadMeshTest, MissingUnreadableAndRejectedFilesGiveAnEmptyBuffer) {
    LoadedMesh mesh;
    std::string missing = ::testing::TempDir() + "velmora_mesh_absent.mesh";
    std::string path;
    EXPECT_EQ(load(missing, mesh), "Can't open mesh file " + missing + "!\nMesh loading error!\n");
    expectEmpty(mesh);

    // A folder opens on Linux but is not a regular file: refused before any read.
    const std::string folder = ::testing::TempDir();
    EXPECT_EQ(load(folder, mesh),
              "Mesh file " + folder + " rejected: it is not a regular file\nMesh loading error!\n");
    expectEmpty(mesh);

    path = write("comma.mesh", bytesOf("12 ,5"));
    EXPECT_EQ(load(path, mesh), "Mesh file " + path +
                                    " rejected: the header does not give two counts\nMesh "
                                    "loading error!\n");
    expectEmpty(mesh);

    path = write("nothing.mesh", {});
    EXPECT_EQ(load(path, mesh),
              "Mesh file " + path + " rejected: the file is empty\nMesh loading error!\n");
    expectEmpty(mesh);

    std::vector<std::uint8_t> file = twoVertexFile();
    file[file.size() - 4] = 7;
    path = write("index.mesh", file);
    EXPECT_EQ(load(path, mesh), "vcount = 2\ntcount = 1\nMesh file " + path +
                                    " rejected: triangle 0 uses vertex 7 of 2\n");
    expectEmpty(mesh);

    path = write("short.mesh", bytesOf("2,1"));
    std::string out = load(path, mesh);
    EXPECT_EQ(out.rfind("vcount = 2\ntcount = 1\nMesh file " + path + " rejected: ", 0), 0u) << out;
    expectEmpty(mesh);
}

TEST_F(LoadMeshTest, NoVerticesDisablesBothAttributes) {
    LoadedMesh mesh;
    EXPECT_EQ(load(write("empty.mesh", bytesOf("0,0")), mesh), "vcount = 0\ntcount = 0\n");
    expectEmpty(mesh);
}

}  // namespace
