#pragma once
#include <memory>
#include <string>

#include "gl/GlHeaders.h"

struct DecodedImage;

// One GL 2D texture (level 0 only) and its size.
class Texture2D {
public:
    ~Texture2D();
    Texture2D(const Texture2D&) = delete;
    Texture2D& operator=(const Texture2D&) = delete;

    // Decodes a JPEG or PNG to straight 8-bit RGBA (embedded colour profile converted to sRGB),
    // top row first, GL_REPEAT, `filter` for both filters, maximum anisotropy. A file that cannot
    // be opened prints "Unable to load texture <path>", one that cannot be decoded or is larger
    // than the GL's texture size (refused, not scaled) "Unable to load texture <path>: <why>";
    // both give a 0 x 0 texture.
    static std::unique_ptr<Texture2D> fromImage(const std::string& path, GLenum filter);
    // GL_RGBA32F colour texture, or GL_DEPTH_COMPONENT24 when depth is true; left bound.
    static std::unique_ptr<Texture2D> createEmpty(int width, int height, bool depth);

    GLuint id = 0;
    int width = 0;
    int height = 0;

private:
    Texture2D() = default;
};

// The decoding and size checks of fromImage, for a texture that exists already (developer mode's
// reload): false, with the line fromImage prints for the file, when it cannot be used.
bool decodeTextureImage(const std::string& path, DecodedImage& image, std::string& line);

// glActiveTexture(GL_TEXTURE0 + unit), then binds texture; the active unit stays `unit`.
void bindToUnit(int unit, const Texture2D& texture);
