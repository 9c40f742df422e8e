// velmora-image-compare make DIR
//     writes the extra test images (formats the demo's own images do not cover) into DIR
// velmora-image-compare check DUMPDIR IMAGE...
//     decodes each IMAGE with the Linux decoder and compares it with DUMPDIR/<file name>.pam as
//     velmora-image-dump wrote it on Windows: same size, every channel within 1. Prints one line
//     per image; exit code 1 if any differs.
#include <cstdio>
// cstdio first: jpeglib.h uses FILE and size_t without declaring them.
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gl/ImageDecoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

bool writePng(const std::string& path, int w, int h, png_uint_32 format, const Bytes& pixels,
              const Bytes& colormap = {}) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = w;
    image.height = h;
    image.format = format;
    image.colormap_entries = static_cast<png_uint_32>(colormap.size() / 4);
    return png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0,
                                   colormap.empty() ? nullptr : colormap.data());
}

bool writeJpeg(const std::string& path, int w, int h, int components, const Bytes& pixels) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = w;
    info.image_height = h;
    info.input_components = components;
    info.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 85, TRUE);
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels.data()) +
                       static_cast<std::size_t>(info.next_scanline) * w * components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

// Smooth colour with some detail: odd sizes, so row padding and chroma edges are exercised.
std::uint8_t channel(int x, int y, int c) {
    return static_cast<std::uint8_t>((x * (3 + c) + y * (5 - c) + ((x ^ y) & 7) * 9) & 255);
}

bool makeSet(const std::string& dir) {
    const int w = 37, h = 23;
    Bytes rgba, grey, indices, rgb;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 3; ++c) rgba.push_back(channel(x, y, c));
            rgba.push_back(static_cast<std::uint8_t>((x * 255) / (w - 1)));  // alpha ramp
            grey.push_back(channel(x, y, 1));
            indices.push_back(static_cast<std::uint8_t>((x / 5 + y / 4) % 6));
        }
    const Bytes colormap = {255, 0,   0,  255, 0,  255, 0,  128, 0,   0,   255, 0,
                            250, 240, 10, 255, 12, 34,  56, 200, 255, 255, 255, 255};
    const int jw = 61, jh = 45;
    for (int y = 0; y < jh; ++y)
        for (int x = 0; x < jw; ++x)
            for (int c = 0; c < 3; ++c) rgb.push_back(channel(x, y, c));
    Bytes jgrey;
    for (int y = 0; y < jh; ++y)
        for (int x = 0; x < jw; ++x) jgrey.push_back(channel(x, y, 2));
    return writePng(dir + "/alpha.png", w, h, PNG_FORMAT_RGBA, rgba) &&
           writePng(dir + "/grey.png", w, h, PNG_FORMAT_GRAY, grey) &&
           writePng(dir + "/palette.png", w, h, PNG_FORMAT_RGBA_COLORMAP, indices, colormap) &&
           writeJpeg(dir + "/photo.jpg", jw, jh, 3, rgb) &&
           writeJpeg(dir + "/grey.jpg", jw, jh, 1, jgrey);
}

// True for a JPEG whose colour components are stored at lower resolution than its luma. Decoders
// may upsample such chroma differently (libjpeg-turbo's triangle filter, DCT scaling in others),
// so only JPEGs without subsampling decode alike everywhere.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

bool chromaSubsampled(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = [](j_common_ptr c) {
        std::longjmp(reinterpret_cast<JpegError*>(c->err)->jump, 1);
    };
    volatile bool subsampled = false;  // kept across the longjmp
    jpeg_create_decompress(&info);
    if (!setjmp(error.jump)) {
        jpeg_stdio_src(&info, file);
        jpeg_read_header(&info, TRUE);
        for (int c = 1; c < info.num_components; ++c) {
            subsampled = subsampled ||
                         info.comp_info[c].h_samp_factor != info.comp_info[0].h_samp_factor ||
                         info.comp_info[c].v_samp_factor != info.comp_info[0].v_samp_factor;
        }
    }
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return subsampled;
}

// Reads a PAM written by velmora-image-dump: RGBA, 8 bits.
bool readPam(const std::string& path, int& w, int& h, Bytes& pixels) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    int depth = 0, maxval = 0;
    const bool header = std::fscanf(file,
                                    "P7 WIDTH %d HEIGHT %d DEPTH %d MAXVAL %d TUPLTYPE RGB_ALPHA "
                                    "ENDHDR",
                                    &w, &h, &depth, &maxval) == 4 &&
                        std::fgetc(file) == '\n' && depth == 4 && maxval == 255 && w > 0 && h > 0 &&
                        w <= 16384 && h <= 16384;
    if (header) {
        pixels.resize(static_cast<std::size_t>(w) * h * 4);
        const bool read = std::fread(pixels.data(), 1, pixels.size(), file) == pixels.size();
        std::fclose(file);
        return read;
    }
    std::fclose(file);
    return false;
}

bool check(const std::string& dumps, const std::string& path) {
    const std::string name = path.substr(path.find_last_of('/') + 1);
    DecodedImage image;
    int w = 0, h = 0;
    Bytes windows;
    if (!decodeImage(path, image)) {
        std::printf("%s: the Linux decoder cannot read it\n", name.c_str());
        return false;
    }
    if (!readPam(dumps + "/" + name + ".pam", w, h, windows)) {
        std::printf("%s: no GDI+ dump\n", name.c_str());
        return false;
    }
    if (w != image.width || h != image.height) {
        std::printf("%s: GDI+ gives %d x %d, Linux %d x %d\n", name.c_str(), w, h, image.width,
                    image.height);
        return false;
    }
    int worst = 0;
    long differing = 0;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        // Linux pixels come as RGBA or BGRA; the dump is RGBA.
        std::size_t j = i;
        if (image.format == GL_BGRA && i % 4 != 3) j = i - i % 4 + (2 - i % 4);
        const int d = std::abs(int(windows[i]) - int(image.pixels[j]));
        worst = std::max(worst, d);
        differing += d != 0;
    }
    std::printf("%s: %d x %d, largest difference %d, %ld of %zu channels differ\n", name.c_str(), w,
                h, worst, differing, windows.size());
    const std::string extension = name.substr(name.find_last_of('.') + 1);
    if (worst > 1 && (extension == "jpg" || extension == "jpeg") && chromaSubsampled(path)) {
        std::printf(
            "%s: its chroma is subsampled, which decoders upsample differently: write it "
            "without chroma subsampling (4:4:4)\n",
            name.c_str());
    }
    return worst <= 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "make" && argc == 3) {
        if (makeSet(argv[2])) return 0;
        std::printf("cannot write the test images into %s\n", argv[2]);
        return 1;
    }
    if (mode == "check" && argc >= 4) {
        bool same = true;
        for (int i = 3; i < argc; ++i) same = check(argv[2], argv[i]) && same;
        return same ? 0 : 1;
    }
    std::printf("usage: velmora-image-compare make DIR | check DUMPDIR IMAGE...\n");
    return 2;
}
