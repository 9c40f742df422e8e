// Windows image decoding through the GDI+ flat API: whatever GDI+ reads (JPEG and PNG among
// others), with the file's embedded colour profile applied, locked as straight 32-bit ARGB, which
// is blue, green, red, alpha in memory: uploaded as GL_BGRA. GDI+ must have been started (the
// window does it). A file that is missing or that GDI+ cannot decode returns false.
#include "gl/ImageDecoder.h"

#include <cstring>

#include "gl/win32/GdiplusHeaders.h"

namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// Larger images are refused rather than allocated: no texture of the demo comes near it.
const long long kMaxPixels = 64LL * 1024 * 1024;

std::wstring widen(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<std::size_t>(n) - 1 : 0);
    return wide;
}

bool copyPixels(GpBitmap* bitmap, DecodedImage& out) {
    UINT width = 0, height = 0;
    GdipGetImageWidth(bitmap, &width);
    GdipGetImageHeight(bitmap, &height);
    if (width == 0 || height == 0 || static_cast<long long>(width) * height > kMaxPixels)
        return false;

    const GpRect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    BitmapData locked = {};
    if (GdipBitmapLockBits(bitmap, &rect, ImageLockModeRead, PixelFormat32bppARGB, &locked) != Ok)
        return false;
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.format = GL_BGRA;
    out.pixels.resize(row * height);
    const auto* scan = static_cast<const std::uint8_t*>(locked.Scan0);
    for (UINT y = 0; y < height; ++y)
        std::memcpy(&out.pixels[y * row], scan + static_cast<std::ptrdiff_t>(y) * locked.Stride,
                    row);
    GdipBitmapUnlockBits(bitmap, &locked);
    return true;
}

}  // namespace

bool decodeImage(const std::string& path, DecodedImage& out) {
    out = DecodedImage();
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFileICM(widen(path).c_str(), &bitmap) != Ok || !bitmap) return false;
    const bool decoded = copyPixels(bitmap, out);
    GdipDisposeImage(bitmap);
    if (!decoded) out = DecodedImage();
    return decoded;
}
