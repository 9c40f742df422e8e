#include "app/dev/UniformValues.h"

#include "gl/GlEntryTable.h"

namespace {

// Float components of a float type, 0 for the integer ones (int, bool, samplers).
int floatCount(GLenum type) {
    switch (type) {
        case GL_FLOAT: return 1;
        case GL_FLOAT_VEC2: return 2;
        case GL_FLOAT_VEC3: return 3;
        case GL_FLOAT_VEC4: return 4;
        case GL_FLOAT_MAT2: return 4;
        case GL_FLOAT_MAT3: return 9;
        case GL_FLOAT_MAT4: return 16;
        default: return 0;
    }
}

int intCount(GLenum type) {
    switch (type) {
        case GL_INT_VEC2:
        case GL_BOOL_VEC2: return 2;
        case GL_INT_VEC3:
        case GL_BOOL_VEC3: return 3;
        case GL_INT_VEC4:
        case GL_BOOL_VEC4: return 4;
        default: return 1;
    }
}

}  // namespace

void UniformValues::readFrom(GLuint program) {
    GLint count = 0;
    gl.glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint u = 0; u < count; ++u) {
        char name[256] = {};
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        gl.glGetActiveUniform(program, static_cast<GLuint>(u), sizeof name, &length, &size, &type,
                              name);
        std::string base(name, static_cast<std::size_t>(length));
        if (base.size() > 3 && base.compare(base.size() - 3, 3, "[0]") == 0)
            base.resize(base.size() - 3);
        for (GLint element = 0; element < size; ++element) {
            const std::string n = size > 1 ? base + "[" + std::to_string(element) + "]" : base;
            const GLint location = gl.glGetUniformLocation(program, n.c_str());
            if (location < 0) continue;  // a uniform block member
            Value value;
            value.type = type;
            if (const int floats = floatCount(type)) {
                value.floats.resize(16);
                gl.glGetUniformfv(program, location, value.floats.data());
                value.floats.resize(static_cast<std::size_t>(floats));
            } else {
                value.ints.resize(4);
                gl.glGetUniformiv(program, location, value.ints.data());
                value.ints.resize(static_cast<std::size_t>(intCount(type)));
            }
            values_[n] = value;
        }
    }
}

void UniformValues::applyTo(GLuint program) const {
    for (const auto& entry : values_) {
        const GLint location = gl.glGetUniformLocation(program, entry.first.c_str());
        if (location < 0) continue;
        const Value& v = entry.second;
        const GLfloat* f = v.floats.data();
        const GLint* i = v.ints.data();
        switch (v.type) {
            case GL_FLOAT: gl.glUniform1fv(location, 1, f); break;
            case GL_FLOAT_VEC2: gl.glUniform2fv(location, 1, f); break;
            case GL_FLOAT_VEC3: gl.glUniform3fv(location, 1, f); break;
            case GL_FLOAT_VEC4: gl.glUniform4fv(location, 1, f); break;
            case GL_FLOAT_MAT2: gl.glUniformMatrix2fv(location, 1, GL_FALSE, f); break;
            case GL_FLOAT_MAT3: gl.glUniformMatrix3fv(location, 1, GL_FALSE, f); break;
            case GL_FLOAT_MAT4: gl.glUniformMatrix4fv(location, 1, GL_FALSE, f); break;
            case GL_INT_VEC2:
            case GL_BOOL_VEC2: gl.glUniform2iv(location, 1, i); break;
            case GL_INT_VEC3:
            case GL_BOOL_VEC3: gl.glUniform3iv(location, 1, i); break;
            case GL_INT_VEC4:
            case GL_BOOL_VEC4: gl.glUniform4iv(location, 1, i); break;
            default: gl.glUniform1iv(location, 1, i); break;  // int, bool, samplers
        }
    }
}
