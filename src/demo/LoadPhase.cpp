#include "demo/LoadPhase.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <numeric>
#include <sstream>
#include <string>
#include <system_error>

#include "audio/MusicPlayer.h"
#include "demo/DemoAssets.h"
#include "geometry/SurfaceFields.h"
#include "geometry/SurfaceGenerator.h"
#include "geometry/Tube.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/RenderTarget.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "math/MatrixStack.h"

namespace {

// The logo quad of the intro, in the layout every screen-space pass reads "ipos" with.
constexpr float kIntroLogoPlacement[4] = {0.1f, 0.13263889f, 1.6f, 1.4694444f};

struct ScreenSize {
    float width, height;
};

// Sets one load-time uniform, by the name the manifest gives it, on the program in use.
void setLoadTimeUniform(const ShaderProgram& program, const std::string& name, ScreenSize screen) {
    if (name == "tex") program.setInt("tex", 0);
    if (name == "moss") program.setInt("moss", 1);
    if (name == "screen") program.setFloat2("screen", screen.width, screen.height);
    if (name == "ipos") {
        const float* p = kIntroLogoPlacement;
        program.setFloat4("ipos", p[0], p[1], p[2], p[3]);
    }
    if (name == "alpha") program.setFloat("alpha", 1.0f);
}

// A program with its load-time uniforms, made current to take them; the very first program is made
// current even without any, as the demo always has.
std::unique_ptr<ShaderProgram> buildProgram(const AssetRow& row, ScreenSize screen) {
    auto program = std::make_unique<ShaderProgram>(row.path);
    if (*row.uniforms || &row == &kAssetManifest[0]) program->use();
    std::istringstream names(row.uniforms);
    for (std::string name; names >> name;) setLoadTimeUniform(*program, name, screen);
    return program;
}

std::unique_ptr<Texture2D> loadTexture(const char* path) {
    return Texture2D::fromImage(path, GL_LINEAR);
}

// The one hard check of the load phase. It must stop the program in every build type, so it is
// written out rather than left to assert(), which vanishes under NDEBUG.
void requireCompleteFramebuffer() {
    if (gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) return;
    std::fflush(stdout);
    std::fprintf(stderr,
                 "Assertion failed: glCheckFramebufferStatus(GL_FRAMEBUFFER) == "
                 "GL_FRAMEBUFFER_COMPLETE, file main, line 301\n");
    std::fflush(stderr);
    std::abort();
}

std::uint32_t tickCountMs() {
    using namespace std::chrono;
    const auto now = steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(now).count());
}

// Whether the load phase got something from the manifest's file: the players cannot tell a damaged
// soundtrack from a missing sound device, so the soundtrack counts when it is a non-empty file.
bool usable(const DemoAssets& a, const AssetRow& row) {
    switch (row.kind) {
        case AssetKind::Program: {
            const GLuint program = (a.*row.program)->program;
            GLint linked = GL_FALSE;
            if (program) gl.glGetProgramiv(program, GL_LINK_STATUS, &linked);
            return linked == GL_TRUE;
        }
        case AssetKind::Image: return (a.*row.image)->width > 0;
        case AssetKind::Mesh: return (a.*row.mesh).indexCount > 0;
        case AssetKind::Music: {
            std::error_code error;
            return std::filesystem::is_regular_file(row.path, error) &&
                   std::filesystem::file_size(row.path, error) > 0 && !error;
        }
    }
    return false;
}

}  // namespace

std::vector<std::string> loadDemoAssets(DemoAssets& a, int width, int height, MusicPlayer& music) {
    const ScreenSize screen{static_cast<float>(width), static_cast<float>(height)};

    // 1-6. The programs and images, in the manifest's order.
    for (const AssetRow& row : kAssetManifest) {
        if (row.kind == AssetKind::Program) a.*row.program = buildProgram(row, screen);
        if (row.kind == AssetKind::Image) a.*row.image = loadTexture(row.path);
    }

    // 7. The render target, at the window's size.
    a.sceneTarget = std::make_unique<RenderTarget>();
    a.sceneColorTexture = Texture2D::createEmpty(width, height, false);
    a.sceneDepthTexture = Texture2D::createEmpty(width, height, true);
    a.sceneTarget->attach(0, a.sceneColorTexture.get(), GL_COLOR_ATTACHMENT0);
    a.sceneTarget->attach(1, a.sceneDepthTexture.get(), GL_DEPTH_ATTACHMENT);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, a.sceneTarget->framebuffer);
    requireCompleteFramebuffer();
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);

    // 8. Meshes and generated surfaces; the canyon field's 128^3 grid dominates the start-up.
    const std::uint32_t t0 = tickCountMs();
    for (const AssetRow& row : kAssetManifest)
        if (row.kind == AssetKind::Mesh) a.*row.mesh = loadMesh(row.path);
    a.fieldMeshA = generateSurfaceMesh(32, 200.0f, wallField);
    a.fieldMeshB = generateSurfaceMesh(32, 20.0f, rippledSphereField);
    a.fieldMeshC = generateSurfaceMesh(128, 200.0f, canyonField);
    // The rod: 32 rings of 8 vertices (a grid step of 3 / 31 beside its radius of 0.1).
    const MeshData rod = generateSurfaceData(32, 1.5f, rodField);
    // Stitched again ring to ring, all its triangles wind counter-clockwise seen from outside (half
    // of the generator's face inwards), so the rockets can leave out the sides turned away.
    std::vector<int> rings(32);
    std::iota(rings.begin(), rings.end(), 0);
    a.fieldMeshD = uploadMesh(thinnedTube(rod, rings));
    // Close by, the rod's eight uneven sides showed as facets on the hulls, the fins' edges and
    // the flames: the near rockets and every fin are drawn from regular rings of sixteen.
    const MeshData roundRod = roundTube(rod, 16);
    // The fins are plates that change linearly along the rod: four of its rings draw them (the
    // light worked out at their vertices needs more than the two ends).
    a.finMesh = uploadMesh(thinnedTube(roundRod, {0, 10, 21, 31}));
    // Every other ring, keeping both sides of the body's joint with the nose (between rings 22 and
    // 23): far off, the rockets' curves and lights still read smooth, and the patches under them
    // follow the ground as closely.
    std::vector<int> alternate;
    for (int ring = 0; ring <= 22; ring += 2) alternate.push_back(ring);
    for (int ring = 23; ring <= 31; ring += 2) alternate.push_back(ring);
    a.coarseRod = uploadMesh(thinnedTube(rod, alternate));
    a.roundRod = uploadMesh(roundRod);
    const std::uint32_t t1 = tickCountMs();
    std::printf("Mesh generation took %d ms\n", static_cast<std::int32_t>(t1 - t0));

    // 9. The unit square every screen-space pass draws: two counter-clockwise triangles.
    static const float kCorners[8] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f};
    static const std::uint32_t kQuadIndices[6] = {0, 1, 2, 2, 3, 0};
    a.quadBuffer = std::make_unique<GeometryBuffer>();
    a.quadBuffer->setAttribute(0, 2, 4, kCorners);
    a.quadBuffer->setIndices(6, kQuadIndices);

    // 10. The matrix stack, empty.
    a.matrixStack = std::make_unique<MatrixStack>();

    // 11. The music (the manifest's last row), from the top.
    music.open();
    music.seek(0.0);
    music.play();

    std::vector<std::string> unusable;
    for (const AssetRow& row : kAssetManifest)
        if (!usable(a, row)) unusable.push_back(row.path);
    return unusable;
}

void releaseDemoAssets(DemoAssets& a) {
    // The order the demo has always torn down in; simpleShader's release is the one that says so.
    a.quadBuffer.reset();
    a.mossTexture.reset();
    a.brickTexture.reset();
    if (a.simpleShader) std::printf("reloading %s\n", a.simpleShader->path.c_str());
    a.simpleShader.reset();
    a.pantheonMesh.geometry.reset();
    a.fieldMeshC.geometry.reset();
    a.fieldMeshD.geometry.reset();
    a = DemoAssets{};
}
