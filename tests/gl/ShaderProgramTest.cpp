#include <memory>

#include "GlResourceTest.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"
#include "math/Matrix4.h"

namespace {

// Nine lines of shared text before the stages, so the line numbers below are easy to count.
const char* const kGoodShader =
    "// line 1\n"
    "uniform float brightness;\n"
    "uniform vec3 tint;\n"
    "uniform mat4 matrix;\n"
    "\n"
    "\n"
    "\n"
    "\n"
    "\n"
    "#ifdef vertexcompile\n"
    "layout(location = 0) in vec4 position;\n"
    "void main() { gl_Position = matrix * position; }\n"
    "#endif\n"
    "#ifdef fragmentcompile\n"
    "out vec4 color;\n"
    "void main() { color = vec4(tint * brightness, 1.0); }\n"
    "#endif\n";

std::string toCrlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

GLint linkStatus(GLuint program) {
    GLint linked = 0;
    gl.glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return linked;
}

class ShaderProgramTest : public GlResourceTest {};

TEST_F(ShaderProgramTest, BuildsAnnouncesItselfAndLooksUniformsUpByName) {
    std::string path = writeFile("good.shader", kGoodShader);
    beginCapture();
    ShaderProgram shader(path);
    EXPECT_EQ(endCapture(), "reloading " + path + "\n");
    EXPECT_EQ(shader.path, path);
    EXPECT_TRUE(linkStatus(shader.program));
    EXPECT_GE(shader.uniformLocation("brightness"), 0);
    EXPECT_EQ(shader.uniformLocation("notDeclared"), -1);

    shader.use();
    GLint current = 0;
    gl.glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), shader.program);

    Matrix4 m;
    for (int i = 0; i < 16; ++i) m.m[i] = static_cast<float>(i);
    shader.setFloat("brightness", 0.25f);
    shader.setFloat3("tint", 1.0f, 2.0f, 3.0f);
    shader.setMatrix("matrix", m);
    float value[16] = {};
    gl.glGetUniformfv(shader.program, shader.uniformLocation("brightness"), value);
    EXPECT_EQ(value[0], 0.25f);
    gl.glGetUniformfv(shader.program, shader.uniformLocation("tint"), value);
    EXPECT_EQ(value[2], 3.0f);
    gl.glGetUniformfv(shader.program, shader.uniformLocation("matrix"), value);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(value[i], m.m[i]) << i;  // untransposed
    gl.glUseProgram(0);
}

TEST_F(ShaderProgramTest, WindowsLineEndsCompileLikeUnixOnes) {
    std::string path = writeFile("crlf.shader", toCrlf(kGoodShader));
    beginCapture();
    ShaderProgram shader(path);
    EXPECT_EQ(endCapture(), "reloading " + path + "\n");
    EXPECT_TRUE(linkStatus(shader.program));
}

TEST_F(ShaderProgramTest, ErrorLinesAreTheFileLinePlusTwo) {
    std::string source = kGoodShader;
    std::size_t line10 = source.find("#ifdef vertexcompile");
    source.insert(line10, "this is not glsl;\n");
    // The error now stands on the file's line 10, for both stages.
    for (const std::string& text : {source, toCrlf(source)}) {
        std::string path = writeFile("bad.shader", text);
        beginCapture();
        ShaderProgram shader(path);
        std::string out = endCapture();
        EXPECT_NE(out.find("\n" + path + "(vertex):\n"), std::string::npos) << out;
        EXPECT_NE(out.find("0:12("), std::string::npos) << out;
        EXPECT_EQ(out.find("0:10("), std::string::npos) << out;
    }
}

TEST_F(ShaderProgramTest, FragmentOnlyFailurePrintsFragmentThenProgramBlock) {
    std::string source = kGoodShader;
    source.replace(source.find("color = vec4"), 5, "colour");
    std::string path = writeFile("fragbad.shader", source);
    beginCapture();
    ShaderProgram shader(path);
    std::string out = endCapture();
    std::size_t fragment = out.find("\n" + path + "(fragment):\n");
    std::size_t program = out.find("\n" + path + "(program):\n");
    EXPECT_EQ(out.rfind("reloading " + path + "\n", 0), 0u) << out;
    EXPECT_EQ(out.find("(vertex)"), std::string::npos) << out;
    ASSERT_NE(fragment, std::string::npos) << out;
    ASSERT_NE(program, std::string::npos) << out;
    EXPECT_LT(fragment, program);
    EXPECT_FALSE(linkStatus(shader.program));
}

TEST_F(ShaderProgramTest, AByteOrderMarkIsDroppedAndEveryLogEndsItsLine) {
    std::string path = writeFile("bom.shader", "\xEF\xBB\xBF" + toCrlf(kGoodShader));
    beginCapture();
    ShaderProgram shader(path);
    EXPECT_EQ(endCapture(), "reloading " + path + "\n");
    EXPECT_TRUE(linkStatus(shader.program));

    // Two vertex stages: only the link fails, and its log must not run into what follows.
    path = writeFile("nomain.shader", "#ifdef vertexcompile\nvoid main() {}\n#endif\n");
    beginCapture();
    ShaderProgram broken(path);
    const std::string out = endCapture();
    EXPECT_NE(out.find("\n" + path + "(program):\n"), std::string::npos) << out;
    EXPECT_EQ(out.back(), '\n') << out;
}

// Compiled as both stages, such a file links into a program that draws nothing.
TEST_F(ShaderProgramTest, FileWithNeitherSectionOrAFolderIsNamed) {
    std::string path =
        writeFile("nosection.shader", "out vec4 color;\nvoid main() { color = vec4(1.0); }\n");
    beginCapture();
    ShaderProgram shader(path);
    EXPECT_EQ(endCapture(), "reloading " + path + "\nShader file " + path +
                                " has neither a vertexcompile nor a fragmentcompile section: its "
                                "text is compiled as both stages\n");

    path = ::testing::TempDir();
    beginCapture();
    ShaderProgram folder(path);
    const std::string out = endCapture();
    EXPECT_EQ(out.rfind("reloading " + path + "\nCan't open shader file " + path +
                            "! (it is not a regular file)\n",
                        0),
              0u)
        << out;
}

TEST_F(ShaderProgramTest, RebuildLeavesNoProgramCurrentAndGivesNewNames) {
    std::string path = writeFile("rebuild.shader", kGoodShader);
    ShaderProgram shader(path);
    GLuint old = shader.program;
    shader.use();
    beginCapture();
    shader.build(ShaderProgram::Rebuild);
    EXPECT_EQ(endCapture(), "reloading " + path + "\n");
    GLint current = -1;
    gl.glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);
    EXPECT_NE(shader.program, old);
    EXPECT_FALSE(gl.glIsProgram(old));
    EXPECT_TRUE(linkStatus(shader.program));
    EXPECT_GE(shader.uniformLocation("tint"), 0);
}

TEST_F(ShaderProgramTest, DestructionReleasesTheObjectsSilently) {
    std::string path = writeFile("destroy.shader", kGoodShader);
    auto shader = std::make_unique<ShaderProgram>(path);
    GLuint program = shader->program;
    GLuint vertex = shader->vertexShader;
    beginCapture();
    shader.reset();
    EXPECT_EQ(endCapture(), "");
    EXPECT_FALSE(gl.glIsProgram(program));
    EXPECT_FALSE(gl.glIsShader(vertex));
}

TEST_F(ShaderProgramTest, ReleaseOnlyLeavesNamesThatDestructionDoesNotDeleteAgain) {
    std::string path = writeFile("release.shader", kGoodShader);
    auto released = std::make_unique<ShaderProgram>(path);
    GLuint program = released->program;
    beginCapture();
    released->build(ShaderProgram::ReleaseOnly);
    EXPECT_EQ(endCapture(), "reloading " + path + "\n");
    EXPECT_FALSE(gl.glIsProgram(program));
    EXPECT_EQ(released->program, program);  // the stale name stays in the field

    // The GL may hand the freed names to the next program; destroying the released one must not
    // delete them.
    ShaderProgram next(path);
    released.reset();
    EXPECT_TRUE(gl.glIsProgram(next.program));
    EXPECT_TRUE(gl.glIsShader(next.vertexShader));
    EXPECT_TRUE(gl.glIsShader(next.fragmentShader));
    EXPECT_TRUE(linkStatus(next.program));
}

TEST_F(ShaderProgramTest, MissingFileIsNamedAndBuildsFromEmptyText) {
    std::string path = tempPath("absent.shader");
    beginCapture();
    ShaderProgram shader(path);
    std::string out = endCapture();
    EXPECT_EQ(out.rfind("reloading " + path + "\nCan't open shader file " + path + "!\n", 0), 0u)
        << out;
    EXPECT_NE(out.find("(vertex):"), std::string::npos) << out;  // no main(): the logs say so
    EXPECT_FALSE(linkStatus(shader.program));
}

}  // namespace
