#include "TestImages.h"

#include <jpeglib.h>
#include <png.h>

#include <cstdio>
#include <fstream>
#include <iterator>

bool writeTestPng(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& rgba, const std::vector<std::uint8_t>& icc) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGBA;
    if (icc.empty())
        return png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr);

    // The simplified writer cannot embed a profile: use the full one.
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_iCCP(png, info, "embedded", PNG_COMPRESSION_TYPE_BASE, icc.data(),
                 static_cast<png_uint_32>(icc.size()));
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, rgba.data() + static_cast<std::size_t>(y) * width * 4);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return true;
}

bool writeTestJpeg(const std::string& path, int width, int height,
                   const std::vector<std::uint8_t>& rgb, const std::vector<std::uint8_t>& icc) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    if (!icc.empty()) {
        jpeg_write_icc_profile(&info, icc.data(), static_cast<unsigned int>(icc.size()));
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.data()) +
                       static_cast<std::size_t>(info.next_scanline) * width * 3;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
    return true;
}

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}
