#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/DemoWindow.h"
#include "support/GlTestContext.h"

TEST(HeadlessWindow, PresentsTheStartupClearColourAndEndsWhenAsked) {
    GlTestContext context(32, 16);
    ASSERT_TRUE(context.ok());
    DemoWindow& window = context.window();

    gl.glClearColor(0.05f, 0.06f, 0.07f, 0.0f);
    gl.glClear(GL_COLOR_BUFFER_BIT);
    std::vector<std::uint8_t> pixels(32 * 16 * 4);
    gl.glReadPixels(0, 0, 32, 16, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    EXPECT_EQ(pixels[0], 13);
    EXPECT_EQ(pixels[1], 15);
    EXPECT_EQ(pixels[2], 18);

    EXPECT_TRUE(window.pump());
    window.endRequested = 1;
    EXPECT_FALSE(window.pump());
}
