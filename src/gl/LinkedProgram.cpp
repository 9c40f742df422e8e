#include "gl/LinkedProgram.h"

#include "gl/GlEntryTable.h"

namespace {

constexpr int kLogSize = 1024;

std::string infoLog(GLuint object, bool program) {
    char log[kLogSize] = {};
    GLsizei length = 0;
    if (program)
        gl.glGetProgramInfoLog(object, kLogSize, &length, log);
    else
        gl.glGetShaderInfoLog(object, kLogSize, &length, log);
    return log;
}

bool compile(GLuint shader, const char* const texts[2], std::string& log) {
    gl.glShaderSource(shader, 2, texts, nullptr);
    gl.glCompileShader(shader);
    GLint ok = 0;
    gl.glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) log = infoLog(shader, false);
    return ok != 0;
}

}  // namespace

void LinkedProgram::deleteObjects() const {
    gl.glDeleteShader(vertexShader);
    gl.glDeleteShader(fragmentShader);
    gl.glDeleteProgram(program);
}

LinkedProgram compileAndLink(const char* const vertexTexts[2], const char* const fragmentTexts[2]) {
    LinkedProgram p;
    p.program = gl.glCreateProgram();
    p.vertexShader = gl.glCreateShader(GL_VERTEX_SHADER);
    p.fragmentShader = gl.glCreateShader(GL_FRAGMENT_SHADER);
    p.vertexCompiled = compile(p.vertexShader, vertexTexts, p.vertexLog);
    p.fragmentCompiled = compile(p.fragmentShader, fragmentTexts, p.fragmentLog);
    gl.glAttachShader(p.program, p.vertexShader);
    gl.glAttachShader(p.program, p.fragmentShader);
    gl.glLinkProgram(p.program);
    GLint linked = 0;
    gl.glGetProgramiv(p.program, GL_LINK_STATUS, &linked);
    p.linked = linked != 0;
    if (!p.linked) p.programLog = infoLog(p.program, true);
    return p;
}
