#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "EffectiveCamera.h"
#include "MeshFileChecks.h"
#include "SceneCameras.h"
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
    for (int v = 0; v < temple.vertexCount(); ++v) {
        const float* p = &temple.positions[4 * v];
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
}

// Every frame's effective eye, as the temple scenes schedule their views, keeps clear of the
// temple and outside its solids; the rise passes through the well and the oculus.
TEST(MeshAssets, TempleCamerasKeepClearOfTheTemple) {
    const MeshData temple = parsed(kTemplePath);
    const SceneCamera* scene = findSceneCamera("temple");
    ASSERT_NE(scene, nullptr);
    double closest = 1e9;
    for (double s = barsToSeconds(104.0); s < barsToSeconds(136.0); s += 0.1) {
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
    const SceneCamera* scene = findSceneCamera("cave");
    ASSERT_NE(scene, nullptr);
    double closest = 1e9;
    for (double s = barsToSeconds(56.0); s < barsToSeconds(72.0); s += 0.1) {
        const EffectiveCamera cam = effectiveCamera(scene->at(clockAtSeconds(s)).view);
        const SurfacePoint near = nearestSurface(cave, cam.eye);
        closest = std::fmin(closest, near.distance);
        ASSERT_TRUE(near.outside && near.distance >= 3.0)
            << "eye (" << cam.eye[0] << ", " << cam.eye[1] << ", " << cam.eye[2] << ") at " << s
            << " s is " << near.distance << (near.outside ? " in the air" : " in the rock");
    }
    std::printf("closest approach of the cave camera: %.2f\n", closest);
}

}  // namespace
