#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "DevModeGlTest.h"
#include "app/dev/AssetReloader.h"
#include "app/dev/AssetWatcher.h"
#include "demo/DemoAssets.h"
#include "geometry/MeshFile.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/TestImages.h"

namespace {

const char* const kColourShader =
    "uniform vec4 colour;\n"
    "#ifdef vertexcompile\n"
    "layout(location = 0) in vec2 corner;\n"
    "void main() { gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0); }\n"
    "#endif\n"
    "#ifdef fragmentcompile\n"
    "out vec4 fragColor;\n"
    "void main() { fragColor = colour; }\n"
    "#endif\n";
const char* const kGreenShader =
    "#ifdef vertexcompile\n"
    "layout(location = 0) in vec2 corner;\n"
    "void main() { gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0); }\n"
    "#endif\n"
    "#ifdef fragmentcompile\n"
    "out vec4 fragColor;\n"
    "void main() { fragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n"
    "#endif\n";
const char* const kBrokenShader = "#ifdef fragmentcompile\nthis is not GLSL;\n#endif\n";

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void copyFile(const std::string& from, const std::string& to) {
    writeText(to, readText(from));
}

// A scratch folder holding an assets/ (and assets/mesh/) folder, made the working directory
// for the test, as the reloader names files relative to it.
class ScratchAssets {
public:
    ScratchAssets() {
        char cwd[4096];
        original_ = getcwd(cwd, sizeof cwd);
        root_ = ::testing::TempDir() + "velmora_hotreload_" + std::to_string(getpid());
        std::system(("rm -rf '" + root_ + "' && mkdir -p '" + root_ + "/assets/mesh'").c_str());
        copyFile("assets/introparticle.png", root_ + "/assets/rec.png");
        writeText(root_ + "/assets/solidcolor.shader", kColourShader);
        EXPECT_EQ(chdir(root_.c_str()), 0);
    }
    ~ScratchAssets() {
        EXPECT_EQ(chdir(original_.c_str()), 0);
        std::system(("rm -rf '" + root_ + "'").c_str());
    }
    // A file of the repository, read while the scratch folder is the working directory.
    std::string repository(const std::string& path) const { return original_ + "/" + path; }

private:
    std::string original_, root_;
};

// The colour of the middle pixel after drawing a full-screen quad with `program`.
std::vector<int> drawnColour(GLuint program) {
    GeometryBuffer quad;
    static const float kCorners[8] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f};
    static const std::uint32_t kIndices[6] = {0, 1, 2, 2, 3, 0};
    quad.setAttribute(0, 2, 4, kCorners);
    quad.setIndices(6, kIndices);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.glDisable(GL_DEPTH_TEST);
    gl.glUseProgram(program);
    quad.draw(6);
    std::uint8_t pixel[4] = {};
    gl.glReadPixels(20, 20, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0], pixel[1], pixel[2]};
}

class HotReloadTest : public DevModeGlTest {};

TEST_F(HotReloadTest, AFailedRebuildKeepsTheOldProgramAndASuccessfulOneReplacesIt) {
    ScratchAssets scratch;
    ShaderProgram program("assets/solidcolor.shader");
    program.use();
    program.setFloat4("colour", 1.0f, 0.0f, 0.0f, 1.0f);
    const GLuint first = program.program;
    ASSERT_EQ(drawnColour(program.program), (std::vector<int>{255, 0, 0}));

    writeText("assets/solidcolor.shader", kBrokenShader);
    std::string log;
    EXPECT_FALSE(program.rebuildKeepingOld(log));
    EXPECT_NE(log.find("assets/solidcolor.shader(fragment):\n"), std::string::npos) << log;
    EXPECT_GT(log.size(), std::string("assets/solidcolor.shader(fragment):\n").size());
    EXPECT_EQ(program.program, first);
    EXPECT_EQ(drawnColour(program.program), (std::vector<int>{255, 0, 0}));

    writeText("assets/solidcolor.shader", kGreenShader);
    EXPECT_TRUE(program.rebuildKeepingOld(log));
    EXPECT_EQ(log, "");
    EXPECT_NE(program.program, first);
    EXPECT_FALSE(gl.glIsProgram(first));
    EXPECT_EQ(drawnColour(program.program), (std::vector<int>{0, 255, 0}));
}

TEST_F(HotReloadTest, ReloadedProgramsGetTheUniformsEarlierVersionsHadEvenAcrossOneWithout) {
    ScratchAssets scratch;
    DemoAssets assets;
    assets.solidColorShader = std::make_unique<ShaderProgram>("assets/solidcolor.shader");
    assets.solidColorShader->use();
    assets.solidColorShader->setFloat4("colour", 0.0f, 0.0f, 1.0f, 1.0f);  // set once, at load
    AssetReloader reloader(assets);

    writeText("assets/solidcolor.shader", kGreenShader);  // has no "colour"
    AssetReloader::Result result = reloader.reload("assets/solidcolor.shader");
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(std::regex_match(result.line,
                                 std::regex("reloaded assets/solidcolor\\.shader in [0-9]+ ms")))
        << result.line;
    EXPECT_EQ(drawnColour(assets.solidColorShader->program), (std::vector<int>{0, 255, 0}));

    writeText("assets/solidcolor.shader", kColourShader);
    EXPECT_TRUE(reloader.reload("assets/solidcolor.shader").ok);
    EXPECT_EQ(drawnColour(assets.solidColorShader->program), (std::vector<int>{0, 0, 255}));

    writeText("assets/solidcolor.shader", kBrokenShader);
    result = reloader.reload("assets/solidcolor.shader");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.line, "assets/solidcolor.shader does not build; the old program stays:");
    EXPECT_NE(result.log.find("(fragment):"), std::string::npos);
    EXPECT_EQ(drawnColour(assets.solidColorShader->program), (std::vector<int>{0, 0, 255}));
}

TEST_F(HotReloadTest, ImagesGoIntoTheSameTextureAndMeshesThroughTheLoader) {
    ScratchAssets scratch;
    DemoAssets assets;
    assets.recTexture = Texture2D::fromImage("assets/rec.png", GL_LINEAR);
    const GLuint id = assets.recTexture->id;
    ASSERT_EQ(assets.recTexture->width, 64);
    AssetReloader reloader(assets);

    copyFile(scratch.repository("assets/rec.png"), "assets/rec.png");  // 256 x 128
    gl.glActiveTexture(GL_TEXTURE2);
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    AssetReloader::Result result = reloader.reload("assets/rec.png");
    EXPECT_TRUE(result.ok) << result.line;
    EXPECT_EQ(assets.recTexture->id, id);
    EXPECT_EQ(assets.recTexture->width, 256);
    EXPECT_EQ(assets.recTexture->height, 128);
    GLint active = 0, bound = -1;
    gl.glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    gl.glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(active, GL_TEXTURE2);
    EXPECT_EQ(bound, 0);
    gl.glActiveTexture(GL_TEXTURE0);

    writeText("assets/rec.png", "not a picture");
    result = reloader.reload("assets/rec.png");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.line,
              "Unable to load texture assets/rec.png: it is neither a PNG nor a JPEG file; the "
              "old image stays");
    EXPECT_EQ(assets.recTexture->width, 256);

    MeshData triangle;
    triangle.positions = {0, 0, 0, 1, 1, 0, 0, 1, 0, 1, 0, 1};
    triangle.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    triangle.indices = {0, 1, 2};
    const std::vector<std::uint8_t> bytes = encodeMeshFile(triangle);
    writeText("assets/mesh/cave.mesh", std::string(bytes.begin(), bytes.end()));
    beginCapture();
    EXPECT_TRUE(reloader.reload("assets/mesh/cave.mesh").ok);
    EXPECT_EQ(endCapture(), "");  // the caller prints the one line
    EXPECT_EQ(assets.caveMesh.indexCount, 3);
    writeText("assets/mesh/cave.mesh", "2,1 truncated");
    result = reloader.reload("assets/mesh/cave.mesh");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.line.rfind("assets/mesh/cave.mesh is not a usable mesh (", 0), 0u)
        << result.line;
    EXPECT_EQ(assets.caveMesh.indexCount, 3);
    std::remove("assets/mesh/cave.mesh");
    EXPECT_FALSE(reloader.reload("assets/mesh/cave.mesh").ok);
    EXPECT_EQ(assets.caveMesh.indexCount, 3);

    EXPECT_FALSE(reloader.reload("assets/tunevox_11.mp3").ok);
}

// What the load phase refuses is refused on reload too, with its line, and a special file saved
// over an asset neither blocks the reload (a FIFO) nor reads forever (/dev/zero): the demo's
// window, and Escape, keep working. These used to freeze, or to say "reloaded".
TEST_F(HotReloadTest, FilesTheLoadPhaseRefusesAreRefusedOnReload) {
    ScratchAssets scratch;
    DemoAssets assets;
    assets.solidColorShader = std::make_unique<ShaderProgram>("assets/solidcolor.shader");
    assets.recTexture = Texture2D::fromImage("assets/rec.png", GL_LINEAR);
    AssetReloader reloader(assets);

    ASSERT_EQ(mkfifo("assets/saved", 0600), 0);
    ASSERT_EQ(std::rename("assets/saved", "assets/solidcolor.shader"), 0);
    beginCapture();
    EXPECT_FALSE(reloader.reload("assets/solidcolor.shader").ok);
    EXPECT_NE(endCapture().find("assets/solidcolor.shader! (it is not a regular file)"),
              std::string::npos);

    ASSERT_TRUE(
        writeTestPng("assets/rec.png", 20000, 1, std::vector<std::uint8_t>(20000 * 4, 255)));
    AssetReloader::Result result = reloader.reload("assets/rec.png");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.line.rfind("Unable to load texture assets/rec.png: it is 20000x1, larger", 0),
              0u)
        << result.line;
    EXPECT_EQ(assets.recTexture->width, 64);

    ASSERT_EQ(symlink("/dev/zero", "assets/mesh/cave.mesh"), 0);
    result = reloader.reload("assets/mesh/cave.mesh");
    EXPECT_EQ(result.line,
              "assets/mesh/cave.mesh is not a usable mesh (it is not a regular file); the old "
              "one stays");
    std::remove("assets/mesh/cave.mesh");
    writeText("assets/mesh/cave.mesh", "");
    EXPECT_EQ(reloader.reload("assets/mesh/cave.mesh").line,
              "assets/mesh/cave.mesh is not a usable mesh (the file is empty); the old one stays");
}

// The reloader watches every file of the asset manifest but the soundtrack, each once.
TEST(AssetReloaderTable, NamesEveryFileTheLoadPhaseReads) {
    const std::vector<std::string> paths = AssetReloader::paths();
    const std::set<std::string> table(paths.begin(), paths.end());
    EXPECT_EQ(table.size(), paths.size()) << "a file named twice";
    std::set<std::string> loaded;
    for (const AssetRow& row : kAssetManifest)
        if (row.kind != AssetKind::Music) loaded.insert(row.path);
    EXPECT_EQ(table, loaded);
    EXPECT_EQ(loaded.count(MusicPlayer::kSoundtrackPath), 0u);
}

TEST(AssetWatcher, ReportsWrittenReplacedAndNewWatchedFilesOnceComplete) {
    const std::string dir = ::testing::TempDir() + "velmora_watch_" + std::to_string(getpid());
    std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
    const std::string a = dir + "/a.shader", b = dir + "/b.png";
    writeText(a, "1");
    writeText(b, "1");
    AssetWatcher watcher({a, b});
    ASSERT_TRUE(watcher.ok());
    EXPECT_TRUE(watcher.changed().empty());

    writeText(a, "2");
    writeText(a, "3");
    EXPECT_EQ(watcher.changed(), std::vector<std::string>{a});
    EXPECT_TRUE(watcher.changed().empty());

    writeText(dir + "/b.png.tmp", "2");  // saved aside, then renamed over, as editors do
    ASSERT_EQ(std::rename((dir + "/b.png.tmp").c_str(), b.c_str()), 0);
    writeText(dir + "/unwatched.txt", "x");
    EXPECT_EQ(watcher.changed(), std::vector<std::string>{b});

    // Deleted and written anew: once, when the writer has closed it, not half written before.
    std::remove(a.c_str());
    {
        std::ofstream writer(a, std::ios::binary);
        writer << "4" << std::flush;
        EXPECT_TRUE(watcher.changed().empty());
    }
    EXPECT_EQ(watcher.changed(), std::vector<std::string>{a});
    EXPECT_TRUE(watcher.changed().empty());
    std::system(("rm -rf '" + dir + "'").c_str());
}

// Moving assets/ away and copying a new one in used to stop every reload without a word: the
// watch followed the old folder.
TEST(AssetWatcher, AFolderReplacedByAnotherIsWatchedAnew) {
    const std::string dir = ::testing::TempDir() + "velmora_swap_" + std::to_string(getpid());
    std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "/assets'").c_str());
    const std::string a = dir + "/assets/a.shader";
    writeText(a, "1");
    AssetWatcher watcher({a});
    ASSERT_TRUE(watcher.changed().empty());

    ASSERT_EQ(std::rename((dir + "/assets").c_str(), (dir + "/old").c_str()), 0);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(watcher.changed().empty());
    EXPECT_TRUE(watcher.changed().empty());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              dir + "/assets/ is gone: reloads resume when it is back\n");

    std::system(("cp -r '" + dir + "/old' '" + dir + "/assets'").c_str());
    EXPECT_EQ(watcher.changed(), std::vector<std::string>{a});  // all of the new folder
    writeText(a, "2");
    EXPECT_EQ(watcher.changed(), std::vector<std::string>{a});
    writeText(dir + "/old/a.shader", "3");  // the folder moved away no longer counts
    EXPECT_TRUE(watcher.changed().empty());
    std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
