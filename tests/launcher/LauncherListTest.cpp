#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/LauncherList.h"

namespace {

DisplayMode mode(int w, int h, int bpp = 32, int hz = 60) {
    DisplayMode m;
    m.width = w;
    m.height = h;
    m.bitsPerPixel = bpp;
    m.refreshRate = hz;
    return m;
}

}  // namespace

TEST(LauncherList, OffersEachDistinct32Bit60HzSizeOnceInPlatformOrder) {
    const LauncherList list = buildLauncherList({
        mode(800, 600),
        mode(1920, 1080),
        mode(1920, 1080),  // the same mode reported twice
        mode(1280, 720, 32, 59),
        mode(1280, 720, 32, 75),
        mode(1280, 720, 16, 60),
        mode(1280, 720, 24, 60),
        mode(1280, 720, 32, 0),
        mode(1024, 768, 32, 1),
        mode(1280, 1024),
    });
    EXPECT_EQ(list.items, (std::vector<std::string>{"800x600\n", "1920x1080\n", "1280x1024\n"}));
}

TEST(LauncherList, PreselectsTheLastItemAtLeastAsLargeAsEveryEarlierPreselection) {
    EXPECT_EQ(buildLauncherList({}).preselect, 0);
    EXPECT_TRUE(buildLauncherList({}).items.empty());
    // The usual ascending order: the largest size, and of equal largest sizes the last.
    EXPECT_EQ(buildLauncherList({mode(640, 480), mode(800, 600), mode(1920, 1080)}).preselect, 2);
    EXPECT_EQ(
        buildLauncherList({mode(1920, 1080), mode(1920, 1080, 32, 75), mode(640, 480)}).preselect,
        0);
    // Both sides must be at least as large: a wider but lower size does not win.
    EXPECT_EQ(buildLauncherList({mode(1024, 768), mode(1280, 720), mode(800, 600)}).preselect, 0);
    EXPECT_EQ(buildLauncherList({mode(1280, 720), mode(1024, 768), mode(1280, 768)}).preselect, 2);
    // Sizes compare unsigned, as the platform's fields are: -1 is larger than any real size.
    EXPECT_EQ(buildLauncherList({mode(640, 480), mode(-1, 480), mode(800, 600)}).preselect, 1);
}

TEST(LauncherList, RemembersAtMost1024SizesButStillOffersLaterOnes) {
    std::vector<DisplayMode> modes;
    for (int i = 1; i <= 1030; ++i) modes.push_back(mode(i, 100));
    modes.push_back(mode(5, 100));     // remembered: skipped
    modes.push_back(mode(1030, 100));  // beyond the 1024 remembered: offered again
    const LauncherList list = buildLauncherList(modes);
    ASSERT_EQ(list.items.size(), 1031u);
    EXPECT_EQ(list.items[1023], "1024x100\n");
    EXPECT_EQ(list.items.back(), "1030x100\n");
    EXPECT_EQ(list.preselect, 1030);
}

TEST(LauncherList, ParsesLikeTheDecimalFormatWithAnXBetween) {
    struct Case {
        const char* text;
        int width, height;
    };
    const Case cases[] = {
        {"800x600", 800, 600},
        {"1920x1080\n", 1920, 1080},  // an item's own text
        {"  640x 480", 640, 480},     // white space before each number is skipped
        {"+320x-200", 320, -200},
        {"1024", 1024, 7},  // no 'x': the height keeps its value
        {"1024x", 1024, 7},
        {"1024 x768", 1024, 7},  // the 'x' must follow the digits at once
        {"1024X768", 1024, 7},
        {"x768", 5, 7},
        {"", 5, 7},
        {"wide", 5, 7},
        {"99999999999x600", 5, 7},  // out of range: not a number
        {"2147483647x-2147483648", 2147483647, -2147483647 - 1},
        {"800x4294967296", 800, 7},
    };
    for (const Case& c : cases) {
        int w = 5, h = 7;
        parseResolution(c.text, w, h);
        EXPECT_EQ(w, c.width) << c.text;
        EXPECT_EQ(h, c.height) << c.text;
    }
    int w = 5, h = 7;
    parseResolution(nullptr, w, h);
    EXPECT_EQ(w, 5);
}

TEST(LauncherList, LaunchTakesOnlyASizeAboveZero) {
    int w = 0, h = 0;
    for (const char* refused : {"", "0x0", "800x", "800x0", "-800x600", "x600", "Resolution"}) {
        EXPECT_FALSE(chooseResolution(refused, w, h)) << refused;
        EXPECT_EQ(w, 0) << refused;
        EXPECT_EQ(h, 0) << refused;
    }
    // Typed, not in any list.
    EXPECT_TRUE(chooseResolution("800x600", w, h));
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    // A partial text completes the size already chosen, as the format leaves unmatched fields.
    EXPECT_TRUE(chooseResolution("1024", w, h));
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 600);
}
