#include "gl/Texture2D.h"

#include <cstdio>

#include "gl/GlEntryTable.h"
#include "gl/ImageDecoder.h"

Texture2D::~Texture2D() {
    gl.glDeleteTextures(1, &id);
}

std::unique_ptr<Texture2D> Texture2D::fromImage(const std::string& path, GLenum filter) {
    std::unique_ptr<Texture2D> texture(new Texture2D());
    gl.glGenTextures(1, &texture->id);
    gl.glBindTexture(GL_TEXTURE_2D, texture->id);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    // Without the anisotropic-filtering extension the query fails and leaves 0: skip the setting.
    GLfloat maxAnisotropy = 0.0f;
    gl.glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maxAnisotropy);
    if (maxAnisotropy >= 1.0f) {
        gl.glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, maxAnisotropy);
    }

    DecodedImage image;
    if (!decodeImage(path, image)) {
        image = DecodedImage();
        std::printf("Unable to load texture %s\n", path.c_str());
    }
    texture->width = image.width;
    texture->height = image.height;
    // Four bytes a pixel: rows are 4-aligned whatever the width, so no unpack state is needed.
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, image.format,
                    GL_UNSIGNED_BYTE, image.pixels.empty() ? nullptr : image.pixels.data());
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

std::unique_ptr<Texture2D> Texture2D::createEmpty(int width, int height, bool depth) {
    std::unique_ptr<Texture2D> texture(new Texture2D());
    texture->width = width;
    texture->height = height;
    gl.glGenTextures(1, &texture->id);
    gl.glBindTexture(GL_TEXTURE_2D, texture->id);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (depth) {
        // Unsigned int is the transfer type GLES 3 (WebGL 2) pairs with 24-bit depth.
        gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0,
                        GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, nullptr);
    } else {
        gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, width, height, 0, GL_RGBA, GL_FLOAT, nullptr);
    }
    return texture;
}

void bindToUnit(int unit, const Texture2D& texture) {
    gl.glActiveTexture(GL_TEXTURE0 + unit);
    gl.glBindTexture(GL_TEXTURE_2D, texture.id);
}
