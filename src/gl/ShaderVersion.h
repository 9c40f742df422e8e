#pragma once

// The lines that open each stage's source, before the stage's #define and the file itself. The
// shader files are written in the common subset of both dialects.
// GLSL 3.30 core, for the desktop GL.
constexpr const char* kDesktopShaderVersion = "#version 330\n";
// GLSL ES 3.00, for WebGL 2. ES gives fragment shaders no default float precision; high precision
// everywhere keeps the arithmetic as on the desktop.
constexpr const char* kWebShaderVersion =
    "#version 300 es\nprecision highp float;\nprecision highp int;\n";

#ifdef __EMSCRIPTEN__
constexpr const char* kShaderVersion = kWebShaderVersion;
#else
constexpr const char* kShaderVersion = kDesktopShaderVersion;
#endif
