#include "support/GlCallRecorder.h"

#include <cstdio>
#include <stdexcept>

namespace {
GlCallRecorder* active = nullptr;
}

// The wrappers: plain functions in the table's slots, forwarding to the saved driver entries.
struct GlRecorderHooks {
    static GlCallRecorder& r() { return *active; }
    static const GlEntryTable& real() { return active->saved_; }

    static void APIENTRY useProgram(GLuint program) {
        r().program_ = program;
        r().record("glUseProgram", {double(program)});
        real().glUseProgram(program);
    }
    static GLint APIENTRY getUniformLocation(GLuint program, const GLchar* name) {
        const GLint location = real().glGetUniformLocation(program, name);
        r().lastLookupName_ = name;
        r().lastLookupLocation_ = location;
        if (location >= 0) r().names_[{program, location}] = name;
        return location;
    }
    static void setUniform(const char* function, GLint location, std::vector<double> values) {
        const std::string name = r().uniformName(location);
        r().uniformState_[r().program_][name] = values;
        r().record(function, std::move(values), name);
    }
    static void APIENTRY uniform1f(GLint location, GLfloat v) {
        setUniform("glUniform1f", location, {v});
        real().glUniform1f(location, v);
    }
    static void APIENTRY uniform2f(GLint location, GLfloat x, GLfloat y) {
        setUniform("glUniform2f", location, {x, y});
        real().glUniform2f(location, x, y);
    }
    static void APIENTRY uniform3f(GLint location, GLfloat x, GLfloat y, GLfloat z) {
        setUniform("glUniform3f", location, {x, y, z});
        real().glUniform3f(location, x, y, z);
    }
    static void APIENTRY uniform4f(GLint location, GLfloat x, GLfloat y, GLfloat z, GLfloat w) {
        setUniform("glUniform4f", location, {x, y, z, w});
        real().glUniform4f(location, x, y, z, w);
    }
    static void APIENTRY uniform1i(GLint location, GLint v) {
        setUniform("glUniform1i", location, {double(v)});
        real().glUniform1i(location, v);
    }
    static void APIENTRY uniformMatrix4fv(GLint location, GLsizei count, GLboolean transpose,
                                          const GLfloat* m) {
        std::vector<double> values(m, m + 16 * count);
        setUniform("glUniformMatrix4fv", location, values);
        if (transpose || count != 1) r().record("glUniformMatrix4fv (unexpected form)", {});
        real().glUniformMatrix4fv(location, count, transpose, m);
    }
    static void APIENTRY activeTexture(GLenum unit) {
        r().activeUnit_ = int(unit - GL_TEXTURE0);
        r().record("glActiveTexture", {double(unit - GL_TEXTURE0)});
        real().glActiveTexture(unit);
    }
    static void APIENTRY bindTexture(GLenum target, GLuint texture) {
        const int unit = r().activeUnit_;
        if (target == GL_TEXTURE_2D && unit >= 0 && unit < GlCallRecorder::kUnits)
            r().textures_[unit] = texture;
        r().record("glBindTexture", {double(target), double(texture)});
        real().glBindTexture(target, texture);
    }
    static void setCapability(GLenum cap, bool on) {
        if (cap == GL_DEPTH_TEST) r().depthTest_ = on;
        if (cap == GL_BLEND) r().blend_ = on;
    }
    static void APIENTRY enable(GLenum cap) {
        setCapability(cap, true);
        r().record("glEnable", {double(cap)});
        real().glEnable(cap);
    }
    static void APIENTRY disable(GLenum cap) {
        setCapability(cap, false);
        r().record("glDisable", {double(cap)});
        real().glDisable(cap);
    }
    static void APIENTRY bindVertexArray(GLuint array) {
        r().vertexArray_ = array;
        real().glBindVertexArray(array);
    }
    static void APIENTRY drawElements(GLenum mode, GLsizei count, GLenum type, const void* offset) {
        r().record("glDrawElements", {double(count), double(mode), double(type)});
        r().drawn(true, count);
        real().glDrawElements(mode, count, type, offset);
    }
    static void APIENTRY drawArrays(GLenum mode, GLint first, GLsizei count) {
        r().record("glDrawArrays", {double(count), double(mode), double(first)});
        r().drawn(false, count);
        real().glDrawArrays(mode, first, count);
    }
    static void APIENTRY clearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
        r().record("glClearColor", {red, green, blue, alpha});
        real().glClearColor(red, green, blue, alpha);
    }
    static void APIENTRY pointSize(GLfloat size) {
        r().record("glPointSize", {size});
        real().glPointSize(size);
    }
};

std::vector<double> GlCallRecorder::Draw::uniform(const std::string& name) const {
    auto it = uniforms.find(name);
    return it == uniforms.end() ? std::vector<double>{} : it->second;
}

GlCallRecorder::GlCallRecorder() : saved_(gl) {
    if (active) throw std::logic_error("one GlCallRecorder at a time");
    active = this;

    // Start from the driver's state, so that draws report it even before any change.
    GLint value = 0;
    gl.glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    program_ = GLuint(value);
    gl.glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &value);
    vertexArray_ = GLuint(value);
    gl.glGetIntegerv(GL_DEPTH_TEST, &value);
    depthTest_ = value != 0;
    gl.glGetIntegerv(GL_BLEND, &value);
    blend_ = value != 0;
    gl.glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
    activeUnit_ = value - GL_TEXTURE0;
    for (int unit = 0; unit < kUnits; ++unit) {
        gl.glActiveTexture(GL_TEXTURE0 + unit);
        gl.glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
        textures_[unit] = GLuint(value);
    }
    gl.glActiveTexture(GL_TEXTURE0 + activeUnit_);

    using H = GlRecorderHooks;
    gl.glUseProgram = H::useProgram;
    gl.glGetUniformLocation = H::getUniformLocation;
    gl.glUniform1f = H::uniform1f;
    gl.glUniform2f = H::uniform2f;
    gl.glUniform3f = H::uniform3f;
    gl.glUniform4f = H::uniform4f;
    gl.glUniform1i = H::uniform1i;
    gl.glUniformMatrix4fv = H::uniformMatrix4fv;
    gl.glActiveTexture = H::activeTexture;
    gl.glBindTexture = H::bindTexture;
    gl.glEnable = H::enable;
    gl.glDisable = H::disable;
    gl.glBindVertexArray = H::bindVertexArray;
    gl.glDrawElements = H::drawElements;
    gl.glDrawArrays = H::drawArrays;
    gl.glClearColor = H::clearColor;
    gl.glPointSize = H::pointSize;
}

GlCallRecorder::~GlCallRecorder() {
    stop();
}

void GlCallRecorder::stop() {
    if (!recording_) return;
    gl = saved_;
    active = nullptr;
    recording_ = false;
}

void GlCallRecorder::record(const char* function, std::vector<double> args, std::string uniform) {
    calls_.push_back({function, std::move(uniform), std::move(args)});
}

// The scenes look a location up right before each setting; a location of -1 (a uniform the
// program does not use) can only be named that way.
std::string GlCallRecorder::uniformName(GLint location) const {
    if (location == lastLookupLocation_) return lastLookupName_;
    auto it = names_.find({program_, location});
    return it == names_.end() ? "?" : it->second;
}

void GlCallRecorder::drawn(bool indexed, int count) {
    Draw d;
    d.program = program_;
    d.vertexArray = vertexArray_;
    d.indexed = indexed;
    d.count = count;
    for (int unit = 0; unit < kUnits; ++unit) d.textures[unit] = textures_[unit];
    d.depthTest = depthTest_;
    d.blend = blend_;
    d.uniforms = uniformState_[program_];
    draws_.push_back(std::move(d));
}

std::vector<std::vector<double>> GlCallRecorder::uniformSettings(const std::string& uniform) const {
    std::vector<std::vector<double>> settings;
    for (const Call& call : calls_)
        if (!call.uniform.empty() && call.uniform == uniform) settings.push_back(call.args);
    return settings;
}

std::vector<std::string> GlCallRecorder::lines() const {
    std::vector<std::string> out;
    for (const Call& call : calls_) {
        std::string line = call.function;
        if (!call.uniform.empty()) line += " " + call.uniform;
        const size_t shown = call.function == "glUniformMatrix4fv" ? 0 : call.args.size();
        for (size_t i = 0; i < shown; ++i) {
            char number[32];
            std::snprintf(number, sizeof number, " %.9g", call.args[i]);
            line += number;
        }
        out.push_back(line);
    }
    return out;
}
