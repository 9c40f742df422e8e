// The measure behind the driver check: what counts as a difference, and what does not.
#include <gtest/gtest.h>

#include <string>

#include "FrameDifference.h"

namespace {

Picture flat(int width, int height, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    Picture p;
    p.width = width;
    p.height = height;
    for (int i = 0; i < width * height; ++i) p.rgba.insert(p.rgba.end(), {r, g, b, a});
    return p;
}

void setPixel(Picture& p, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t* px = &p.rgba[(static_cast<size_t>(y) * p.width + x) * 4];
    px[0] = r;
    px[1] = g;
    px[2] = b;
}

TEST(FrameDifference, MeasuresTheMeanOverColourChannelsAndTheShareFarOff) {
    const Picture a = flat(10, 10, 100, 100, 100);
    Picture b = a;
    std::string error;
    FrameDifference d;
    ASSERT_TRUE(FrameDifference::measure(a, b, d, error)) << error;
    EXPECT_EQ(d.meanAbsolute, 0.0);
    EXPECT_EQ(d.shareOff, 0.0);
    EXPECT_EQ(d.largest, 0);

    // One pixel off by 40 in red (far off), one by 32 in blue (not far off: the limit is "more
    // than 32"), in either direction.
    setPixel(b, 3, 4, 140, 100, 100);
    setPixel(b, 7, 9, 100, 100, 68);
    ASSERT_TRUE(FrameDifference::measure(a, b, d, error)) << error;
    EXPECT_DOUBLE_EQ(d.meanAbsolute, (40.0 + 32.0) / 300.0);
    EXPECT_DOUBLE_EQ(d.shareOff, 0.01);
    EXPECT_EQ(d.largest, 40);

    // The measure is symmetric.
    FrameDifference back;
    ASSERT_TRUE(FrameDifference::measure(b, a, back, error)) << error;
    EXPECT_EQ(back.meanAbsolute, d.meanAbsolute);
    EXPECT_EQ(back.shareOff, d.shareOff);
}

TEST(FrameDifference, IgnoresTheAlphaADriverLeavesBehind) {
    FrameDifference d;
    std::string error;
    ASSERT_TRUE(
        FrameDifference::measure(flat(4, 4, 10, 20, 30, 0), flat(4, 4, 10, 20, 30, 255), d, error));
    EXPECT_EQ(d.meanAbsolute, 0.0);
    EXPECT_EQ(d.shareOff, 0.0);
}

TEST(FrameDifference, RefusesPicturesOfDifferentSizesOrNone) {
    FrameDifference d;
    std::string error;
    EXPECT_FALSE(FrameDifference::measure(flat(4, 4, 0, 0, 0), flat(4, 3, 0, 0, 0), d, error));
    EXPECT_NE(error.find("4x4"), std::string::npos) << error;
    EXPECT_NE(error.find("4x3"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(FrameDifference::measure(Picture(), Picture(), d, error));
    EXPECT_FALSE(error.empty());
    Picture truncated = flat(4, 4, 0, 0, 0);
    truncated.rgba.resize(10);
    EXPECT_FALSE(FrameDifference::measure(truncated, flat(4, 4, 0, 0, 0), d, error));
}

TEST(FrameDifference, MapShowsSmallDifferencesGreyAndFarOnesRed) {
    const Picture a = flat(3, 1, 50, 50, 50);
    Picture b = a;
    setPixel(b, 1, 0, 54, 50, 50);  // 4 off: grey 32
    setPixel(b, 2, 0, 50, 10, 50);  // 40 off: red
    const Picture m = FrameDifference::map(a, b);
    ASSERT_EQ(m.width, 3);
    ASSERT_EQ(m.height, 1);
    const auto pixel = [&](int x) {
        return std::vector<int>(m.rgba.begin() + x * 4, m.rgba.begin() + x * 4 + 4);
    };
    EXPECT_EQ(pixel(0), (std::vector<int>{0, 0, 0, 255}));
    EXPECT_EQ(pixel(1), (std::vector<int>{32, 32, 32, 255}));
    EXPECT_EQ(pixel(2), (std::vector<int>{255, 0, 0, 255}));
}

}  // namespace
