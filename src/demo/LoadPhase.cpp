#include "demo/LoadPhase.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "audio/MusicPlayer.h"
#include "demo/DemoAssets.h"
#include "demo/Timeline.h"
#include "geometry/SurfaceFields.h"
#include "geometry/SurfaceGenerator.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/RenderTarget.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "math/MatrixStack.h"

namespace {

// The logo quad of the intro, in the layout every screen-space pass reads "ipos" with.
constexpr float kIntroLogoPlacement[4] = {0.1f, 0.13263889f, 1.6f, 1.4694444f};

struct LoadTimeUniforms {
    bool tex = false;
    bool moss = false;
    bool screen = false;
    bool ipos = false;
    bool alpha = false;
};

struct ScreenSize {
    float width, height;
};

std::unique_ptr<ShaderProgram> buildProgram(const char* path, LoadTimeUniforms uniforms,
                                            ScreenSize screen) {
    auto program = std::make_unique<ShaderProgram>(path);
    if (!(uniforms.tex || uniforms.moss || uniforms.screen || uniforms.ipos || uniforms.alpha))
        return program;
    program->use();
    if (uniforms.tex) program->setInt("tex", 0);
    if (uniforms.moss) program->setInt("moss", 1);
    if (uniforms.screen) program->setFloat2("screen", screen.width, screen.height);
    if (uniforms.ipos) {
        const float* p = kIntroLogoPlacement;
        program->setFloat4("ipos", p[0], p[1], p[2], p[3]);
    }
    if (uniforms.alpha) program->setFloat("alpha", 1.0f);
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

}  // namespace

void loadDemoAssets(DemoAssets& a, int width, int height, MusicPlayer& music) {
    const ScreenSize screen{static_cast<float>(width), static_cast<float>(height)};
    const LoadTimeUniforms none;
    const LoadTimeUniforms texMoss{true, true, false, false, false};
    const LoadTimeUniforms texScreen{true, false, true, false, false};

    // 1. Programs, part one.
    a.groundShader = buildProgram("assets/ground.shader", none, screen);
    a.groundShader->use();
    a.geometryDistortShader = buildProgram("assets/geometry_distort.shader", texMoss, screen);
    a.stoneShader = buildProgram("assets/stone.shader", texMoss, screen);
    a.introLogoShader =
        buildProgram("assets/intrologo.shader", {true, false, true, true, false}, screen);
    a.displayCameraShader = buildProgram("assets/display_camera.shader", texScreen, screen);
    a.bigLogoShader = buildProgram("assets/biglogo.shader", texScreen, screen);
    a.solidColorShader =
        buildProgram("assets/solidcolor.shader", {false, false, true, false, false}, screen);
    a.displayShader =
        buildProgram("assets/display.shader", {true, false, true, true, true}, screen);
    a.postprocessShader = buildProgram("assets/display_postprocess.shader", none, screen);
    a.simpleShader = buildProgram("assets/simple.shader", texMoss, screen);
    a.cliffShader = buildProgram("assets/cliff.shader", texMoss, screen);

    // 2. Images, part one.
    a.cliffTexture = loadTexture("assets/quarncliff.jpg");
    a.brickTexture = loadTexture("assets/brick.jpg");
    a.mossTexture = loadTexture("assets/moss.jpg");
    a.newLogoTexture = loadTexture("assets/newlogo.png");
    a.newLogo2Texture = loadTexture("assets/newlogo2.png");
    a.bigLogoUpTexture = loadTexture("assets/biglogo_up.png");
    a.bigLogoDownTexture = loadTexture("assets/biglogo_down.png");
    a.bigLogoBgTexture = loadTexture("assets/biglogo_bg.png");
    a.creditsTexture = loadTexture("assets/credits.png");

    // 3. Programs, part two.
    a.displayAttentionShader = buildProgram("assets/display_attention.shader", none, screen);
    a.displayGroupnameShader = buildProgram("assets/display_groupname.shader", none, screen);
    a.displayGreetBgShader = buildProgram("assets/display_greet_bg.shader", none, screen);

    // 4. Images, part two.
    a.attentionTexture = loadTexture("assets/attention.png");
    a.mirraTexture = loadTexture("assets/mirramirra.png");
    a.bordersTexture = loadTexture("assets/borders.png");
    a.recTexture = loadTexture("assets/rec.png");
    a.introParticleTexture = loadTexture("assets/introparticle.png");

    // 5. Programs, part three.
    a.particlesShader = buildProgram("assets/particles.shader", none, screen);
    a.debrisParticlesShader = buildProgram("assets/debris_particles.shader", none, screen);
    a.asteroidShader = buildProgram("assets/asteroid.shader", none, screen);
    a.cliffTunnelShader = buildProgram("assets/cliff_tunnel.shader", none, screen);
    a.kertsiGroundShader = buildProgram("assets/kertsiground.shader", texMoss, screen);
    a.rocket1Shader = buildProgram("assets/rocket1.shader", none, screen);

    // 6. The last image.
    a.sandTexture = loadTexture("assets/sand.jpg");

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
    a.pantheonMesh = loadMesh("assets/mesh/pantheon.mesh");
    a.caveMesh = loadMesh("assets/mesh/cave.mesh");
    a.fieldMeshA = generateSurfaceMesh(32, 200.0f, wallField);
    a.fieldMeshB = generateSurfaceMesh(32, 20.0f, rippledSphereField);
    a.fieldMeshC = generateSurfaceMesh(128, 200.0f, canyonField);
    a.fieldMeshD = generateSurfaceMesh(64, 3.0f, rodField);
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

    // 11. Scene start bars; the last entry only ends scene 10.
    const auto startBars = sceneStartBarTable();
    for (int i = 0; i < kSceneTableSize; ++i) a.sceneStartBars[i] = startBars[i];

    // 12. The music, from the top.
    music.open();
    music.seek(0.0);
    music.play();
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
