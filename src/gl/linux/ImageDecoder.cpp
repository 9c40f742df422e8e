// Linux image decoding: libpng and libjpeg-turbo to straight 8-bit RGBA, top row first; an embedded
// ICC profile (PNG iCCP, JPEG APP2) is converted to sRGB with lcms2. Greyscale, palette, 16-bit
// and transparency-keyed PNGs are expanded to RGBA; greyscale and YCbCr JPEGs decode to RGBA.
// Not supported: CMYK/YCCK JPEGs, and PNG gAMA/cHRM/sRGB chunks without an ICC profile (these
// are taken as sRGB). A file that is missing, truncated or corrupt, or larger than asked, returns
// false with the reason (libpng's or libjpeg's own message for corrupt data).
#include "gl/ImageDecoder.h"

#include <jpeglib.h>

#include "geometry/AssetFile.h"
// jpeglib.h first: jerror.h builds on it.
#include <jerror.h>
#include <lcms2.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

// Larger images are refused rather than allocated: no texture of the demo comes near it.
const long long kMaxPixels = 64LL * 1024 * 1024;

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<FILE, FileCloser>;

// Converts RGBA pixels in place from the colour space of `profile` to sRGB; alpha is kept.
// Profiles that are unreadable or not RGB are ignored.
void convertToSrgb(const void* profile, std::size_t size, DecodedImage& image) {
    cmsHPROFILE source = cmsOpenProfileFromMem(profile, static_cast<cmsUInt32Number>(size));
    if (!source) return;
    if (cmsGetColorSpace(source) == cmsSigRgbData) {
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        cmsHTRANSFORM transform = cmsCreateTransform(source, TYPE_RGBA_8, srgb, TYPE_RGBA_8,
                                                     INTENT_PERCEPTUAL, cmsFLAGS_COPY_ALPHA);
        if (transform) {
            std::uint8_t* data = image.pixels.data();
            // One row at a time keeps the pixel count within the transform's 32-bit argument.
            for (int y = 0; y < image.height; ++y) {
                std::uint8_t* row = data + static_cast<std::size_t>(y) * image.width * 4;
                cmsDoTransform(transform, row, row, static_cast<cmsUInt32Number>(image.width));
            }
            cmsDeleteTransform(transform);
        }
        cmsCloseProfile(srgb);
    }
    cmsCloseProfile(source);
}

// What the decoders are asked for and what they say went wrong.
struct DecodeRequest {
    int maxSide = 0;  // 0: no limit but kMaxPixels
    std::string why;
};

bool sizeAcceptable(long long width, long long height, DecodeRequest& request) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width <= 0 || height <= 0) {
        request.why = "it declares a size of " + size;
    } else if (request.maxSide > 0 && (width > request.maxSide || height > request.maxSide)) {
        request.why = "it is " + size + ", larger than the " + std::to_string(request.maxSide) +
                      " texels a side this OpenGL allows";
    } else if (width * height > kMaxPixels) {
        request.why = "it is " + size + ", too large to decode";
    } else {
        return true;
    }
    return false;
}

// ---- PNG

void pngError(png_structp png, png_const_charp message) {
    auto* request = static_cast<DecodeRequest*>(png_get_error_ptr(png));
    request->why = std::string("corrupt PNG data (") + message + ")";
    png_longjmp(png, 1);
}
void pngWarning(png_structp, png_const_charp) {}

// Runs under libpng's error jump, so it keeps its results in the caller's objects: nothing that
// changes between setjmp and a longjmp lives in this frame.
bool readPng(png_structp png, png_infop info, FILE* file, DecodedImage& out,
             std::vector<std::uint8_t>& profile, std::vector<png_bytep>& rows,
             DecodeRequest& request) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_read_info(png, info);
    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    if (!sizeAcceptable(width, height, request)) return false;

    png_charp name = nullptr;
    int compression = 0;
    png_bytep data = nullptr;
    png_uint_32 length = 0;
    if (png_get_iCCP(png, info, &name, &compression, &data, &length) && data && length > 0) {
        profile.assign(data, data + length);
    }

    png_set_expand(png);  // palette to RGB, low-bit grey to 8 bits, tRNS to alpha
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<std::size_t>(width) * 4) {
        request.why = "its pixel format cannot be expanded to RGBA";
        return false;
    }

    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.format = GL_RGBA;
    out.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        rows[y] = out.pixels.data() + static_cast<std::size_t>(y) * width * 4;
    }
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return true;
}

bool decodePng(FILE* file, DecodedImage& out, DecodeRequest& request) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &request, pngError, pngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    std::vector<std::uint8_t> profile;
    std::vector<png_bytep> rows;
    bool ok = info && readPng(png, info, file, out, profile, rows, request);
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!ok && std::feof(file)) request.why = "the file ends before the picture does";
    if (!ok) return false;
    if (!profile.empty()) convertToSrgb(profile.data(), profile.size(), out);
    return true;
}

// ---- JPEG

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    DecodeRequest* request;
};

std::string jpegMessage(j_common_ptr info) {
    char text[JMSG_LENGTH_MAX] = {};
    info->err->format_message(info, text);
    return text;
}

void jpegErrorExit(j_common_ptr info) {
    JpegError* error = reinterpret_cast<JpegError*>(info->err);
    error->request->why = "corrupt JPEG data (" + jpegMessage(info) + ")";
    std::longjmp(error->jump, 1);
}

// libjpeg goes on after a file that ends early, filling the rest of the picture with grey; here
// that ends the decoding. Other warnings (stray bytes between markers) leave a usable picture.
void jpegEmitMessage(j_common_ptr info, int level) {
    if (level >= 0 || info->err->msg_code != JWRN_JPEG_EOF) return;
    JpegError* error = reinterpret_cast<JpegError*>(info->err);
    error->request->why = "the file ends before the picture does";
    std::longjmp(error->jump, 1);
}

// Runs under the error jump; see readPng.
bool readJpeg(jpeg_decompress_struct& info, JpegError& error, FILE* file, DecodedImage& out,
              JOCTET*& profile, unsigned int& profileLength) {
    if (setjmp(error.jump)) return false;
    jpeg_stdio_src(&info, file);
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        error.request->why = "CMYK JPEGs are not supported";
        return false;
    }
    if (!sizeAcceptable(info.image_width, info.image_height, *error.request)) return false;
    if (!jpeg_read_icc_profile(&info, &profile, &profileLength)) profile = nullptr;
    info.out_color_space = JCS_EXT_RGBA;
    jpeg_start_decompress(&info);

    out.width = static_cast<int>(info.output_width);
    out.height = static_cast<int>(info.output_height);
    out.format = GL_RGBA;
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 4);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row =
            out.pixels.data() + static_cast<std::size_t>(info.output_scanline) * out.width * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

bool decodeJpeg(FILE* file, DecodedImage& out, DecodeRequest& request) {
    jpeg_decompress_struct info;
    JpegError error;
    error.request = &request;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpegErrorExit;
    error.manager.emit_message = jpegEmitMessage;
    jpeg_create_decompress(&info);
    JOCTET* profile = nullptr;
    unsigned int profileLength = 0;
    bool ok = readJpeg(info, error, file, out, profile, profileLength);
    jpeg_destroy_decompress(&info);
    if (ok && profile) convertToSrgb(profile, profileLength, out);
    std::free(profile);
    return ok;
}

}  // namespace

bool decodeImage(const std::string& path, DecodedImage& out, std::string* why, int maxSide) {
    out = DecodedImage();
    DecodeRequest request;
    request.maxSide = maxSide;
    std::string refused;
    FileHandle file(openAssetFile(path, refused));
    if (!file) {
        if (why) *why = refused;
        return false;
    }
    unsigned char signature[8] = {};
    std::size_t got = std::fread(signature, 1, sizeof signature, file.get());
    const bool unreadable = std::ferror(file.get()) != 0;
    std::rewind(file.get());
    bool ok = false;
    if (unreadable) {
        request.why = "it cannot be read (a folder?)";
    } else if (got == 8 && png_sig_cmp(signature, 0, 8) == 0) {
        ok = decodePng(file.get(), out, request);
    } else if (got >= 3 && signature[0] == 0xFF && signature[1] == 0xD8 && signature[2] == 0xFF) {
        ok = decodeJpeg(file.get(), out, request);
    } else {
        request.why = got == 0 ? "the file is empty" : "it is neither a PNG nor a JPEG file";
    }
    if (!ok) out = DecodedImage();
    if (why) *why = ok ? std::string() : request.why;
    return ok;
}
