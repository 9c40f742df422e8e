#include <png.h>

#include <cstdlib>
#include <memory>

#include "GlResourceTest.h"
#include "TestImages.h"
#include "gl/GlEntryTable.h"
#include "gl/ImageDecoder.h"
#include "gl/Texture2D.h"

namespace {

const char* const kAdobeRgbProfile = "/usr/share/color/icc/compatibleWithAdobeRGB1998.icc";

std::vector<std::uint8_t> readTexels(const Texture2D& texture) {
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(texture.width) * texture.height * 4);
    gl.glBindTexture(GL_TEXTURE_2D, texture.id);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

GLint levelParameter(const Texture2D& texture, GLenum name) {
    GLint value = 0;
    gl.glBindTexture(GL_TEXTURE_2D, texture.id);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

GLint textureParameter(const Texture2D& texture, GLenum name) {
    GLint value = 0;
    gl.glBindTexture(GL_TEXTURE_2D, texture.id);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

void expectNear(const std::uint8_t* texel, int r, int g, int b, int tolerance) {
    EXPECT_NEAR(texel[0], r, tolerance);
    EXPECT_NEAR(texel[1], g, tolerance);
    EXPECT_NEAR(texel[2], b, tolerance);
}

class Texture2DTest : public GlResourceTest {};

TEST_F(Texture2DTest, PngWithAlphaUploadsTopRowFirstWithAlphaIntact) {
    // 3 x 2, top row red, green, blue; bottom row half-transparent grey, clear white, black.
    const std::vector<std::uint8_t> pixels = {255, 0,   0,   255, 0,   255, 0,   200,
                                              0,   0,   255, 100, 128, 128, 128, 128,
                                              255, 255, 255, 0,   0,   0,   0,   255};
    std::string path = tempPath("rgba.png");
    ASSERT_TRUE(writeTestPng(path, 3, 2, pixels));
    beginCapture();
    std::unique_ptr<Texture2D> texture(Texture2D::fromImage(path, GL_LINEAR));
    EXPECT_EQ(endCapture(), "");
    EXPECT_EQ(texture->width, 3);
    EXPECT_EQ(texture->height, 2);
    EXPECT_EQ(levelParameter(*texture, GL_TEXTURE_WIDTH), 3);
    EXPECT_EQ(levelParameter(*texture, GL_TEXTURE_HEIGHT), 2);
    EXPECT_EQ(levelParameter(*texture, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    EXPECT_EQ(readTexels(*texture), pixels);  // straight alpha: colours not premultiplied

    EXPECT_EQ(textureParameter(*texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(*texture, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(textureParameter(*texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(*texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    GLint bound = -1;
    gl.glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);

    std::unique_ptr<Texture2D> nearest(Texture2D::fromImage(path, GL_NEAREST));
    EXPECT_EQ(textureParameter(*nearest, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(textureParameter(*nearest, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
}

TEST_F(Texture2DTest, ImageTexturesUseTheMaximumAnisotropyWhereOffered) {
    GLfloat maximum = 0.0f;
    gl.glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maximum);
    while (glGetError() != GL_NO_ERROR) {
    }
    if (maximum < 1.0f) GTEST_SKIP() << "no anisotropic filtering on this driver";
    std::string path = tempPath("aniso.png");
    ASSERT_TRUE(writeTestPng(path, 1, 1, {1, 2, 3, 4}));
    std::unique_ptr<Texture2D> texture(Texture2D::fromImage(path, GL_LINEAR));
    GLfloat value = 0.0f;
    gl.glBindTexture(GL_TEXTURE_2D, texture->id);
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &value);
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(value, maximum);
}

TEST_F(Texture2DTest, EmbeddedAdobeRgbProfileIsConvertedToSrgb) {
    std::vector<std::uint8_t> icc = readFileBytes(kAdobeRgbProfile);
    ASSERT_FALSE(icc.empty()) << kAdobeRgbProfile;
    std::vector<std::uint8_t> rgb;
    std::vector<std::uint8_t> rgba;
    for (int i = 0; i < 16 * 16; ++i) {
        rgb.insert(rgb.end(), {0, 200, 60});
        rgba.insert(rgba.end(), {0, 200, 60, 77});
    }
    std::string plainJpeg = tempPath("plain.jpg");
    std::string adobeJpeg = tempPath("adobe.jpg");
    std::string adobePng = tempPath("adobe.png");
    ASSERT_TRUE(writeTestJpeg(plainJpeg, 16, 16, rgb));
    ASSERT_TRUE(writeTestJpeg(adobeJpeg, 16, 16, rgb, icc));
    ASSERT_TRUE(writeTestPng(adobePng, 16, 16, rgba, icc));

    // JPEG's colour rounding moves a channel by a step or two; the conversion moves blue by 23.
    std::unique_ptr<Texture2D> plain(Texture2D::fromImage(plainJpeg, GL_LINEAR));
    ASSERT_EQ(plain->width, 16);
    expectNear(readTexels(*plain).data(), 0, 200, 60, 3);
    EXPECT_EQ(readTexels(*plain)[3], 255);

    std::unique_ptr<Texture2D> jpeg(Texture2D::fromImage(adobeJpeg, GL_LINEAR));
    ASSERT_EQ(jpeg->height, 16);
    expectNear(readTexels(*jpeg).data(), 0, 201, 37, 3);

    std::unique_ptr<Texture2D> png(Texture2D::fromImage(adobePng, GL_LINEAR));
    std::vector<std::uint8_t> texels = readTexels(*png);
    expectNear(texels.data(), 0, 201, 37, 1);
    EXPECT_EQ(texels[3], 77);
}

TEST_F(Texture2DTest, GreyAndPalettePngsExpandToRgba) {
    std::string path = tempPath("grey.png");
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = 2;
    image.height = 1;
    image.format = PNG_FORMAT_GRAY;
    const std::uint8_t grey[] = {100, 7};
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, grey, 0, nullptr));
    DecodedImage decoded;
    ASSERT_TRUE(decodeImage(path, decoded));
    EXPECT_EQ(decoded.format, static_cast<GLenum>(GL_RGBA));
    EXPECT_EQ(decoded.pixels, (std::vector<std::uint8_t>{100, 100, 100, 255, 7, 7, 7, 255}));

    image.format = PNG_FORMAT_RGB_COLORMAP;
    image.colormap_entries = 2;
    const std::uint8_t indices[] = {1, 0};
    const std::uint8_t colormap[] = {10, 20, 30, 40, 50, 60};
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, indices, 0, colormap));
    ASSERT_TRUE(decodeImage(path, decoded));
    EXPECT_EQ(decoded.pixels, (std::vector<std::uint8_t>{40, 50, 60, 255, 10, 20, 30, 255}));
}

void expectEmpty(const Texture2D& texture) {
    EXPECT_EQ(texture.width, 0);
    EXPECT_EQ(texture.height, 0);
    EXPECT_NE(texture.id, 0u);
    EXPECT_EQ(levelParameter(texture, GL_TEXTURE_WIDTH), 0);
}

TEST_F(Texture2DTest, MissingImageGivesAnEmptyTextureAndThePlainMessage) {
    for (const std::string& path : {tempPath("missing.png"), std::string("")}) {
        beginCapture();
        std::unique_ptr<Texture2D> texture(Texture2D::fromImage(path, GL_LINEAR));
        EXPECT_EQ(endCapture(), "Unable to load texture " + path + "\n");
        expectEmpty(*texture);
    }
}

// Every file that opens but gives no picture: one line with the path and the reason.
TEST_F(Texture2DTest, BrokenTruncatedOrOversizedImageGivesAnEmptyTextureAndSaysWhy) {
    std::string good = tempPath("good.png");
    ASSERT_TRUE(writeTestPng(good, 4, 4, std::vector<std::uint8_t>(64, 9)));
    std::vector<std::uint8_t> bytes = readFileBytes(good);
    std::string goodJpeg = tempPath("good.jpg");
    ASSERT_TRUE(writeTestJpeg(goodJpeg, 64, 64, std::vector<std::uint8_t>(64 * 64 * 3, 200)));
    std::vector<std::uint8_t> jpeg = readFileBytes(goodJpeg);
    GLint maxSide = 0;
    gl.glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    std::string wide = tempPath("wide.png");
    ASSERT_TRUE(writeTestPng(wide, maxSide + 1, 2,
                             std::vector<std::uint8_t>(static_cast<std::size_t>(maxSide + 1) * 8)));
    const std::string wideSize = std::to_string(maxSide + 1) + "x2";

    const struct {
        std::string path;
        std::string why;
    } cases[] = {
        {writeFile("truncated.png", std::string(bytes.begin(), bytes.begin() + bytes.size() / 2)),
         "the file ends before the picture does"},
        // libjpeg would go on and fill the missing half with grey.
        {writeFile("truncated.jpg", std::string(jpeg.begin(), jpeg.begin() + jpeg.size() / 2)),
         "the file ends before the picture does"},
        {writeFile("header.jpg", "\xFF\xD8\xFF\xE0"), "the file ends before the picture does"},
        {writeFile("text.png", "not an image"), "it is neither a PNG nor a JPEG file"},
        {writeFile("empty.png", ""), "the file is empty"},
        {::testing::TempDir(), "it is not a regular file"},
        {wide, "it is " + wideSize + ", larger than the " + std::to_string(maxSide) +
                   " texels a side this OpenGL allows"},
    };
    for (const auto& c : cases) {
        beginCapture();
        std::unique_ptr<Texture2D> texture(Texture2D::fromImage(c.path, GL_LINEAR));
        EXPECT_EQ(endCapture(), "Unable to load texture " + c.path + ": " + c.why + "\n");
        expectEmpty(*texture);
    }

    // A scan before any frame header.
    const std::string corrupt("\xFF\xD8\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 12);
    beginCapture();
    std::unique_ptr<Texture2D> texture(
        Texture2D::fromImage(writeFile("corrupt.jpg", corrupt), GL_LINEAR));
    const std::string said = endCapture();
    EXPECT_NE(said.find(": corrupt JPEG data ("), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
}

TEST_F(Texture2DTest, EmptyTexturesAreFloatColourOrDepthAndStayBound) {
    std::unique_ptr<Texture2D> colour(Texture2D::createEmpty(40, 30, false));
    GLint bound = 0;
    gl.glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), colour->id);
    EXPECT_EQ(colour->width, 40);
    EXPECT_EQ(colour->height, 30);
    EXPECT_EQ(levelParameter(*colour, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA32F);
    EXPECT_EQ(levelParameter(*colour, GL_TEXTURE_WIDTH), 40);
    EXPECT_EQ(textureParameter(*colour, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(*colour, GL_TEXTURE_MIN_FILTER), GL_LINEAR);

    std::unique_ptr<Texture2D> depth(Texture2D::createEmpty(40, 30, true));
    EXPECT_EQ(levelParameter(*depth, GL_TEXTURE_INTERNAL_FORMAT), GL_DEPTH_COMPONENT24);
    EXPECT_EQ(levelParameter(*depth, GL_TEXTURE_HEIGHT), 30);
}

TEST_F(Texture2DTest, BindToUnitLeavesThatUnitActive) {
    std::unique_ptr<Texture2D> texture(Texture2D::createEmpty(2, 2, false));
    bindToUnit(4, *texture);
    GLint active = 0;
    GLint bound = 0;
    gl.glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    gl.glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(active, GL_TEXTURE4);
    EXPECT_EQ(static_cast<GLuint>(bound), texture->id);
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    gl.glActiveTexture(GL_TEXTURE0);
}

}  // namespace
