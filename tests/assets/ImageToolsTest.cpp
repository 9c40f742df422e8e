// The picture toolkit under the generators: tiling noise, distance fields, the hand-written
// 16-colour Windows formats, file reading of bad input, and the contact sheet.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "ContactSheet.h"
#include "DistanceField.h"
#include "Font.h"
#include "ImageFile.h"
#include "IndexedImage.h"
#include "LibraryFiles.h"
#include "PeriodicNoise.h"
#include "WindowsResourceFiles.h"

namespace {

IndexedImage paletteRamp(int width, int height) {
    IndexedImage image;
    image.width = width;
    image.height = height;
    for (int i = 0; i < 16; ++i)
        image.palette[i] = {static_cast<uint8_t>(i * 16), static_cast<uint8_t>(255 - i * 16), 7};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.indices.push_back(static_cast<uint8_t>((x + 3 * y) % 16));
    image.transparent.assign(image.indices.size(), 0);
    return image;
}

class ScratchDir : public ::testing::Test {
protected:
    void SetUp() override {
        dir = makeScratchDir();
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override { removeDir(dir); }
    std::string dir;
};

}  // namespace

TEST(PeriodicNoise, RepeatsExactlyOneTileAway) {
    for (float u : {0.03f, 0.37f, 0.71f, 0.999f})
        for (float v : {0.11f, 0.52f, 0.93f}) {
            // Shifting by one whole tile moves every lattice coordinate by a whole period.
            EXPECT_NEAR(noise::fbm(u, v, 3, 5, 6, 0.5f, 9u),
                        noise::fbm(u + 1.0f, v - 1.0f, 3, 5, 6, 0.5f, 9u), 2e-3f);
            EXPECT_NEAR(noise::value(u, v, 7, 7, 1u), noise::value(u - 1.0f, v + 2.0f, 7, 7, 1u),
                        2e-3f);
            noise::Cell a = noise::cellular(u, v, 6, 4, 1.0f, 5u),
                        b = noise::cellular(u + 1.0f, v + 1.0f, 6, 4, 1.0f, 5u);
            EXPECT_NEAR(a.f1, b.f1, 2e-3f);
            EXPECT_EQ(a.id, b.id);
        }
    // And it is not flat: different places differ.
    EXPECT_GT(std::fabs(noise::fbm(0.1f, 0.1f, 4, 4, 4, 0.5f, 2u) -
                        noise::fbm(0.6f, 0.3f, 4, 4, 4, 0.5f, 2u)),
              1e-3f);
}

TEST(DistanceField, MeasuresInsideNegativeAndOutsidePositiveInPixels) {
    Plane square(40, 40);
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 30; ++x) square.at(x, y) = 1.0f;
    Plane d = signedDistance(square);
    EXPECT_FLOAT_EQ(d.at(10, 20), -0.5f);  // first pixel inside the left edge
    EXPECT_FLOAT_EQ(d.at(9, 20), 0.5f);    // last pixel outside it
    EXPECT_FLOAT_EQ(d.at(19, 20), -9.5f);  // centre row, ten pixels in
    EXPECT_FLOAT_EQ(d.at(2, 20), 7.5f);
    EXPECT_NEAR(d.at(5, 5), std::hypot(5.0f, 5.0f) - 0.5f, 1e-4f);  // beyond a corner
    Plane half = downsample(d, 2, 0.5f);
    EXPECT_EQ(half.width(), 20);
    EXPECT_NEAR(half.at(2, 10), (d.at(4, 20) + d.at(5, 20) + d.at(4, 21) + d.at(5, 21)) / 8.0f,
                1e-5f);
}

TEST(Font, SetsTextWhereItsMeasureSaysAndSurvivesBadInput) {
    Font font("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
    ASSERT_TRUE(font.ok());
    TextStyle style;
    style.size = 40.0f;
    Plane p(400, 80);
    font.drawCentred(p, "ZORVEK", style, 200.0f, 60.0f);
    int left = 400, right = -1, top = 80;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 400; ++x)
            if (p.at(x, y) > 0.5f)
                left = std::min(left, x), right = std::max(right, x), top = std::min(top, y);
    float width = font.advance("ZORVEK", style);
    EXPECT_NEAR(0.5f * (left + right), 200.0f, 3.0f);
    EXPECT_NEAR(right - left, width, 6.0f);
    EXPECT_NEAR(60 - top, font.capHeight(style), 2.0f);
    // Squeezing scales the measure; tracking adds to every gap.
    TextStyle squeezed = style;
    squeezed.xScale = 0.5f;
    EXPECT_NEAR(font.advance("ZORVEK", squeezed), 0.5f * width, 1.0f);
    TextStyle spaced = style;
    spaced.tracking = 10.0f;
    EXPECT_NEAR(font.advance("ZORVEK", spaced), width + 50.0f, 0.5f);

    // Broken UTF-8 and text running off the plane are drawn as far as they go.
    Plane small(20, 20);
    font.draw(small, "\xE2\x97 \xFF\xC3", style, -30.0f, 200.0f);
    font.draw(small, "WWWW", style, 5.0f, 15.0f);
    testing::internal::CaptureStdout();
    Font missing("/nonexistent/font.ttf");
    EXPECT_NE(testing::internal::GetCapturedStdout().find("/nonexistent/font.ttf"),
              std::string::npos);
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.advance("ZORVEK", style), 0.0f);
}

TEST(Image, CompositesStraightAlphaAndBleedsColourIntoClearPixels) {
    Image image(3, 1);
    image.paint(0, 0, rgb(255, 0, 0), 1.0f);
    image.paint(1, 0, rgb(0, 0, 255, 0.5f), 1.0f);
    image.paint(1, 0, rgb(255, 0, 0, 0.5f), 1.0f);  // half red over half blue
    image.paint(5, 0, rgb(0, 255, 0), 1.0f);        // outside: ignored
    EXPECT_FLOAT_EQ(image.at(1, 0).a, 0.75f);
    EXPECT_NEAR(image.at(1, 0).r, 2.0f / 3.0f, 1e-6f);
    EXPECT_NEAR(image.at(1, 0).b, 1.0f / 3.0f, 1e-6f);
    image.bleedIntoTransparent(1);
    EXPECT_EQ(image.at(2, 0).a, 0.0f);
    EXPECT_NEAR(image.at(2, 0).r, 2.0f / 3.0f, 1e-6f);  // takes its visible neighbour's colour
}

TEST(IndexedImage, DitheringKeepsTheAverageAndCrispPixelsTakeTheNearestColour) {
    std::array<std::array<uint8_t, 3>, 16> palette{};
    for (int i = 0; i < 16; ++i)
        palette[i] = {static_cast<uint8_t>(i * 17), static_cast<uint8_t>(i * 17),
                      static_cast<uint8_t>(i * 17)};
    Image grey(32, 32, rgb(100, 100, 100));
    grey.at(0, 0).a = 0.2f;
    Plane crisp(32, 32);
    crisp.at(31, 31) = 1.0f;
    IndexedImage q = quantize(grey, palette, true, crisp);
    EXPECT_EQ(q.transparent[0], 1);
    double sum = 0.0;
    for (size_t i = 1; i < q.indices.size(); ++i) sum += q.indices[i] * 17.0;
    EXPECT_NEAR(sum / (q.indices.size() - 1), 100.0, 1.5);  // between entries 5 (85) and 6 (102)
    EXPECT_EQ(q.indices.back(), 6);                         // nearest, undithered
    IndexedImage flat = quantize(grey, palette, false, Plane());
    EXPECT_EQ(flat.indices[5], 6);
}

TEST_F(ScratchDir, BitmapRowsArePaddedAndStoredBottomUp) {
    IndexedImage image = paletteRamp(3, 2);
    ASSERT_TRUE(writeBmp4(dir + "/t.bmp", image));
    std::vector<uint8_t> b = readBytes(dir + "/t.bmp");
    ASSERT_EQ(b.size(), 118u + 2u * 4u);  // 3 pixels of 4 bits round up to a 4-byte row
    EXPECT_EQ(le32(b, 34), 8u);           // image size
    // Palette entries are blue, green, red, 0.
    EXPECT_EQ(b[54 + 4 * 2 + 0], 7);
    EXPECT_EQ(b[54 + 4 * 2 + 1], 255 - 32);
    EXPECT_EQ(b[54 + 4 * 2 + 2], 32);
    // Bottom row (indices 3, 4, 5) first, left pixel in the high nibble, padding zero.
    const uint8_t expected[8] = {0x34, 0x50, 0, 0, 0x01, 0x20, 0, 0};
    EXPECT_TRUE(std::equal(expected, expected + 8, b.begin() + 118));
}

TEST_F(ScratchDir, IconMaskMarksTransparentPixelsAndClearsTheirColour) {
    IndexedImage image = paletteRamp(16, 16);
    image.transparent[0] = 1;             // top-left
    image.transparent[16 * 15 + 15] = 1;  // bottom-right
    ASSERT_TRUE(writeIco4(dir + "/t.ico", image));
    std::vector<uint8_t> b = readBytes(dir + "/t.ico");
    ASSERT_EQ(b.size(), 318u);
    const size_t pixels = 22 + 40 + 64, mask = pixels + 128;
    EXPECT_EQ(b[mask + 0 * 4 + 1], 0x01);   // bottom row first: its last pixel
    EXPECT_EQ(b[mask + 15 * 4 + 0], 0x80);  // top row, first pixel
    EXPECT_EQ(b[pixels + 15 * 8] >> 4, 0);  // the transparent pixel's colour is index 0
    EXPECT_EQ(b[mask + 15 * 4 + 2], 0);     // row padding
    IndexedImage tooBig = paletteRamp(300, 2);
    EXPECT_FALSE(writeIco4(dir + "/big.ico", tooBig));
}

TEST_F(ScratchDir, PicturesRoundTripAndBadFilesAreRefusedCleanly) {
    std::vector<uint8_t> rgba;
    for (int i = 0; i < 6; ++i)
        rgba.insert(rgba.end(), {uint8_t(i * 40), uint8_t(200 - i * 30), 9, uint8_t(i * 50)});
    ASSERT_TRUE(writePng(dir + "/a.png", 3, 2, rgba));
    Picture p;
    ASSERT_TRUE(readPicture(dir + "/a.png", p));
    EXPECT_EQ(p.width, 3);
    EXPECT_EQ(p.height, 2);
    EXPECT_TRUE(p.rgba == rgba);

    std::vector<uint8_t> rgb(64 * 32 * 3, 128);
    ASSERT_TRUE(writeJpeg(dir + "/a.jpg", 64, 32, rgb, 88));
    ASSERT_TRUE(readPicture(dir + "/a.jpg", p));
    EXPECT_EQ(p.width, 64);
    EXPECT_NEAR(p.rgba[0], 128, 1);

    // Truncated files, a file of another kind and a missing file each fail with a message.
    std::vector<uint8_t> png = readBytes(dir + "/a.png"), jpg = readBytes(dir + "/a.jpg");
    std::ofstream(dir + "/cut.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), png.size() / 2);
    std::ofstream(dir + "/cut.jpg", std::ios::binary)
        .write(reinterpret_cast<const char*>(jpg.data()), 40);
    std::ofstream(dir + "/text.png") << "not a picture";
    for (const char* name : {"cut.png", "cut.jpg", "text.png", "missing.png"}) {
        Picture bad;
        testing::internal::CaptureStdout();
        EXPECT_FALSE(readPicture(dir + "/" + name, bad)) << name;
        EXPECT_NE(testing::internal::GetCapturedStdout().find(name), std::string::npos) << name;
        EXPECT_EQ(bad.width, 0);
    }
}

TEST_F(ScratchDir, ContactSheetLaysOutEveryFileAndMarksUnreadableOnes) {
    std::vector<uint8_t> wide(200 * 100 * 4, 255), small(16 * 16 * 4, 80);
    ASSERT_TRUE(writePng(dir + "/wide.png", 200, 100, wide));
    ASSERT_TRUE(writePng(dir + "/small.png", 16, 16, small));
    ContactSheet sheet(2, 100);
    sheet.add(dir + "/wide.png");
    sheet.add(dir + "/small.png");
    testing::internal::CaptureStdout();
    sheet.add(dir + "/missing.png");
    EXPECT_NE(testing::internal::GetCapturedStdout().find("missing.png"), std::string::npos);
    Image out = sheet.compose(nullptr);
    // Two columns of 100 with 12-pixel gaps; rows as tall as their tallest cell (the 16 x 16 is
    // enlarged to 96, the unreadable cell is 50) plus a label line.
    EXPECT_EQ(out.width(), 12 + 2 * (100 + 12));
    EXPECT_EQ(out.height(), 12 + (96 + 22 + 12) + (50 + 22 + 12));
    // The wide picture is scaled to 100 x 50 and drawn opaque white at the first cell.
    EXPECT_FLOAT_EQ(out.at(12 + 50, 12 + 25).r, 1.0f);
}
