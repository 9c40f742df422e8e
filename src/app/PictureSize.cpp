#include "app/PictureSize.h"

#include "gl/GlEntryTable.h"

namespace {

// The proxy target answers without allocating anything.
bool holdsTexture(GLenum internalFormat, GLenum format, int width, int height) {
    if (!gl.glGetTexLevelParameteriv) return true;  // WebGL: no proxy textures
    gl.glTexImage2D(GL_PROXY_TEXTURE_2D, 0, static_cast<GLint>(internalFormat), width, height, 0,
                    format, GL_FLOAT, nullptr);
    GLint held = 0;
    gl.glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &held);
    return held == width;
}

}  // namespace

std::string pictureSizeProblem(int width, int height) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string prefix = "Cannot draw at " + size + ": ";
    GLint viewport[2] = {};
    gl.glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    if (width > viewport[0] || height > viewport[1])
        return prefix + "the largest viewport of this OpenGL is " + std::to_string(viewport[0]) +
               "x" + std::to_string(viewport[1]) + " (GL_MAX_VIEWPORT_DIMS)";
    GLint renderbuffer = 0, texture = 0;
    gl.glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    if (width > renderbuffer || height > renderbuffer)
        return prefix + "the largest renderbuffer of this OpenGL is " +
               std::to_string(renderbuffer) + " a side (GL_MAX_RENDERBUFFER_SIZE)";
    gl.glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    if (width > texture || height > texture)
        return prefix + "the largest texture of this OpenGL is " + std::to_string(texture) +
               " a side (GL_MAX_TEXTURE_SIZE)";
    if (!holdsTexture(GL_RGBA32F, GL_RGBA, width, height) ||
        !holdsTexture(GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, width, height))
        return prefix + "this OpenGL cannot hold a floating-point picture and its depth of " +
               "that size";
    return {};
}
