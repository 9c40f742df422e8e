#include "gl/Texture2D.h"

#include <cstdio>
#include <string>

#include "gl/GlEntryTable.h"
#include "gl/ImageDecoder.h"

namespace {

// The proxy target answers whether the driver could hold the texture, without allocating it.
// WebGL has no proxy textures: there the decoder's size limit is the only check.
bool fitsTexture(const DecodedImage& image) {
    if (!gl.glGetTexLevelParameteriv) return true;
    gl.glTexImage2D(GL_PROXY_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, image.format,
                    GL_UNSIGNED_BYTE, nullptr);
    GLint width = 0;
    gl.glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    return width == image.width;
}

}  // namespace

bool decodeTextureImage(const std::string& path, DecodedImage& image, std::string& line) {
    GLint maxSide = 0;
    gl.glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    std::string why;
    if (decodeImage(path, image, &why, maxSide) && !fitsTexture(image)) {
        why = "it is " + std::to_string(image.width) + "x" + std::to_string(image.height) +
              ", more than this OpenGL holds in one texture";
        image = DecodedImage();
    }
    if (!image.pixels.empty()) return true;
    image = DecodedImage();
    // A file that cannot be opened gives the plain line; any other failure says why.
    line = "Unable to load texture " + path + (why.empty() ? "" : ": " + why);
    return false;
}

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
    std::string line;
    if (!decodeTextureImage(path, image, line)) std::printf("%s\n", line.c_str());
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
