#pragma once
// The GL types, enums and function-pointer conventions, from the system headers. No prototypes of the
// entry points above 1.1 are declared: those are reached through GlEntryTable.
#include <GL/gl.h>
#include <GL/glext.h>

#ifndef GL_TEXTURE_MAX_ANISOTROPY_EXT
#define GL_TEXTURE_MAX_ANISOTROPY_EXT 0x84FE
#define GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT 0x84FF
#endif
