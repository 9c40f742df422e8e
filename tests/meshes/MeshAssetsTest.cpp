#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "EffectiveCamera.h"
#include "MeshFileChecks.h"
#include "TrackedCameras.h"
#include "geometry/MeshFile.h"
#include "gl/GeometryBuffer.h"
#include "gl/LoadedMesh.h"
#include "support/GlTestContext.h"

namespace {

MeshData parsed(const char* path) {
    const std::vector<std::uint8_t> bytes = readFileBytes(path);
    MeshData mesh;
    std::string error;
    EXPECT_TRUE(parseMeshFile(bytes.data(), bytes.size(), mesh, error)) << path << ": " << error;
    return mesh;
}

TEST(MeshAssets, LoadThroughTheLoaderWithOnlyTheTwoCountLines) {
    GlTestContext context;
    ASSERT_TRUE(context.ok());
    for (const char* path : {kTemplePath, kCavePath}) {
        const MeshData mesh = parsed(path);
        ::testing::internal::CaptureStdout();
        const LoadedMesh loaded = loadMesh(path);
        std::fflush(stdout);
        const std::string printed = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(printed, "vcount = " + std::to_string(mesh.vertexCount()) +
                               "\ntcount = " + std::to_string(mesh.triangleCount()) + "\n");
        EXPECT_EQ(loaded.indexCount, 3 * mesh.triangleCount());
        ASSERT_NE(loaded.geometry, nullptr);
        EXPECT_NE(loaded.geometry->indexBuffer, 0u);
    }
}

TEST(MeshAssets, HoldWhatTheFormatPromisesWithinTheBudget) {
    std::size_t total = 0;
    for (const char* path : {kTemplePath, kCavePath}) {
        const std::vector<std::uint8_t> bytes = readFileBytes(path);
        total += bytes.size();
        MeshFileHeader header;
        ASSERT_TRUE(parseMeshHeader(bytes.data(), bytes.size(), header)) << path;
        ASSERT_LT(header.payloadOffset, bytes.size());
        const std::uint8_t first = bytes[header.payloadOffset];
        EXPECT_FALSE(first >= '0' && first <= '9') << path;

        const MeshData mesh = parsed(path);
        EXPECT_GT(mesh.vertexCount(), 20000) << path;
        EXPECT_LE(mesh.triangleCount(), 250000) << path;
        int badW = 0, badNormals = 0;
        for (int v = 0; v < mesh.vertexCount(); ++v) {
            if (mesh.positions[4 * v + 3] != 1.0f) ++badW;
            const float* n = &mesh.normals[3 * v];
            if (!(std::fabs(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) - 1.0f) < 1e-3f))
                ++badNormals;
        }
        EXPECT_EQ(badW, 0) << path;
        EXPECT_EQ(badNormals, 0) << path;
    }
    EXPECT_LE(total, 5u * 1000 * 1000);
}

TEST(MeshAssets, TempleIsRoundAboutTheVerticalAxisWithAnOpenWayUpTheMiddle) {
    const MeshData temple = parsed(kTemplePath);
    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    float nearestAxis = 1e9f;
    int skyVertices = 0;
    for (int v = 0; v < temple.vertexCount(); ++v) {
        const float* p = &temple.positions[4 * v];
        // The sky sphere round it all (radius 105, inside the far plane from every camera) is
        // painted as night, not stone.
        const float fromCentre = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        if (fromCentre > 95.0f) {
            EXPECT_NEAR(fromCentre, 105.0f, 0.01f);
            ++skyVertices;
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::fmin(lo[k], p[k]);
            hi[k] = std::fmax(hi[k], p[k]);
        }
        // The closing camera rises along the axis from the crypt (y about -27) out through the
        // well and the oculus.
        if (p[1] > -32.0f)
            nearestAxis = std::fmin(nearestAxis, std::sqrt(p[0] * p[0] + p[2] * p[2]));
    }
    for (int k : {0, 2}) {
        EXPECT_GT(hi[k] - lo[k], 60.0f);
        EXPECT_LT(hi[k] - lo[k], 100.0f);
        EXPECT_NEAR(hi[k] + lo[k], 0.0f, 6.0f);
    }
    EXPECT_GT(nearestAxis, 7.5f);
    EXPECT_GT(skyVertices, 0);
}

// The rock under the platform stays inside the lowest step (radius 41, from -26 to -24), so
// nothing pokes through the base; and its generated surface has no triangles stretched across it
// (the generator pulls a vertex far off when the field is steep and noisy, as at a sharp tip).
TEST(MeshAssets, TempleRockStaysUnderTheStepsInEvenTriangles) {
    const MeshData temple = parsed(kTemplePath);
    const auto at = [&](std::uint32_t i) { return &temple.positions[4 * i]; };
    int poking = 0;
    for (int v = 0; v < temple.vertexCount(); ++v) {
        const float* p = at(v);
        if (p[1] > -25.99f && p[1] < -24.01f && std::hypot(p[0], p[2]) > 41.001f) ++poking;
    }
    EXPECT_EQ(poking, 0);

    float longest = 0.0f;
    int rockTriangles = 0;
    for (size_t t = 0; t + 2 < temple.indices.size(); t += 3) {
        const float* p[3] = {at(temple.indices[t]), at(temple.indices[t + 1]),
                             at(temple.indices[t + 2])};
        bool rock = true;
        for (const float* q : p)
            rock = rock && q[1] < -26.5f && std::hypot(std::hypot(q[0], q[2]), q[1]) < 95.0f;
        if (!rock) continue;
        ++rockTriangles;
        for (int k = 0; k < 3; ++k) {
            const float* a = p[k];
            const float* b = p[(k + 1) % 3];
            longest =
                std::fmax(longest, std::hypot(std::hypot(a[0] - b[0], a[1] - b[1]), a[2] - b[2]));
        }
    }
    EXPECT_GT(rockTriangles, 1000);
    EXPECT_LT(longest, 12.0f);  // the generator's cells are 1.8 across
}

// Every frame's effective eye, as the temple scenes schedule their views, keeps clear of the
// temple and outside its solids; the rise passes through the well and the oculus.
TEST(MeshAssets, TempleCamerasKeepClearOfTheTemple) {
    const MeshData temple = parsed(kTemplePath);
    const TrackedCamera* scene = findTrackedCamera("temple");
    ASSERT_NE(scene, nullptr);
    double closest = 1e9;
    for (double s = secondsOfBars(scene->startBar); s < secondsOfBars(scene->endBar); s += 0.1) {
        const EffectiveCamera cam = effectiveCamera(scene->at(clockAtSeconds(s)).view);
        const SurfacePoint near = nearestSurface(temple, cam.eye);
        closest = std::fmin(closest, near.distance);
        ASSERT_TRUE(near.outside && near.distance >= 2.5)
            << "eye (" << cam.eye[0] << ", " << cam.eye[1] << ", " << cam.eye[2] << ") at " << s
            << " s is " << near.distance << (near.outside ? " outside" : " inside");
    }
    std::printf("closest approach of a temple camera: %.2f\n", closest);
}

// The same for the cave: the normals face the air, so "outside" is in the passage.
TEST(MeshAssets, CaveCameraKeepsClearOfTheWalls) {
    const MeshData cave = parsed(kCavePath);
    const TrackedCamera* scene = findTrackedCamera("cave");
    ASSERT_NE(scene, nullptr);
    double closest = 1e9;
    for (double s = secondsOfBars(scene->startBar); s < secondsOfBars(scene->endBar); s += 0.1) {
        const EffectiveCamera cam = effectiveCamera(scene->at(clockAtSeconds(s)).view);
        const SurfacePoint near = nearestSurface(cave, cam.eye);
        closest = std::fmin(closest, near.distance);
        ASSERT_TRUE(near.outside && near.distance >= 3.0)
            << "eye (" << cam.eye[0] << ", " << cam.eye[1] << ", " << cam.eye[2] << ") at " << s
            << " s is " << near.distance << (near.outside ? " in the air" : " in the rock");
    }
    std::printf("closest approach of the cave camera: %.2f\n", closest);
}

// The cameras all look at the entablature from below its cornice: a moulding there that slopes
// up and out is seen edge-on, a bright thread drawn along the ring.
TEST(MeshAssets, TempleEntablatureHasNoFaceSlopingUpAndOut) {
    const MeshData temple = parsed(kTemplePath);
    int sloping = 0;
    for (int v = 0; v < temple.vertexCount(); ++v) {
        const float* p = &temple.positions[4 * v];
        const float* n = &temple.normals[3 * v];
        const float r = std::hypot(p[0], p[2]);
        if (p[1] <= 8.2f || p[1] >= 14.6f || r < 29.0f || r > 32.0f) continue;
        const float outward = (n[0] * p[0] + n[2] * p[2]) / r;
        if (n[1] > 0.2f && outward > 0.2f) ++sloping;
    }
    EXPECT_EQ(sloping, 0);
}

}  // namespace

// The temple scene draws the sky, the mesh's last 24 x 48 quads, with a program of its own:
// those indices and no others reach out to the sphere of radius 105.
TEST(MeshAssets, TempleSkyIsExactlyTheLastIndices) {
    const MeshData temple = parsed(kTemplePath);
    constexpr size_t kSkyIndices = 24 * 48 * 6;
    ASSERT_GT(temple.indices.size(), kSkyIndices);
    const size_t firstSky = temple.indices.size() - kSkyIndices;
    int misplaced = 0;
    for (size_t i = 0; i < temple.indices.size(); ++i) {
        const float* p = &temple.positions[4 * temple.indices[i]];
        const bool far = std::hypot(std::hypot(p[0], p[2]), p[1]) > 95.0f;
        if (far != (i >= firstSky)) ++misplaced;
    }
    EXPECT_EQ(misplaced, 0);
}
