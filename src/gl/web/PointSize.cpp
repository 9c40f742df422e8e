// WebGL has no glPointSize: points take their size from gl_PointSize in the vertex shader. The
// entry table binds the GL 1.1 functions by name, so the browser build supplies this one as a
// function that does nothing.
#include "gl/GlHeaders.h"

extern "C" void glPointSize(GLfloat) {}
