#pragma once
#include <string>

#include "gl/GlHeaders.h"

// A GL program from two sources written into the code (tools drawn over or after the demo's own
// frame, not the demo's shader files). Returns the linked program, or 0 with the compile and link
// logs in `log`; the shader objects are gone either way.
GLuint linkInlineProgram(const char* vertexSource, const char* fragmentSource, std::string& log);
