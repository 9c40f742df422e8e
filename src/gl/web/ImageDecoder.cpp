// Browser image decoding: the page decodes every image of the demo before the load phase starts
// (createImageBitmap without premultiplied alpha, embedded colour profiles converted to sRGB, read
// back through a scratch WebGL 2 texture) and keeps straight 8-bit RGBA rows, top row first, by
// path in Module.velmoraImages. Here they are only looked up and copied; the wasm carries no
// decoder of its own. A path the page could not fetch or decode is not in the map: false.
#include "gl/ImageDecoder.h"

#include <emscripten/emscripten.h>

#include <string>

namespace {

// Larger images are refused rather than allocated, as on the desktop.
const long long kMaxPixels = 64LL * 1024 * 1024;

}  // namespace

// The EM_JS bodies are JavaScript, which clang-format would mangle.
// clang-format off
// Width and height of the decoded image at `path`, or 0 x 0 when the page has none.
EM_JS(void, velmora_image_size, (const char* path, int* width, int* height), {
    const image = Module.velmoraImages && Module.velmoraImages.get(UTF8ToString(path));
    const ok = image && image.pixels.length == image.width * image.height * 4;
    HEAP32[width >> 2] = ok ? image.width : 0;
    HEAP32[height >> 2] = ok ? image.height : 0;
});

EM_JS(void, velmora_image_copy, (const char* path, unsigned char* pixels),
      { HEAPU8.set(Module.velmoraImages.get(UTF8ToString(path)).pixels, pixels); });
// clang-format on

bool decodeImage(const std::string& path, DecodedImage& out, std::string* why, int maxSide) {
    out = DecodedImage();
    if (why) why->clear();
    // The load phase reads the images one by one: the browser gets a turn before each, so the page
    // keeps answering while the demo loads (asyncify; see app/web/main.cpp).
    emscripten_sleep(0);  // the page says itself why it could not decode a file
    int width = 0, height = 0;
    velmora_image_size(path.c_str(), &width, &height);
    if (width <= 0 || height <= 0) return false;
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (maxSide > 0 && (width > maxSide || height > maxSide)) {
        if (why)
            *why = "it is " + size + ", larger than the " + std::to_string(maxSide) +
                   " texels a side this OpenGL allows";
        return false;
    }
    if (static_cast<long long>(width) * height > kMaxPixels) {
        if (why) *why = "it is " + size + ", too large to decode";
        return false;
    }
    out.width = width;
    out.height = height;
    out.format = GL_RGBA;
    out.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    velmora_image_copy(path.c_str(), out.pixels.data());
    return true;
}
