#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <string>

#include "CaveField.h"
#include "EffectiveCamera.h"
#include "TrackedCameras.h"
#include "geometry/MeshFile.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"
#include "support/GlTestContext.h"

namespace {

void expectNear3(const double* v, double x, double y, double z, double tolerance) {
    EXPECT_NEAR(v[0], x, tolerance);
    EXPECT_NEAR(v[1], y, tolerance);
    EXPECT_NEAR(v[2], z, tolerance);
}

TEST(EffectiveCamera, PlainLookAtIsMirroredByTheRowVectorReading) {
    // Rows (1,0,0,0), (0,1,0,0), (0,0,-1,0), (0,0,-5,1): p * V = (x, y, -z - 5), which is the
    // view origin for p = (0, 0, -5) and sends +z to view -z.
    Matrix4 view;
    lookAt(view, 0, 0, 5, 0, 0, 0, 0, 1, 0);
    const EffectiveCamera cam = effectiveCamera(view);
    ASSERT_TRUE(cam.valid);
    expectNear3(cam.eye, 0, 0, -5, 1e-6);
    expectNear3(cam.forward, 0, 0, 1, 1e-6);
    expectNear3(cam.up, 0, 1, 0, 1e-6);
}

TEST(EffectiveCamera, EveryScenesEyeLandsOnTheViewOriginAndLooksDownMinusZ) {
    for (int i = 0; i < kTrackedCameraCount; ++i) {
        const TrackedCamera& scene = kTrackedCameras[i];
        for (int k = 0; k < 24; ++k) {
            const double bar = scene.startBar + (scene.endBar - scene.startBar) * (k + 0.5) / 24;
            const Matrix4 view = scene.at(clockAtSeconds(secondsOfBars(bar))).view;
            const EffectiveCamera cam = effectiveCamera(view);
            ASSERT_TRUE(cam.valid) << scene.name << " at bar " << bar;
            double origin[4], ahead[4];
            transformPoint(view, cam.eye, origin);
            const double p[3] = {cam.eye[0] + 10 * cam.forward[0], cam.eye[1] + 10 * cam.forward[1],
                                 cam.eye[2] + 10 * cam.forward[2]};
            transformPoint(view, p, ahead);
            const double scale =
                1e-4 * (1 + std::fabs(cam.eye[0]) + std::fabs(cam.eye[1]) + std::fabs(cam.eye[2]));
            expectNear3(origin, 0, 0, 0, scale);
            EXPECT_NEAR(ahead[0], 0, scale) << scene.name;
            EXPECT_NEAR(ahead[1], 0, scale) << scene.name;
            EXPECT_LT(ahead[2], -1.0) << scene.name;
        }
    }
    const Matrix4 broken = {};
    EXPECT_FALSE(effectiveCamera(broken).valid);
}

TEST(EffectiveCamera, CavePathStaysInsideThePassage) {
    // Every frame at 60 fps over scenes 5 and 6, the zoom of the last beat included.
    const TrackedCamera* cave = findTrackedCamera("cave");
    ASSERT_NE(cave, nullptr);
    int samples = 0;
    double lowest = 1e9;
    for (double s = secondsOfBars(cave->startBar); s < secondsOfBars(cave->endBar);
         s += 1.0 / 60.0, ++samples) {
        const EffectiveCamera cam = effectiveCamera(cave->at(clockAtSeconds(s)).view);
        const float air = caveField(static_cast<float>(cam.eye[0]), static_cast<float>(cam.eye[1]),
                                    static_cast<float>(cam.eye[2]));
        lowest = std::fmin(lowest, air);
        ASSERT_GE(air, 3.0f) << "eye (" << cam.eye[0] << ", " << cam.eye[1] << ", " << cam.eye[2]
                             << ") at " << s << " s";
    }
    EXPECT_GT(samples, 1200);
    // The light at the origin is inside the cave too.
    EXPECT_GT(caveField(0.0f, 0.0f, 0.0f), 3.0f);
    // The half-size boulder (radius 2 to 3) drifts through the chamber: scaled by 0.5 after its
    // offset (12, 35 - 3.5 t, 11), its centre in cave coordinates is (6, 17.5 - 1.75 t, 5.5).
    for (double t = 0.0; t < 21.6; t += 0.1)
        ASSERT_GE(caveField(6.0f, static_cast<float>(17.5 - 1.75 * t), 5.5f), 4.5f) << t;
    std::printf("lowest field value along the cave path: %.2f\n", lowest);
}

// The shaft is closed at both ends inside the generator's grid: air reaching the grid's bottom
// or top face would leave a hole there, showing the clear colour at the end of the shaft.
TEST(EffectiveCamera, CaveEndsAreRockAtTheGridsFaces) {
    const float e = kCaveGridExtent;
    for (float z : {-e, e})
        for (float y = -e; y <= e; y += 1.0f)
            for (float x = -e; x <= e; x += 1.0f)
                ASSERT_LT(caveGridField(x, y, z), 0.0f) << x << ", " << y << ", " << z;
}

// Near the walls the field has no steps up the shaft: the generator tears a step into slivers
// and gaps (ledges and stalactites cut off while they still stood out left them). Checked just
// above every half unit of height, where the ledges' and stalactites' ranges begin and end.
TEST(CaveField, NoStepsAlongTheShaftNearTheWalls) {
    int steps = 0;
    for (float z = -130.0f; z < 105.0f; z += 0.5f)
        for (float a = 0.0f; a < 6.2832f; a += 0.1f)
            for (float r = 10.0f; r < 60.0f; r += 1.0f) {
                const float x = r * std::cos(a), y = r * std::sin(a);
                const float f = caveField(x, y, z);
                if (std::fabs(f) > 2.0f) continue;
                if (std::fabs(caveField(x, y, z + 0.01f) - f) > 0.1f) ++steps;
            }
    EXPECT_EQ(steps, 0);
}

// Every triangle of the committed cave faces up the field's gradient at its centre, into the
// air: one wound the other way is dropped by the routine's culling, a hole in the wall.
TEST(CaveMesh, TrianglesFaceTheAir) {
    MeshData cave;
    ASSERT_TRUE(readMeshFile("assets/mesh/cave.mesh", cave));
    int against = 0;
    for (std::size_t t = 0; t + 2 < cave.indices.size(); t += 3) {
        double p[3][3], c[3], facing = 0.0;
        for (int v = 0; v < 3; ++v)
            for (int k = 0; k < 3; ++k) p[v][k] = cave.positions[4 * cave.indices[t + v] + k];
        for (int k = 0; k < 3; ++k) c[k] = (p[0][k] + p[1][k] + p[2][k]) / 3.0;
        for (int k = 0; k < 3; ++k) {
            const int a = (k + 1) % 3, b = (k + 2) % 3;
            double up[3] = {c[0], c[1], c[2]}, down[3] = {c[0], c[1], c[2]};
            up[k] += 0.02;
            down[k] -= 0.02;
            facing += ((p[1][a] - p[0][a]) * (p[2][b] - p[0][b]) -
                       (p[1][b] - p[0][b]) * (p[2][a] - p[0][a])) *
                      (caveField(float(up[0]), float(up[1]), float(up[2])) -
                       caveField(float(down[0]), float(down[1]), float(down[2])));
        }
        if (facing < 0.0) ++against;
    }
    EXPECT_EQ(against, 0) << "of " << cave.triangleCount();
}

// The shaders' reading, checked on the GL: a marker put ahead of the effective camera lands in
// the middle of the picture; put behind it, it is not drawn.
class RenderedCamera : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static GlTestContext* context = new GlTestContext(64, 36);
        ASSERT_TRUE(context->ok());
    }

    static bool markerSeen(const Matrix4& view, float halfWidth, double distance) {
        static ShaderProgram* shader = new ShaderProgram([] {
            const std::string p = ::testing::TempDir() + "velmora_marker.shader";
            FILE* f = std::fopen(p.c_str(), "wb");
            std::fputs(
                "#ifdef vertexcompile\nlayout(location = 0) in vec4 position;\nuniform mat4 "
                "matrix;\nvoid main() { gl_Position = matrix * position; }\n#endif\n#ifdef "
                "fragmentcompile\nout vec4 colour;\nvoid main() { colour = vec4(1.0); }\n#endif\n",
                f);
            std::fclose(f);
            return p;
        }());
        const EffectiveCamera cam = effectiveCamera(view);
        // A square of side 2 across the viewing direction, `distance` ahead.
        double side[3] = {cam.up[1] * cam.forward[2] - cam.up[2] * cam.forward[1],
                          cam.up[2] * cam.forward[0] - cam.up[0] * cam.forward[2],
                          cam.up[0] * cam.forward[1] - cam.up[1] * cam.forward[0]};
        float corners[16];
        const int signs[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 3; ++k)
                corners[4 * c + k] =
                    static_cast<float>(cam.eye[k] + distance * cam.forward[k] +
                                       signs[c][0] * side[k] + signs[c][1] * cam.up[k]);
        for (int c = 0; c < 4; ++c) corners[4 * c + 3] = 1.0f;
        const std::uint32_t indices[6] = {0, 1, 2, 2, 3, 0};
        GeometryBuffer quad;
        quad.setAttribute(0, 4, 4, corners);
        quad.setIndices(6, indices);

        Matrix4 projection, matrix;
        perspective(projection, halfWidth, 36.0f / 64.0f, 1.0f, 200.0f);
        multiply(matrix, view, projection);
        gl.glDisable(GL_DEPTH_TEST);
        gl.glClearColor(0, 0, 0, 1);
        gl.glClear(GL_COLOR_BUFFER_BIT);
        shader->use();
        shader->setMatrix("matrix", matrix);
        quad.draw(6);
        std::uint8_t pixel[4] = {};
        gl.glReadPixels(32, 18, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        return pixel[0] > 128;
    }
};

TEST_F(RenderedCamera, MarkerAheadOfTheEffectiveCameraIsDrawnInTheMiddle) {
    const char* cameras[] = {"cave", "temple", "temple-ring", "flyby", "intro"};
    for (const char* name : cameras) {
        const TrackedCamera* scene = findTrackedCamera(name);
        ASSERT_NE(scene, nullptr);
        for (double f : {0.3, 0.7}) {
            const double bar = scene->startBar + (scene->endBar - scene->startBar) * f;
            const CameraShot shot = scene->at(clockAtSeconds(secondsOfBars(bar)));
            EXPECT_TRUE(markerSeen(shot.view, shot.halfWidth, 20.0)) << name << " at bar " << bar;
            EXPECT_FALSE(markerSeen(shot.view, shot.halfWidth, -20.0)) << name << " at bar " << bar;
        }
    }
}

}  // namespace
