#include "app/headless/PngFile.h"

#include <png.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/headless/OutputFile.h"

namespace {

// libpng's own writer forgets why fwrite failed; this one keeps errno for the message.
struct Output {
    std::FILE* file = nullptr;
    int error = 0;
};

void writeBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Output*>(png_get_io_ptr(png));
    if (std::fwrite(data, 1, length, out->file) != length) {
        out->error = errno ? errno : EIO;
        png_error(png, "write failed");
    }
}

void flushBytes(png_structp) {}

// Writes the picture into out.file and closes it; false with out.error on failure.
bool encodePng(Output& out, int width, int height, const std::uint8_t* rgba) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info;
    if (ok && setjmp(png_jmpbuf(png))) {
        ok = false;
    } else if (ok) {
        png_set_write_fn(png, &out, writeBytes, flushBytes);
        // Level 1, run-length matches after the "sub" filter: measured on 1280x720 frames of
        // four scenes, 40% less time than level 1 with the adaptive filter search on RGBA, and
        // 12% smaller (RGB instead of RGBA; as small as the filter search on RGB).
        png_set_compression_level(png, 1);
        png_set_compression_strategy(png, Z_RLE);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_set_filler(png, 0, PNG_FILLER_AFTER);  // the rows carry a fourth byte: skip it
        const std::size_t stride = static_cast<std::size_t>(width) * 4;
        for (int y = 0; y < height; ++y)
            png_write_row(png, const_cast<png_bytep>(rgba + static_cast<std::size_t>(y) * stride));
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    // A full disk often shows only when the buffered tail is written out, at fclose.
    if (std::fflush(out.file) != 0 && ok) {
        out.error = errno;
        ok = false;
    }
    if (std::fclose(out.file) != 0 && ok) {
        out.error = errno;
        ok = false;
    }
    return ok;
}

}  // namespace

bool writeFramePng(const std::string& path, int width, int height, const std::uint8_t* rgba) {
    OutputFile output;
    std::string why;
    Output out;
    if (output.create(path, why) && !(out.file = std::fopen(output.temporaryPath().c_str(), "wb")))
        why = std::strerror(errno);
    if (!out.file) {
        std::printf("Cannot write %s (%s)\n", path.c_str(), why.c_str());
        return false;
    }
    bool ok = encodePng(out, width, height, rgba);
    if (!ok) why = std::strerror(out.error ? out.error : EIO);
    if (ok && !output.commit(why)) ok = false;
    if (!ok) std::printf("Cannot write %s (%s)\n", path.c_str(), why.c_str());
    return ok;
}
