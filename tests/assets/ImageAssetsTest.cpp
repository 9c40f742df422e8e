// The committed pictures are exactly what the generators make, and have the properties the
// scenes rely on: sizes, seamless tiling, transparent surroundings, a usable moss mask, and
// launcher files laid out as the Windows resource compiler expects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "ImageFile.h"
#include "ImageSet.h"
#include "LibraryFiles.h"

namespace {

const std::string kAssets = "assets/";

Picture load(const std::string& name) {
    Picture p;
    EXPECT_TRUE(readPicture(kAssets + name, p)) << name;
    return p;
}

int alphaAt(const Picture& p, int x, int y) {
    return p.rgba[(static_cast<size_t>(y) * p.width + x) * 4 + 3];
}

float luminance(const Picture& p, int x, int y) {
    const uint8_t* q = &p.rgba[(static_cast<size_t>(y) * p.width + x) * 4];
    return (0.299f * q[0] + 0.587f * q[1] + 0.114f * q[2]) / 255.0f;
}

// Mean absolute colour step between two columns (or rows when `rows`).
float stepBetween(const Picture& p, int a, int b, bool rows) {
    int n = rows ? p.width : p.height;
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < 3; ++c) {
            size_t ia = rows ? (static_cast<size_t>(a) * p.width + i)
                             : (static_cast<size_t>(i) * p.width + a);
            size_t ib = rows ? (static_cast<size_t>(b) * p.width + i)
                             : (static_cast<size_t>(i) * p.width + b);
            sum += std::abs(p.rgba[ia * 4 + c] - p.rgba[ib * 4 + c]);
        }
    return static_cast<float>(sum / (n * 3));
}

// The step across the wrap edge must look like an ordinary step between neighbouring columns
// (or rows): a picture that does not tile jumps there by several times the usual amount.
void expectSeamless(const Picture& p, bool rows, const std::string& name) {
    int size = rows ? p.height : p.width;
    std::vector<float> steps;
    for (int i = 1; i < size; ++i) steps.push_back(stepBetween(p, i - 1, i, rows));
    std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
    float median = steps[steps.size() / 2];
    EXPECT_LT(stepBetween(p, size - 1, 0, rows), 2.0f * median + 2.0f)
        << name << (rows ? " top/bottom" : " left/right");
}

}  // namespace

TEST(GeneratedImages, RegenerateToTheCommittedFiles) {
    std::string dir = makeScratchDir();
    ASSERT_FALSE(dir.empty());
    ASSERT_TRUE(generateImages(dir, "/usr/share/fonts/truetype/dejavu", {}));
    for (const std::string& name : imageFileNames()) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> made = readBytes(dir + "/" + name),
                             committed = readBytes(kAssets + name);
        ASSERT_FALSE(made.empty());
        ASSERT_FALSE(committed.empty()) << "not committed";
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".jpg") == 0) {
            // A different libjpeg may order bytes differently; the pixels must still agree.
            Picture a, b;
            ASSERT_TRUE(readPicture(dir + "/" + name, a));
            ASSERT_TRUE(readPicture(kAssets + name, b));
            ASSERT_EQ(a.rgba.size(), b.rgba.size());
            int worst = 0;
            for (size_t i = 0; i < a.rgba.size(); ++i)
                worst = std::max(worst, std::abs(a.rgba[i] - b.rgba[i]));
            EXPECT_LE(worst, 1);
        } else {
            EXPECT_TRUE(made == committed) << "bytes differ: run `make assets` and commit";
        }
    }
    removeDir(dir);
}

TEST(GeneratedImages, HaveTheSizesTheScenesExpectWithinTheBudget) {
    const std::map<std::string, std::pair<int, int>> sizes = {{"quarncliff.jpg", {1024, 1024}},
                                                              {"brick.jpg", {1024, 1024}},
                                                              {"moss.jpg", {1024, 1024}},
                                                              {"sand.jpg", {1024, 1024}},
                                                              {"newlogo.png", {1024, 528}},
                                                              {"newlogo2.png", {1024, 528}},
                                                              {"biglogo_bg.png", {1024, 700}},
                                                              {"biglogo_up.png", {1024, 700}},
                                                              {"biglogo_down.png", {1024, 700}},
                                                              {"credits.png", {1280, 720}},
                                                              {"attention.png", {1024, 146}},
                                                              {"mirramirra.png", {1024, 352}},
                                                              {"borders.png", {1280, 720}},
                                                              {"rec.png", {256, 128}},
                                                              {"introparticle.png", {64, 64}},
                                                              {"overlayfont.png", {128, 96}},
                                                              {"launcher/launcher.png", {145, 100}},
                                                              {"launcher/velmora.png", {16, 16}}};
    size_t total = 0;
    for (const std::string& name : imageFileNames()) {
        size_t bytes = readBytes(kAssets + name).size();
        total += bytes;
        if (name.find(".jpg") != std::string::npos) {
            EXPECT_LE(bytes, 600u * 1024u) << name;
        }
        auto expected = sizes.find(name);
        if (expected == sizes.end()) continue;
        Picture p = load(name);
        EXPECT_EQ(p.width, expected->second.first) << name;
        EXPECT_EQ(p.height, expected->second.second) << name;
    }
    EXPECT_EQ(imageFileNames().size(), sizes.size() + 2);  // plus the BMP and the ICO
    EXPECT_LE(total, 4u * 1024u * 1024u);
}

TEST(SurfaceTextures, TileSeamlesslyInBothDirections) {
    for (const char* name : {"quarncliff.jpg", "brick.jpg", "moss.jpg", "sand.jpg"}) {
        Picture p = load(name);
        ASSERT_EQ(p.width, 1024);
        expectSeamless(p, false, name);
        expectSeamless(p, true, name);
    }
}

TEST(SurfaceTextures, MossBrightnessSeparatesMossFromBareGround) {
    // The shaders blend by the moss picture's brightness: it must be mostly clearly dark or
    // clearly bright, with both well represented.
    Picture p = load("moss.jpg");
    int dark = 0, bright = 0, n = 0;
    for (int y = 0; y < p.height; y += 4)
        for (int x = 0; x < p.width; x += 4, ++n) {
            float l = luminance(p, x, y);
            dark += l < 0.22f;
            bright += l > 0.38f;
        }
    EXPECT_GT(dark, n / 4);
    EXPECT_GT(bright, n / 4);
    EXPECT_GT(dark + bright, n * 7 / 10);
}

TEST(Overlays, LeaveTheirSurroundingsTransparent) {
    // Nothing is cut off at the edges of the pictures laid over the scenes.
    for (const char* name : {"newlogo.png", "newlogo2.png", "biglogo_up.png", "biglogo_down.png",
                             "rec.png", "introparticle.png", "credits.png"}) {
        Picture p = load(name);
        int worst = 0;
        for (int x = 0; x < p.width; ++x)
            worst = std::max({worst, alphaAt(p, x, 0), alphaAt(p, x, p.height - 1)});
        for (int y = 0; y < p.height; ++y)
            worst = std::max({worst, alphaAt(p, 0, y), alphaAt(p, p.width - 1, y)});
        EXPECT_EQ(worst, 0) << name;
    }
    // The viewfinder keeps the picture clear: only marks near the edges and the small centre cross.
    Picture borders = load("borders.png");
    int covered = 0;
    for (int y = 160; y < 560; ++y)
        for (int x = 200; x < 1080; ++x)
            if (std::abs(x - 640) > 40 || std::abs(y - 360) > 40)
                covered += alphaAt(borders, x, y) > 0;
    EXPECT_EQ(covered, 0);
    EXPECT_GT(alphaAt(borders, 46, 46), 200);  // a corner bracket
}

TEST(Overlays, GroupLogoSitsInTheMiddleOfItsPicture) {
    // The intro shows both logo pictures on a quad centred on the screen: their artwork must
    // balance on the picture's middle, or the logo sits off centre on every screen.
    for (const char* name : {"newlogo.png", "newlogo2.png"}) {
        Picture p = load(name);
        double weight = 0.0, moment = 0.0;
        int left = p.width, right = -1;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                int a = alphaAt(p, x, y);
                if (a <= 16) continue;
                weight += a;
                moment += a * (x + 0.5);
                left = std::min(left, x);
                right = std::max(right, x);
            }
        ASSERT_GT(weight, 0.0) << name;
        EXPECT_NEAR(moment / weight, 0.5 * p.width, 0.015 * p.width) << name;
        EXPECT_NEAR(0.5 * (left + right + 1), 0.5 * p.width, 0.015 * p.width) << name;
    }
}

TEST(Overlays, TitleHalvesSplitTheLetteringWithoutOverlap) {
    Picture up = load("biglogo_up.png"), down = load("biglogo_down.png");
    int upOnly = 0, downOnly = 0, both = 0, lastUpRow = -1, firstDownRow = down.height;
    for (int y = 0; y < up.height; ++y)
        for (int x = 0; x < up.width; ++x) {
            bool u = alphaAt(up, x, y) > 0, d = alphaAt(down, x, y) > 0;
            both += u && d;
            upOnly += u && !d;
            downOnly += d && !u;
            if (u) lastUpRow = y;
            if (d) firstDownRow = std::min(firstDownRow, y);
        }
    EXPECT_EQ(both, 0);
    EXPECT_GT(upOnly, 20000);
    EXPECT_GT(downOnly, 20000);
    EXPECT_EQ(firstDownRow, lastUpRow + 1);
}

TEST(Overlays, BannerTilesSidewaysAndDustMoteIsRound) {
    Picture band = load("attention.png");
    expectSeamless(band, false, "attention.png");

    Picture mote = load("introparticle.png");
    int centre = alphaAt(mote, 32, 32);
    EXPECT_GT(centre, 200);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(alphaAt(mote, x, y), alphaAt(mote, 63 - x, y));
            ASSERT_EQ(alphaAt(mote, x, y), alphaAt(mote, y, x));
            ASSERT_LE(alphaAt(mote, x, y), centre);
        }
}

TEST(LauncherArt, BitmapIsFourBitBottomUpAndMatchesItsPng) {
    std::vector<uint8_t> bmp = readBytes(kAssets + "launcher/launcher.bmp");
    ASSERT_GE(bmp.size(), 118u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(le32(bmp, 2), bmp.size());
    EXPECT_EQ(le32(bmp, 10), 14u + 40u + 64u);
    EXPECT_EQ(le32(bmp, 18), 145u);
    EXPECT_EQ(le32(bmp, 22), 100u);            // positive: bottom-up rows
    EXPECT_EQ(le32(bmp, 46), 16u);             // palette entries
    EXPECT_EQ(bmp.size(), 118u + 76u * 100u);  // 145 pixels of 4 bits padded to 76 bytes
    int width = 0;
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(decodeDib4(bmp, 14, 100, width, rgba));
    Picture png = load("launcher/launcher.png");
    EXPECT_EQ(width, png.width);
    EXPECT_TRUE(rgba == png.rgba);
}

TEST(LauncherArt, IconHoldsOneFourBitImageWhoseMaskMatchesThePng) {
    std::vector<uint8_t> ico = readBytes(kAssets + "launcher/velmora.ico");
    ASSERT_EQ(ico.size(), 6u + 16u + 40u + 64u + 128u + 64u);
    EXPECT_EQ(le16(ico, 2), 1u);  // icon
    EXPECT_EQ(le16(ico, 4), 1u);  // one image
    EXPECT_EQ(ico[6], 16);
    EXPECT_EQ(ico[7], 16);
    EXPECT_EQ(ico[8], 16);              // colours
    EXPECT_EQ(le16(ico, 12), 4u);       // bits per pixel
    EXPECT_EQ(le32(ico, 14), 296u);     // bytes in the image
    EXPECT_EQ(le32(ico, 18), 22u);      // where it starts
    EXPECT_EQ(le32(ico, 22 + 8), 32u);  // colour rows plus mask rows
    int width = 0;
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(decodeDib4(ico, 22, 16, width, rgba));
    Picture png = load("launcher/velmora.png");
    const size_t mask = 22 + 40 + 64 + 128;
    int clear = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            bool transparent = ico[mask + (15 - y) * 4 + x / 8] & (0x80 >> (x % 8));
            size_t i = (static_cast<size_t>(y) * 16 + x) * 4;
            clear += transparent;
            EXPECT_EQ(png.rgba[i + 3], transparent ? 0 : 255) << x << "," << y;
            if (!transparent) {
                EXPECT_TRUE(std::equal(&rgba[i], &rgba[i + 3], &png.rgba[i])) << x << "," << y;
            }
        }
    EXPECT_GT(clear, 0);  // rounded corners
    EXPECT_LT(clear, 32);
}
