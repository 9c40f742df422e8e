#include "gl/InlineProgram.h"

#include "gl/GlEntryTable.h"

namespace {

GLuint compile(GLenum stage, const char* source, std::string& log) {
    const GLuint shader = gl.glCreateShader(stage);
    gl.glShaderSource(shader, 1, &source, nullptr);
    gl.glCompileShader(shader);
    GLint ok = 0;
    gl.glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char text[1024] = {};
        gl.glGetShaderInfoLog(shader, sizeof text, nullptr, text);
        log += text;
    }
    return shader;
}

}  // namespace

GLuint linkInlineProgram(const char* vertexSource, const char* fragmentSource, std::string& log) {
    log.clear();
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertexSource, log);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentSource, log);
    GLuint program = gl.glCreateProgram();
    gl.glAttachShader(program, vertex);
    gl.glAttachShader(program, fragment);
    gl.glLinkProgram(program);
    gl.glDeleteShader(vertex);
    gl.glDeleteShader(fragment);
    GLint linked = 0;
    gl.glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        char text[1024] = {};
        gl.glGetProgramInfoLog(program, sizeof text, nullptr, text);
        log += text;
        gl.glDeleteProgram(program);
        program = 0;
    }
    return program;
}
