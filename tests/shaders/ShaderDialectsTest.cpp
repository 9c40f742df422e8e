// The shader files are shared by the desktop (GLSL 3.30 core) and the browser (GLSL ES 3.00 on
// WebGL 2): each must compile and link in both, behind the version lines the program itself puts
// before them. The desktop dialect goes through the real driver; ES through the real driver as
// well (Mesa takes ES sources in a core context) and through glslangValidator, the reference
// compiler, which is stricter than any one driver about what ES allows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gl/GlEntryTable.h"
#include "gl/ShaderVersion.h"
#include "support/GlTestContext.h"

namespace {

namespace fs = std::filesystem;

struct ShaderFile {
    std::string path;
    std::string text;
};

std::vector<ShaderFile> shaderFiles() {
    std::vector<ShaderFile> files;
    for (const fs::directory_entry& entry : fs::directory_iterator("assets")) {
        if (entry.path().extension() != ".shader") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        files.push_back({entry.path().string(), text.str()});
    }
    std::sort(files.begin(), files.end(),
              [](const ShaderFile& a, const ShaderFile& b) { return a.path < b.path; });
    return files;
}

std::string stageSource(const char* version, bool vertex, const std::string& text) {
    return std::string(version) +
           (vertex ? "#define vertexcompile\n" : "#define fragmentcompile\n") + text;
}

// Compiles and links both stages with the driver; returns the logs of what failed, or "".
std::string driverBuild(const char* version, const std::string& text) {
    std::string problems;
    GLuint program = gl.glCreateProgram();
    for (bool vertex : {true, false}) {
        const std::string source = stageSource(version, vertex, text);
        const char* sources[1] = {source.c_str()};
        GLuint shader = gl.glCreateShader(vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
        gl.glShaderSource(shader, 1, sources, nullptr);
        gl.glCompileShader(shader);
        GLint ok = 0;
        gl.glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (!ok) {
            char log[2048] = {};
            gl.glGetShaderInfoLog(shader, sizeof log, nullptr, log);
            problems += std::string(vertex ? "vertex: " : "fragment: ") + log;
        }
        gl.glAttachShader(program, shader);
        gl.glDeleteShader(shader);
    }
    if (problems.empty()) {
        gl.glLinkProgram(program);
        GLint linked = 0;
        gl.glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) {
            char log[2048] = {};
            gl.glGetProgramInfoLog(program, sizeof log, nullptr, log);
            problems += std::string("link: ") + log;
        }
    }
    gl.glDeleteProgram(program);
    return problems;
}

class ShaderDialectsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static GlTestContext* context = new GlTestContext(16, 16);
        ASSERT_TRUE(context->ok());
    }
};

TEST_F(ShaderDialectsTest, EveryFileBuildsAsDesktopGlslOnTheDriver) {
    const std::vector<ShaderFile> files = shaderFiles();
    ASSERT_GE(files.size(), 20u) << "the demo's shader files are missing from assets/";
    for (const ShaderFile& file : files)
        EXPECT_EQ(driverBuild(kDesktopShaderVersion, file.text), "") << file.path;
}

TEST_F(ShaderDialectsTest, EveryFileBuildsAsGlslEsOnTheDriver) {
    // Mesa takes ES sources in a core context (ARB_ES3_compatibility); other drivers may not.
    const bool es3 =
        driverBuild(kWebShaderVersion, "out vec4 c;\nvoid main() { c = vec4(1.0); }\n") != ""
            ? false
            : true;
    if (!es3) GTEST_SKIP() << "this driver takes no GLSL ES sources in a desktop context";
    for (const ShaderFile& file : shaderFiles())
        EXPECT_EQ(driverBuild(kWebShaderVersion, file.text), "") << file.path;
}

TEST_F(ShaderDialectsTest, EveryFileBuildsAsGlslEsUnderTheReferenceCompiler) {
    if (std::system("glslangValidator --version >/dev/null 2>&1") != 0)
        GTEST_SKIP()
            << "glslangValidator is missing (Debian's glslang-tools; scripts/install-deps)";
    const fs::path dir =
        fs::path(::testing::TempDir()) / ("velmora_dialects_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    for (const ShaderFile& file : shaderFiles()) {
        const std::string name = fs::path(file.path).stem().string();
        const fs::path vertex = dir / (name + ".vert"), fragment = dir / (name + ".frag");
        std::ofstream(vertex, std::ios::binary) << stageSource(kWebShaderVersion, true, file.text);
        std::ofstream(fragment, std::ios::binary)
            << stageSource(kWebShaderVersion, false, file.text);
        // -l links the two stages, so mismatched interfaces between them fail too.
        const std::string command =
            "glslangValidator -l '" + vertex.string() + "' '" + fragment.string() + "' 2>&1";
        std::string output;
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
        EXPECT_EQ(pclose(pipe), 0) << file.path << ":\n" << output;
    }
    fs::remove_all(dir);
}

}  // namespace
