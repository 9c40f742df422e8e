// Windows image decoding through the GDI+ flat API: whatever GDI+ reads (JPEG and PNG among
// others), with the file's embedded colour profile applied, locked as straight 32-bit ARGB, which
// is blue, green, red, alpha in memory: uploaded as GL_BGRA. GDI+ must have been started (the
// window does it). A file that is missing, that GDI+ cannot decode or that is larger than asked
// returns false with the reason. A truncated JPEG decodes as far as GDI+ takes it.
#include "gl/ImageDecoder.h"

#include <cstring>
#include <string>

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

bool copyPixels(GpBitmap* bitmap, DecodedImage& out, std::string& why, int maxSide) {
    UINT width = 0, height = 0;
    GdipGetImageWidth(bitmap, &width);
    GdipGetImageHeight(bitmap, &height);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width == 0 || height == 0) {
        why = "it declares a size of " + size;
        return false;
    }
    if (maxSide > 0 &&
        (width > static_cast<UINT>(maxSide) || height > static_cast<UINT>(maxSide))) {
        why = "it is " + size + ", larger than the " + std::to_string(maxSide) +
              " texels a side this OpenGL allows";
        return false;
    }
    if (static_cast<long long>(width) * height > kMaxPixels) {
        why = "it is " + size + ", too large to decode";
        return false;
    }

    const GpRect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    BitmapData locked = {};
    const GpStatus status =
        GdipBitmapLockBits(bitmap, &rect, ImageLockModeRead, PixelFormat32bppARGB, &locked);
    if (status != Ok) {
        why = "GDI+ cannot decode its pixels (status " + std::to_string(status) + ")";
        return false;
    }
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

bool decodeImage(const std::string& path, DecodedImage& out, std::string* why, int maxSide) {
    out = DecodedImage();
    std::string reason;
    const std::wstring wide = widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    GpBitmap* bitmap = nullptr;
    bool decoded = false;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // Cannot be opened: the plain message.
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        reason = "it cannot be read (a folder?)";
    } else if (const GpStatus status = GdipCreateBitmapFromFileICM(wide.c_str(), &bitmap);
               status != Ok || !bitmap) {
        reason = "GDI+ cannot decode it (status " + std::to_string(status) + ")";
    } else {
        decoded = copyPixels(bitmap, out, reason, maxSide);
    }
    if (bitmap) GdipDisposeImage(bitmap);
    if (!decoded) out = DecodedImage();
    if (why) *why = reason;
    return decoded;
}
