#include "gl/GlEntryTable.h"

#include <cstring>

GlEntryTable gl;

const char* const kGlEntriesCalled[57] = {
    // shader programs
    "glCreateProgram", "glCreateShader", "glShaderSource", "glCompileShader", "glGetShaderiv",
    "glGetShaderInfoLog", "glAttachShader", "glLinkProgram", "glGetProgramiv",
    "glGetProgramInfoLog", "glDetachShader", "glDeleteShader", "glDeleteProgram", "glUseProgram",
    "glGetUniformLocation", "glGetActiveUniform", "glGetUniformfv", "glGetUniformiv",
    // uniforms
    "glUniform1f", "glUniform2f", "glUniform3f", "glUniform4f", "glUniform1i", "glUniform1fv",
    "glUniform2fv", "glUniform3fv", "glUniform4fv", "glUniform1iv", "glUniform2iv", "glUniform3iv",
    "glUniform4iv", "glUniformMatrix2fv", "glUniformMatrix3fv", "glUniformMatrix4fv",
    // textures and blending
    "glActiveTexture", "glBlendFuncSeparate",
    // render targets
    "glGenFramebuffers", "glBindFramebuffer", "glFramebufferTexture2D", "glCheckFramebufferStatus",
    "glDeleteFramebuffers", "glBlitFramebuffer",
    // vertex buffers and arrays, read-back buffers
    "glGenBuffers", "glBindBuffer", "glBufferData", "glDeleteBuffers", "glMapBufferRange",
    "glUnmapBuffer", "glGenVertexArrays", "glBindVertexArray", "glDeleteVertexArrays",
    "glVertexAttribPointer", "glEnableVertexAttribArray", "glDisableVertexAttribArray",
    // fences (the runner keeps a frame or two in flight)
    "glFenceSync", "glClientWaitSync", "glDeleteSync"};

void resolveGlEntryTable(GlProcAddress lookup) {
#define GL_ENTRY(ret, name, params) \
    gl.name = reinterpret_cast<ret(APIENTRY*) params>(lookup(#name));
#include "gl/GlEntryList.inc"
#undef GL_ENTRY

    gl.glBindTexture = ::glBindTexture;
    gl.glBlendFunc = ::glBlendFunc;
    gl.glClear = ::glClear;
    gl.glClearColor = ::glClearColor;
    gl.glColorMask = ::glColorMask;
    gl.glCullFace = ::glCullFace;
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
#ifdef __EMSCRIPTEN__
        // Only the headless runner's read-back maps buffers, and WebGL 2 maps none.
        if (std::strcmp(name, "glMapBufferRange") == 0 || std::strcmp(name, "glUnmapBuffer") == 0)
            continue;
#endif
        void** slot = glEntrySlot(name);
        if (!slot || !*slot) return name;
    }
    return nullptr;
}
