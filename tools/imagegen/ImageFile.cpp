#include "ImageFile.h"

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

namespace {

constexpr uint64_t kMaxPixels = uint64_t(1) << 26;  // 8192 x 8192

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

FilePtr openFile(const std::string& path, const char* mode) {
    FilePtr f(std::fopen(path.c_str(), mode));
    if (!f) std::printf("Cannot open %s\n", path.c_str());
    return f;
}

void pngError(png_structp png, png_const_charp message) {
    std::printf("PNG error: %s\n", message);
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// Writes rows with libpng; colour type and bit depth as given, rows already packed.
bool writePngRows(const std::string& path, int width, int height, int colorType, int bitDepth,
                  const std::vector<uint8_t>& packed, size_t stride,
                  const std::vector<uint8_t>& paletteRgb) {
    FilePtr f = openFile(path, "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        std::printf("PNG error: out of memory writing %s\n", path.c_str());
        return false;
    }
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < paletteRgb.size(); i += 3)
        palette.push_back({paletteRgb[i], paletteRgb[i + 1], paletteRgb[i + 2]});
    // Every C++ object lives above this point: the error handler jumps back here.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, f.get());
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, width, height, bitDepth, colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) png_write_row(png, packed.data() + stride * y);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

struct JpegErrorManager {
    jpeg_error_mgr base;
    jmp_buf jump;
};

void jpegErrorExit(j_common_ptr cinfo) {
    char message[JMSG_LENGTH_MAX];
    cinfo->err->format_message(cinfo, message);
    std::printf("JPEG error: %s\n", message);
    std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

bool readPng(const std::string& path, Picture& out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        std::printf("Cannot decode %s: %s\n", path.c_str(), image.message);
        return false;
    }
    if (static_cast<uint64_t>(image.width) * image.height > kMaxPixels) {
        std::printf("Cannot decode %s: %u x %u is too large\n", path.c_str(), image.width,
                    image.height);
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        std::printf("Cannot decode %s: %s\n", path.c_str(), image.message);
        png_image_free(&image);
        return false;
    }
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.rgba.swap(pixels);
    return true;
}

// The buffers belong to the caller: the error handler's jump must not skip their destructors.
bool readJpeg(FILE* f, const std::string& path, std::vector<uint8_t>& pixels,
              std::vector<uint8_t>& row, Picture& out) {
    jpeg_decompress_struct cinfo{};
    JpegErrorManager err{};
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = jpegErrorExit;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::printf("Cannot decode %s\n", path.c_str());
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    size_t w = cinfo.output_width, h = cinfo.output_height;
    if (static_cast<uint64_t>(w) * h > kMaxPixels) {
        std::printf("Cannot decode %s: %zu x %zu is too large\n", path.c_str(), w, h);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    pixels.resize(w * h * 4);
    row.resize(w * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        size_t y = cinfo.output_scanline;
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&cinfo, rows, 1);
        for (size_t x = 0; x < w; ++x) {
            uint8_t* p = &pixels[(y * w + x) * 4];
            p[0] = row[x * 3], p[1] = row[x * 3 + 1], p[2] = row[x * 3 + 2], p[3] = 255;
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    out.rgba.swap(pixels);
    return true;
}

}  // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) {
    return writePngRows(path, width, height, PNG_COLOR_TYPE_RGBA, 8, rgba,
                        static_cast<size_t>(width) * 4, {});
}

bool writeIndexedPng(const std::string& path, int width, int height,
                     const std::vector<uint8_t>& indices, const std::vector<uint8_t>& paletteRgb) {
    size_t stride = (static_cast<size_t>(width) + 1) / 2;
    std::vector<uint8_t> packed(stride * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t index = indices[static_cast<size_t>(y) * width + x] & 15;
            packed[stride * y + x / 2] |= (x % 2 == 0) ? index << 4 : index;
        }
    return writePngRows(path, width, height, PNG_COLOR_TYPE_PALETTE, 4, packed, stride, paletteRgb);
}

bool writeJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
               int quality) {
    FilePtr f = openFile(path, "wb");
    if (!f) return false;
    jpeg_compress_struct cinfo{};
    JpegErrorManager err{};
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = jpegErrorExit;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f.get());
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    // Full-resolution colour (4:4:4): decoders differ in how they upsample subsampled chroma, and
    // the textures must decode to the same pixels everywhere.
    for (int c = 0; c < cinfo.num_components; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    cinfo.optimize_coding = TRUE;
    cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row[1] = {const_cast<uint8_t*>(rgb.data()) +
                           static_cast<size_t>(cinfo.next_scanline) * width * 3};
        jpeg_write_scanlines(&cinfo, row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

bool readPicture(const std::string& path, Picture& out) {
    FilePtr f = openFile(path, "rb");
    if (!f) return false;
    unsigned char magic[3] = {};
    size_t n = std::fread(magic, 1, 3, f.get());
    if (n == 3 && magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF) {
        std::rewind(f.get());
        std::vector<uint8_t> pixels, row;
        return readJpeg(f.get(), path, pixels, row, out);
    }
    if (n == 3 && magic[0] == 0x89 && magic[1] == 'P' && magic[2] == 'N') {
        f.reset();
        return readPng(path, out);
    }
    std::printf("Not a PNG or JPEG file: %s\n", path.c_str());
    return false;
}
