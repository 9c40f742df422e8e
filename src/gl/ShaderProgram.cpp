#include "gl/ShaderProgram.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "geometry/AssetFile.h"
#include "gl/GlEntryTable.h"
#include "gl/LinkedProgram.h"
#include "gl/ShaderVersion.h"
#include "math/Matrix4.h"

namespace {

const std::string kVertexPrefix = std::string(kShaderVersion) + "#define vertexcompile\n";
const std::string kFragmentPrefix = std::string(kShaderVersion) + "#define fragmentcompile\n";

// Reads the file with the assets' cap and turns CRLF into LF the way a text-mode read does on
// Windows, so both line-end styles compile alike. A UTF-8 byte-order mark (editors on Windows
// write one) is dropped: the GLSL compiler takes it for a stray character. A file that cannot be
// opened or is refused (a folder, a FIFO, a device) is reported and read as empty text: the
// compile logs then say what is missing.
char* readSource(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::string why;
    if (!readAssetFile(path, bytes, why)) {
        if (why.empty())
            std::printf("Can't open shader file %s!\n", path.c_str());
        else
            std::printf("Can't open shader file %s! (%s)\n", path.c_str(), why.c_str());
        char* empty = static_cast<char*>(std::malloc(1));
        empty[0] = '\0';
        return empty;
    }
    const std::size_t read = bytes.size();
    char* text = static_cast<char*>(std::malloc(read + 1));
    if (read > 0) std::memcpy(text, bytes.data(), read);
    std::size_t start = 0;
    if (read >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) start = 3;
    std::size_t out = 0;
    for (std::size_t i = start; i < read; ++i) {
        if (text[i] == '\r' && i + 1 < read && text[i + 1] == '\n') continue;
        text[out++] = text[i];
    }
    text[out] = '\0';
    if (out > 0 && !std::strstr(text, "vertexcompile") && !std::strstr(text, "fragmentcompile"))
        std::printf(
            "Shader file %s has neither a vertexcompile nor a fragmentcompile section: "
            "its text is compiled as both stages\n",
            path.c_str());
    return text;
}

// Info logs normally end with a line break; one that does not would run into the next line.
void printLog(const std::string& path, const char* stage, const char* log) {
    const std::size_t length = std::strlen(log);
    std::printf("\n%s(%s):\n%s%s", path.c_str(), stage, log,
                length > 0 && log[length - 1] != '\n' ? "\n" : "");
}

// The file behind each stage's prefix, compiled and linked.
LinkedProgram compileFile(const std::string& path) {
    char* source = readSource(path);
    const char* vertexTexts[2] = {kVertexPrefix.c_str(), source};
    const char* fragmentTexts[2] = {kFragmentPrefix.c_str(), source};
    LinkedProgram linked = compileAndLink(vertexTexts, fragmentTexts);
    std::free(source);
    return linked;
}

}  // namespace

ShaderProgram::ShaderProgram(std::string path) : path(std::move(path)) {
    build(FirstBuild);
}

ShaderProgram::~ShaderProgram() {
    releaseObjects();
}

void ShaderProgram::releaseObjects() {
    if (released_) return;
    gl.glUseProgram(0);
    gl.glDetachShader(program, vertexShader);
    gl.glDetachShader(program, fragmentShader);
    gl.glDeleteShader(vertexShader);
    gl.glDeleteShader(fragmentShader);
    gl.glDeleteProgram(program);
}

void ShaderProgram::build(int mode) {
    std::printf("reloading %s\n", path.c_str());
    if (mode != FirstBuild) releaseObjects();
    if (mode >= ReleaseOnly) {
        released_ = true;
        return;
    }
    released_ = false;

    const LinkedProgram built = compileFile(path);
    program = built.program;
    vertexShader = built.vertexShader;
    fragmentShader = built.fragmentShader;
    if (!built.vertexCompiled) printLog(path, "vertex", built.vertexLog.c_str());
    if (!built.fragmentCompiled) printLog(path, "fragment", built.fragmentLog.c_str());
    if (!built.linked) printLog(path, "program", built.programLog.c_str());
}

GLint ShaderProgram::uniformLocation(std::string name) const {
    return gl.glGetUniformLocation(program, name.c_str());
}

void ShaderProgram::use() const {
    gl.glUseProgram(program);
}

void ShaderProgram::setFloat(const char* name, float v) const {
    gl.glUniform1f(gl.glGetUniformLocation(program, name), v);
}

void ShaderProgram::setFloat2(const char* name, float x, float y) const {
    gl.glUniform2f(gl.glGetUniformLocation(program, name), x, y);
}

void ShaderProgram::setFloat3(const char* name, float x, float y, float z) const {
    gl.glUniform3f(gl.glGetUniformLocation(program, name), x, y, z);
}

void ShaderProgram::setFloat4(const char* name, float x, float y, float z, float w) const {
    gl.glUniform4f(gl.glGetUniformLocation(program, name), x, y, z, w);
}

void ShaderProgram::setInt(const char* name, int v) const {
    gl.glUniform1i(gl.glGetUniformLocation(program, name), v);
}

void ShaderProgram::setMatrix(const char* name, const Matrix4& m) const {
    gl.glUniformMatrix4fv(gl.glGetUniformLocation(program, name), 1, GL_FALSE, m.m);
}

bool ShaderProgram::rebuildKeepingOld(std::string& log) {
    log.clear();
    const LinkedProgram next = compileFile(path);
    if (!next.vertexCompiled) log += path + "(vertex):\n" + next.vertexLog;
    if (!next.fragmentCompiled) log += path + "(fragment):\n" + next.fragmentLog;
    if (next.vertexCompiled && next.fragmentCompiled && !next.linked)
        log += path + "(program):\n" + next.programLog;
    if (!next.linked) {
        next.deleteObjects();
        return false;
    }
    releaseObjects();
    released_ = false;
    program = next.program;
    vertexShader = next.vertexShader;
    fragmentShader = next.fragmentShader;
    gl.glUseProgram(program);
    return true;
}
