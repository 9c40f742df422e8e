#pragma once
#include "gl/GlHeaders.h"

// Every GL call the program makes goes through this table: one slot per GL entry point, named
// exactly like the GL function. The slots above GL 1.1 are resolved from the driver once the 3.3
// core context is current; the few GL 1.1 functions the program calls are bound to the system GL
// library's own functions. Tests may overwrite any slot to record calls and forward them.
struct GlEntryTable {
#define GL_ENTRY(ret, name, params) ret(APIENTRY* name) params = nullptr;
#include "gl/GlEntryList.inc"
#undef GL_ENTRY

    // GL 1.1, from the system library.
    void(APIENTRY* glBindTexture)(GLenum, GLuint) = nullptr;
    void(APIENTRY* glBlendFunc)(GLenum, GLenum) = nullptr;
    void(APIENTRY* glClear)(GLbitfield) = nullptr;
    void(APIENTRY* glClearColor)(GLfloat, GLfloat, GLfloat, GLfloat) = nullptr;
    void(APIENTRY* glColorMask)(GLboolean, GLboolean, GLboolean, GLboolean) = nullptr;
    void(APIENTRY* glCullFace)(GLenum) = nullptr;
    void(APIENTRY* glDeleteTextures)(GLsizei, const GLuint*) = nullptr;
    void(APIENTRY* glDepthFunc)(GLenum) = nullptr;
    void(APIENTRY* glDisable)(GLenum) = nullptr;
    void(APIENTRY* glDrawArrays)(GLenum, GLint, GLsizei) = nullptr;
    void(APIENTRY* glDrawElements)(GLenum, GLsizei, GLenum, const void*) = nullptr;
    void(APIENTRY* glEnable)(GLenum) = nullptr;
    void(APIENTRY* glFinish)() = nullptr;
    void(APIENTRY* glGenTextures)(GLsizei, GLuint*) = nullptr;
    void(APIENTRY* glGetFloatv)(GLenum, GLfloat*) = nullptr;
    void(APIENTRY* glGetIntegerv)(GLenum, GLint*) = nullptr;
    const GLubyte*(APIENTRY* glGetString)(GLenum) = nullptr;
    void(APIENTRY* glGetTexLevelParameteriv)(GLenum, GLint, GLenum, GLint*) = nullptr;  // not web
    void(APIENTRY* glPixelStorei)(GLenum, GLint) = nullptr;
    void(APIENTRY* glPointSize)(GLfloat) = nullptr;
    void(APIENTRY* glReadPixels)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*) = nullptr;
    void(APIENTRY* glTexImage2D)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum,
                                 const void*) = nullptr;
    void(APIENTRY* glTexParameterf)(GLenum, GLenum, GLfloat) = nullptr;
    void(APIENTRY* glTexParameteri)(GLenum, GLenum, GLint) = nullptr;
    void(APIENTRY* glViewport)(GLint, GLint, GLsizei, GLsizei) = nullptr;
};

extern GlEntryTable gl;

// The front end's look-up: wglGetProcAddress, eglGetProcAddress or SDL_GL_GetProcAddress.
using GlProcAddress = void* (*)(const char* name);

// Fills every slot, in table order, each name looked up once. Needs the 3.3 context current.
void resolveGlEntryTable(GlProcAddress lookup);

// The entry points above 1.1 the program calls (every front end and developer mode together);
// each must be non-null after resolution. tests/glentry compares it with the calls in src.
extern const char* const kGlEntriesCalled[57];

// The slot of an entry point above 1.1 by name, or null for an unknown name.
void** glEntrySlot(const char* name);

// The first called entry point left null by the driver, or null when all are present.
const char* firstMissingGlEntry();
