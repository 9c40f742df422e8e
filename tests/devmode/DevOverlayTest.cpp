#include <cstdint>
#include <vector>

#include "DevModeGlTest.h"
#include "app/dev/DevOverlay.h"
#include "gl/GlEntryTable.h"
#include "gl/Texture2D.h"

namespace {

struct Pixels {
    std::vector<std::uint8_t> rgba;
    // (x, y) from the top left, as the overlay places its text.
    const std::uint8_t* at(int x, int y) const {
        return &rgba[(static_cast<std::size_t>(DevModeGlTest::kHeight - 1 - y) *
                          DevModeGlTest::kWidth +
                      x) *
                     4];
    }
};

Pixels readBack() {
    Pixels p;
    p.rgba.resize(static_cast<std::size_t>(DevModeGlTest::kWidth) * DevModeGlTest::kHeight * 4);
    gl.glReadPixels(0, 0, DevModeGlTest::kWidth, DevModeGlTest::kHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                    p.rgba.data());
    return p;
}

std::vector<GLint> state() {
    std::vector<GLint> s;
    for (GLenum name : {GL_CURRENT_PROGRAM, GL_VERTEX_ARRAY_BINDING, GL_ARRAY_BUFFER_BINDING,
                        GL_ACTIVE_TEXTURE, GL_TEXTURE_BINDING_2D, GL_DRAW_FRAMEBUFFER_BINDING,
                        GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_SCISSOR_TEST, GL_BLEND_SRC_RGB,
                        GL_BLEND_DST_RGB, GL_BLEND_SRC_ALPHA, GL_BLEND_DST_ALPHA, GL_DEPTH_FUNC}) {
        GLint v = 0;
        gl.glGetIntegerv(name, &v);
        s.push_back(v);
    }
    gl.glActiveTexture(GL_TEXTURE0);
    GLint unit0 = 0;
    gl.glGetIntegerv(GL_TEXTURE_BINDING_2D, &unit0);
    s.push_back(unit0);
    gl.glActiveTexture(static_cast<GLenum>(s[3]));
    GLint viewport[4] = {};
    gl.glGetIntegerv(GL_VIEWPORT, viewport);
    s.insert(s.end(), viewport, viewport + 4);
    return s;
}

class DevOverlayTest : public DevModeGlTest {};

TEST_F(DevOverlayTest, DrawsLettersOnADarkBandAndLeavesTheRestAndTheGlStateAlone) {
    DevOverlay overlay;
    ASSERT_TRUE(overlay.create());

    // The state a frame leaves: depth test on, blending off, the demo's blend function, its own
    // program, buffers, textures on another unit, a small viewport.
    GLuint vertexArray = 0, buffer = 0;
    gl.glGenVertexArrays(1, &vertexArray);
    gl.glGenBuffers(1, &buffer);
    gl.glBindVertexArray(vertexArray);
    gl.glBindBuffer(GL_ARRAY_BUFFER, buffer);
    auto texture = Texture2D::createEmpty(4, 4, false);  // left bound on unit 3
    gl.glActiveTexture(GL_TEXTURE3);
    gl.glBindTexture(GL_TEXTURE_2D, texture->id);
    gl.glActiveTexture(GL_TEXTURE0);
    gl.glBindTexture(GL_TEXTURE_2D, texture->id);
    gl.glActiveTexture(GL_TEXTURE3);
    gl.glEnable(GL_DEPTH_TEST);
    gl.glDepthFunc(GL_LEQUAL);
    gl.glDisable(GL_BLEND);
    gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl.glViewport(0, 0, 100, 50);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const std::vector<GLint> before = state();

    overlay.draw({{"57:3  12.345 s"}, {"failed", true}}, kWidth, kHeight);
    EXPECT_EQ(state(), before);
    const Pixels p = readBack();

    // At 640 x 360 one font pixel is one screen pixel: 4 px margin, 8 x 16 cells, so the two lines
    // span x 0..123 (14 characters and the margins) and y 0..39.
    int white = 0, orange = 0, darkened = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const std::uint8_t* c = p.at(x, y);
            white += c[0] > 200 && c[1] > 200 && c[2] > 200;
            orange += c[0] > 200 && c[1] > 100 && c[1] < 200 && c[2] < 120;
            darkened += c[2] < 100;
        }
    EXPECT_GT(white, 150);
    EXPECT_GT(orange, 40);
    EXPECT_GT(darkened, 2000);
    // Between letters the band: the clear colour at 40 %.
    const std::uint8_t* band = p.at(2, 2);
    EXPECT_NEAR(band[0], 0.4 * 51, 2);
    EXPECT_NEAR(band[2], 0.4 * 153, 2);
    // Beyond the band (the first line is 14 cells + 8 px wide) and below it: untouched.
    for (const auto& xy : {std::pair<int, int>{130, 10}, {639, 0}, {10, 60}, {320, 359}}) {
        const std::uint8_t* c = p.at(xy.first, xy.second);
        EXPECT_EQ(c[0], 51) << xy.first << "," << xy.second;
        EXPECT_EQ(c[1], 102);
        EXPECT_EQ(c[2], 153);
    }

    gl.glActiveTexture(GL_TEXTURE0);
    gl.glViewport(0, 0, kWidth, kHeight);
    gl.glDeleteBuffers(1, &buffer);
    gl.glDeleteVertexArrays(1, &vertexArray);
}

TEST(DevOverlayScale, WholeFontPixelsFrom640x360To3840x2160) {
    EXPECT_EQ(DevOverlay::scaleFor(360), 1);
    EXPECT_EQ(DevOverlay::scaleFor(600), 1);
    EXPECT_EQ(DevOverlay::scaleFor(720), 2);
    EXPECT_EQ(DevOverlay::scaleFor(1080), 3);
    EXPECT_EQ(DevOverlay::scaleFor(2160), 6);
}

}  // namespace
