#include "app/dev/DevOverlay.h"

#include <cstdio>
#include <string>

#include "gl/GlEntryTable.h"
#include "gl/GlStateGuard.h"
#include "gl/InlineProgram.h"
#include "gl/Texture2D.h"

namespace {

const char* const kVertexSource = R"(#version 330
layout(location = 0) in vec2 pixel;
layout(location = 1) in vec2 texel;
layout(location = 2) in vec4 colour;
uniform vec2 screen;
out vec2 fontTexel;
out vec4 ink;
void main() {
    fontTexel = texel;
    ink = colour;
    gl_Position = vec4(pixel.x / screen.x * 2.0 - 1.0, 1.0 - pixel.y / screen.y * 2.0, 0.0, 1.0);
}
)";

// Whole-pixel scaling and texelFetch: no filtering, so the font looks the same on every driver.
const char* const kFragmentSource = R"(#version 330
in vec2 fontTexel;
in vec4 ink;
uniform sampler2D font;
out vec4 fragColor;
void main() {
    fragColor = vec4(ink.rgb, ink.a * texelFetch(font, ivec2(fontTexel), 0).a);
}
)";

constexpr int kFloatsPerVertex = 8;
constexpr int kColumns = 16;
constexpr int kSolidCell = 127;
constexpr float kBand[4] = {0.0f, 0.0f, 0.0f, 0.6f};
constexpr float kText[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kAlert[4] = {1.0f, 0.6f, 0.25f, 1.0f};

// Two triangles covering pixels [x0, x1) x [y0, y1) with the font texels [u0, u1) x [v0, v1).
void addQuad(std::vector<float>& out, float x0, float y0, float x1, float y1, float u0, float v0,
             float u1, float v1, const float* colour) {
    const float corners[6][4] = {{x0, y0, u0, v0}, {x0, y1, u0, v1}, {x1, y1, u1, v1},
                                 {x1, y1, u1, v1}, {x1, y0, u1, v0}, {x0, y0, u0, v0}};
    for (const auto& c : corners) {
        out.insert(out.end(), c, c + 4);
        out.insert(out.end(), colour, colour + 4);
    }
}

}  // namespace

DevOverlay::DevOverlay() = default;

DevOverlay::~DevOverlay() {
    release();
}

bool DevOverlay::create() {
    release();
    // Bound to unit 0 only while the overlay draws; GL_NEAREST, read with texelFetch anyway.
    GLint active = 0, bound = 0;
    gl.glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    gl.glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    font_ = Texture2D::fromImage(kFontPath, GL_NEAREST);
    gl.glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    if (font_->width != kColumns * kCellWidth || font_->height < 6 * kCellHeight) {
        std::printf("The overlay is off: %s is not a %d x %d font sheet\n", kFontPath,
                    kColumns * kCellWidth, 6 * kCellHeight);
        font_.reset();
        return false;
    }

    std::string log;
    program_ = linkInlineProgram(kVertexSource, kFragmentSource, log);
    if (!program_) {
        std::printf("The overlay is off: its program does not link\n");
        release();
        return false;
    }

    GLint vertexArray = 0, arrayBuffer = 0;
    gl.glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    gl.glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
    gl.glGenVertexArrays(1, &vertexArray_);
    gl.glGenBuffers(1, &buffer_);
    gl.glBindVertexArray(vertexArray_);
    gl.glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    const GLsizei stride = kFloatsPerVertex * sizeof(float);
    for (int i = 0; i < 3; ++i) {
        gl.glEnableVertexAttribArray(static_cast<GLuint>(i));
        gl.glVertexAttribPointer(static_cast<GLuint>(i), i == 2 ? 4 : 2, GL_FLOAT, GL_FALSE, stride,
                                 reinterpret_cast<const void*>(sizeof(float) * 2 * i));
    }
    gl.glBindVertexArray(static_cast<GLuint>(vertexArray));
    gl.glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(arrayBuffer));
    return true;
}

void DevOverlay::draw(const std::vector<Line>& lines, int width, int height) {
    if (!program_ || lines.empty()) return;
    const int scale = scaleFor(height);
    const float cw = static_cast<float>(kCellWidth * scale);
    const float ch = static_cast<float>(kCellHeight * scale);
    const float margin = static_cast<float>(4 * scale);

    // The dark bands first, then the letters over them, in one draw.
    vertices_.clear();
    const float solidU = (kSolidCell - 32) % kColumns * kCellWidth + 0.5f * kCellWidth;
    const float solidV = (kSolidCell - 32) / kColumns * kCellHeight + 0.5f * kCellHeight;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const float y = margin + static_cast<float>(i) * ch;
        const float x1 = 2.0f * margin + cw * static_cast<float>(lines[i].text.size());
        addQuad(vertices_, 0.0f, y - (i == 0 ? margin : 0.0f), x1,
                y + ch + (i + 1 == lines.size() ? margin : 0.0f), solidU, solidV, solidU, solidV,
                kBand);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const float y = margin + static_cast<float>(i) * ch;
        float x = margin;
        for (char c : lines[i].text) {
            const int code = static_cast<unsigned char>(c);
            if (code > 32 && code < 127) {
                const float u = static_cast<float>((code - 32) % kColumns * kCellWidth);
                const float v = static_cast<float>((code - 32) / kColumns * kCellHeight);
                addQuad(vertices_, x, y, x + cw, y + ch, u, v, u + kCellWidth, v + kCellHeight,
                        lines[i].alert ? kAlert : kText);
            }
            x += cw;
        }
    }

    const GlStateGuard guard;  // leaves unit 0 active
    gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    gl.glViewport(0, 0, width, height);
    gl.glDisable(GL_DEPTH_TEST);
    gl.glDisable(GL_CULL_FACE);
    gl.glDisable(GL_SCISSOR_TEST);
    gl.glEnable(GL_BLEND);
    gl.glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    gl.glUseProgram(program_);
    gl.glUniform2f(gl.glGetUniformLocation(program_, "screen"), static_cast<float>(width),
                   static_cast<float>(height));
    gl.glUniform1i(gl.glGetUniformLocation(program_, "font"), 0);
    gl.glBindTexture(GL_TEXTURE_2D, font_->id);
    gl.glBindVertexArray(vertexArray_);
    gl.glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    gl.glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices_.size() * sizeof(float)),
                    vertices_.data(), GL_STREAM_DRAW);
    gl.glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices_.size() / kFloatsPerVertex));
}

void DevOverlay::release() {
    if (program_) gl.glDeleteProgram(program_);
    if (buffer_) gl.glDeleteBuffers(1, &buffer_);
    if (vertexArray_) gl.glDeleteVertexArrays(1, &vertexArray_);
    program_ = vertexArray_ = buffer_ = 0;
    font_.reset();
}
