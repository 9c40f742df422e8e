#include "gl/GlEntryTable.h"

#include <cstring>

GlEntryTable gl;

const char* const kGlEntriesCalled[36] = {
    // shader programs
    "glCreateProgram", "glCreateShader", "glShaderSource", "glCompileShader", "glGetShaderiv",
    "glGetShaderInfoLog", "glAttachShader", "glLinkProgram", "glGetProgramiv",
    "glGetProgramInfoLog", "glDetachShader", "glDeleteShader", "glDeleteProgram", "glUseProgram",
    "glGetUniformLocation",
    // uniforms
    "glUniform1f", "glUniform2f", "glUniform3f", "glUniform4f", "glUniform1i", "glUniformMatrix4fv",
    // textures
    "glActiveTexture",
    // render targets
    "glGenFramebuffers", "glBindFramebuffer", "glFramebufferTexture2D", "glCheckFramebufferStatus",
    // vertex buffers and arrays
    "glGenBuffers", "glBindBuffer", "glBufferData", "glDeleteBuffers", "glGenVertexArrays",
    "glBindVertexArray", "glDeleteVertexArrays", "glVertexAttribPointer",
    "glEnableVertexAttribArray", "glDisableVertexAttribArray"};

void resolveGlEntryTable(GlProcAddress lookup) {
#define GL_ENTRY(ret, name, params) \
    gl.name = reinterpret_cast<ret(APIENTRY*) params>(lookup(#name));
#include "gl/GlEntryList.inc"
#undef GL_ENTRY

    gl.glBindTexture = ::glBindTexture;
    gl.glBlendFunc = ::glBlendFunc;
    gl.glClear = ::glClear;
    gl.glClearColor = ::glClearColor;
    gl.glDeleteTextures = ::glDeleteTextures;
    gl.glDepthFunc = ::glDepthFunc;
    gl.glDisable = ::glDisable;
    gl.glDrawArrays = ::glDrawArrays;
    gl.glDrawElements = ::glDrawElements;
    gl.glEnable = ::glEnable;
    gl.glFinish = ::glFinish;
    gl.glGenTextures = ::glGenTextures;
    gl.glGetFloatv = ::glGetFloatv;
    gl.glGetIntegerv = ::glGetIntegerv;
    gl.glGetString = ::glGetString;
#ifndef __EMSCRIPTEN__
    // WebGL 2 has no texture level queries (nor proxy textures): the slot stays null there.
    gl.glGetTexLevelParameteriv = ::glGetTexLevelParameteriv;
#endif
    gl.glPixelStorei = ::glPixelStorei;
    gl.glPointSize = ::glPointSize;
    gl.glReadPixels = ::glReadPixels;
    gl.glTexImage2D = ::glTexImage2D;
    gl.glTexParameterf = ::glTexParameterf;
    gl.glTexParameteri = ::glTexParameteri;
    gl.glViewport = ::glViewport;
}

void** glEntrySlot(const char* name) {
#define GL_ENTRY(ret, entry, params) \
    if (std::strcmp(name, #entry) == 0) return reinterpret_cast<void**>(&gl.entry);
#include "gl/GlEntryList.inc"
#undef GL_ENTRY
    return nullptr;
}

const char* firstMissingGlEntry() {
    for (const char* name : kGlEntriesCalled) {
        void** slot = glEntrySlot(name);
        if (!slot || !*slot) return name;
    }
    return nullptr;
}
