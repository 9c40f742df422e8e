// The load phase on a real headless context with the real asset files: what a whole start prints,
// what it leaves built, and the one check that stops the program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "audio/FrameClockMusicPlayer.h"
#include "demo/Demo.h"
#include "demo/DemoAssets.h"
#include "demo/LoadPhase.h"
#include "gl/GeometryBuffer.h"
#include "gl/ImageDecoder.h"
#include "gl/RenderTarget.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "math/MatrixStack.h"
#include "support/GlTestContext.h"
#include "support/SceneTestAssets.h"

namespace {

// The lines a mesh load prints: its counts, or the two error lines when it cannot be read.
std::vector<std::string> meshLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {"Can't open mesh file " + path + "!", "Mesh loading error!"};
    std::string head(32, '\0');
    file.read(&head[0], head.size());
    int vertices = -1, triangles = -1;
    std::sscanf(head.c_str(), "%d,%d", &vertices, &triangles);
    return {"vcount = " + std::to_string(vertices), "tcount = " + std::to_string(triangles)};
}

// Runs `body` with standard output going to a file, and returns what it printed, line by line.
template <typename Body>
std::vector<std::string> captureStdout(Body body) {
    char name[] = "/tmp/velmora_stdout_XXXXXX";
    const int file = mkstemp(name);
    std::fflush(stdout);
    const int saved = dup(1);
    dup2(file, 1);
    body();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    close(file);
    std::ifstream in(name);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::remove(name);
    return lines;
}

}  // namespace

TEST(LoadPhaseTest, CompleteStartPrintsGlBlockProgramsImagesMeshesAndTiming) {
    GlTestContext context(160, 90);
    ASSERT_TRUE(context.ok());
    FrameClockMusicPlayer music;
    Demo demo;
    // A start and a teardown with no frame between (Escape pressed while loading).
    const std::vector<std::string> out = captureStdout([&] {
        demo.load(160, 90, music);
        demo.release();
    });

    // The manifest's order: a program's build line, an image's error line if it has one, then
    // (after the render target) the meshes' count lines.
    std::vector<std::string> expected;
    for (const AssetRow& row : kAssetManifest) {
        DecodedImage image;
        if (row.kind == AssetKind::Program)
            expected.push_back(std::string("reloading ") + row.path);
        if (row.kind == AssetKind::Image && !decodeImage(row.path, image))
            expected.push_back(std::string("Unable to load texture ") + row.path);
        if (row.kind == AssetKind::Mesh)
            for (const std::string& line : meshLines(row.path)) expected.push_back(line);
    }

    ASSERT_GE(out.size(), 4 + expected.size() + 2);
    EXPECT_EQ(out[0].rfind("Vendor         : ", 0), 0u) << out[0];
    EXPECT_EQ(out[1].rfind("Renderer       : ", 0), 0u) << out[1];
    EXPECT_EQ(out[2].rfind("OpenGL version : ", 0), 0u) << out[2];
    EXPECT_EQ(out[3].rfind("GLSL version   : ", 0), 0u) << out[3];
    // Every shader builds without a log: any compile or link message would break the order.
    const std::vector<std::string> load(out.begin() + 4, out.begin() + 4 + expected.size());
    EXPECT_EQ(load, expected);
    EXPECT_TRUE(
        std::regex_match(out[4 + expected.size()], std::regex("Mesh generation took -?\\d+ ms")))
        << out[4 + expected.size()];
    // The teardown destroys one program, which says so.
    const std::vector<std::string> rest(out.begin() + 5 + expected.size(), out.end());
    EXPECT_EQ(rest, std::vector<std::string>{"reloading assets/simple.shader"});
    EXPECT_TRUE(music.playing());
}

TEST(LoadPhaseTest, LeavesEveryObjectBuiltWithItsLoadTimeValues) {
    GlTestContext context(96, 54);
    ASSERT_TRUE(context.ok());
    FrameClockMusicPlayer music;
    music.setPosition(12345);
    DemoAssets a;
    EXPECT_TRUE(loadDemoAssets(a, 96, 54, music).empty());

    auto floats = [](const ShaderProgram* p, const char* name, int n) {
        GLfloat v[4] = {};
        gl.glGetUniformfv(p->program, p->uniformLocation(name), v);
        return std::vector<float>(v, v + n);
    };
    auto integer = [](const ShaderProgram* p, const char* name) {
        GLint v = -1;
        gl.glGetUniformiv(p->program, p->uniformLocation(name), &v);
        return v;
    };
    const std::vector<float> ipos = {0.1f, 0.13263889f, 1.6f, 1.4694444f};
    const std::vector<float> screen = {96.0f, 54.0f};
    EXPECT_EQ(floats(a.introLogoShader.get(), "ipos", 4), ipos);
    EXPECT_EQ(floats(a.introLogoShader.get(), "screen", 2), screen);
    EXPECT_EQ(floats(a.displayShader.get(), "ipos", 4), ipos);
    EXPECT_EQ(floats(a.displayShader.get(), "alpha", 1), std::vector<float>{1.0f});
    EXPECT_EQ(floats(a.displayShader.get(), "screen", 2), screen);
    EXPECT_EQ(floats(a.displayCameraShader.get(), "screen", 2), screen);
    EXPECT_EQ(floats(a.bigLogoShader.get(), "screen", 2), screen);
    EXPECT_EQ(floats(a.solidColorShader.get(), "screen", 2), screen);
    for (const ShaderProgram* p :
         {a.geometryDistortShader.get(), a.cliffShader.get(), a.kertsiGroundShader.get()}) {
        EXPECT_EQ(integer(p, "tex"), 0) << p->path;
        // The ground takes its moss from the rock's texel: it has no moss image to point.
        if (p != a.kertsiGroundShader.get()) {
            EXPECT_EQ(integer(p, "moss"), 1) << p->path;
        }
    }
    EXPECT_EQ(integer(a.stoneShader.get(), "moss"), 1);  // the cave's blocks need no image
    // Every uniform a manifest row names is one its program declares, and every file is there.
    for (const AssetRow& row : kAssetManifest) {
        EXPECT_TRUE(std::ifstream(row.path).good()) << row.path;
        if (row.kind != AssetKind::Program) continue;
        const ShaderProgram& program = *(a.*row.program);
        std::istringstream names(row.uniforms);
        for (std::string name; names >> name;)
            EXPECT_GE(program.uniformLocation(name), 0) << row.path << " " << name;
    }

    // The quad: corners (0,0) (1,0) (1,1) (0,1) on attribute 0, two triangles.
    std::vector<float> corners(8);
    gl.glBindBuffer(GL_ARRAY_BUFFER, a.quadBuffer->attributeBuffers[0]);
    gl.glGetBufferSubData(GL_ARRAY_BUFFER, 0, 8 * sizeof(float), corners.data());
    EXPECT_EQ(corners, (std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1}));
    std::vector<GLuint> indices(6);
    gl.glBindVertexArray(a.quadBuffer->vertexArray);
    gl.glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, 6 * sizeof(GLuint), indices.data());
    gl.glBindVertexArray(0);
    EXPECT_EQ(indices, (std::vector<GLuint>{0, 1, 2, 2, 3, 0}));

    // The render target at the window's size, and the default framebuffer bound again.
    EXPECT_EQ(a.sceneTarget->slotTextures[0], a.sceneColorTexture.get());
    EXPECT_EQ(a.sceneTarget->slotTextures[1], a.sceneDepthTexture.get());
    EXPECT_EQ(a.sceneColorTexture->width, 96);
    EXPECT_EQ(a.sceneDepthTexture->height, 54);
    GLint framebuffer = -1;
    gl.glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    EXPECT_EQ(framebuffer, 0);

    for (const SurfaceMesh* m : {&a.fieldMeshA, &a.fieldMeshB, &a.fieldMeshC, &a.fieldMeshD}) {
        ASSERT_NE(m->geometry, nullptr);
        EXPECT_GT(m->indexCount, 0);
        EXPECT_EQ(m->indexCount % 3, 0);
    }
    // An empty stack: a pop fails and leaves its target alone.
    EXPECT_EQ(a.matrixStack->depth(), 0);
    Matrix4 untouched{};
    untouched.m[3] = 7.0f;
    EXPECT_EQ(a.matrixStack->pop(untouched), nullptr);
    EXPECT_EQ(untouched.m[3], 7.0f);
    // The music starts from the top.
    EXPECT_TRUE(music.playing());
    EXPECT_EQ(music.position(), 0);

    const std::vector<std::string> out = captureStdout([&] { releaseDemoAssets(a); });
    EXPECT_EQ(out, std::vector<std::string>{"reloading assets/simple.shader"});
    EXPECT_EQ(a.quadBuffer, nullptr);
    EXPECT_EQ(a.mossTexture, nullptr);
    EXPECT_EQ(a.brickTexture, nullptr);
    EXPECT_EQ(a.simpleShader, nullptr);
    EXPECT_EQ(a.pantheonMesh.geometry, nullptr);
    EXPECT_EQ(a.fieldMeshC.geometry, nullptr);
    EXPECT_EQ(a.fieldMeshD.geometry, nullptr);
    // ...and then, silently, everything else.
    EXPECT_EQ(a.fieldMeshA.geometry, nullptr);
    EXPECT_EQ(a.finMesh.geometry, nullptr);
    EXPECT_EQ(a.coarseRod.geometry, nullptr);
    EXPECT_EQ(a.roundRod.geometry, nullptr);
    EXPECT_EQ(a.cliffShader, nullptr);
    EXPECT_EQ(a.sceneTarget, nullptr);
}

// Missing and damaged files are named, in the manifest's order, and the rest loads as usual: a
// shader that does not build, an empty image, a truncated mesh, no soundtrack.
TEST(LoadPhaseTest, NamesTheFilesItCouldNotUse) {
    namespace fs = std::filesystem;
    GlTestContext context(64, 36);
    ASSERT_TRUE(context.ok());
    const fs::path home = fs::current_path();
    const fs::path copy =
        fs::temp_directory_path() / ("velmora_damaged_" + std::to_string(getpid()));
    fs::remove_all(copy);
    fs::create_directories(copy);
    fs::copy(home / "assets", copy / "assets", fs::copy_options::recursive);
    std::ofstream(copy / "assets/stone.shader", std::ios::app) << "this is not GLSL;\n";
    std::ofstream(copy / "assets/moss.jpg", std::ios::trunc).flush();
    fs::resize_file(copy / "assets/mesh/cave.mesh", 100);
    fs::remove(copy / MusicPlayer::kSoundtrackPath);

    fs::current_path(copy);
    FrameClockMusicPlayer music;
    DemoAssets a;
    std::vector<std::string> unusable;
    captureStdout([&] {
        unusable = loadDemoAssets(a, 64, 36, music);
        releaseDemoAssets(a);
    });
    fs::current_path(home);
    fs::remove_all(copy);
    EXPECT_EQ(unusable,
              (std::vector<std::string>{"assets/stone.shader", "assets/moss.jpg",
                                        "assets/mesh/cave.mesh", MusicPlayer::kSoundtrackPath}));
}

// The completeness check has to hold in optimised builds too, where assert() is gone.
TEST(LoadPhaseDeathTest, IncompleteRenderTargetStopsWithTheAssertionReport) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            GlTestContext context(64, 36);
            gl.glCheckFramebufferStatus = [](GLenum) -> GLenum {
                return GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT;
            };
            FrameClockMusicPlayer music;
            DemoAssets a;
            loadDemoAssets(a, 64, 36, music);
        },
        "Assertion failed: glCheckFramebufferStatus\\(GL_FRAMEBUFFER\\) == "
        "GL_FRAMEBUFFER_COMPLETE, file main, line 301");
}
