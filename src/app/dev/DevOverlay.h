#pragma once
#include <memory>
#include <string>
#include <vector>

#include "gl/GlHeaders.h"

class Texture2D;

// The developer overlay: lines of text on dark bands over the top left of the picture, drawn with
// the demo's own GL after the frame, in a bitmap font (assets/overlayfont.png, made by
// velmora-imagegen: 8 x 16 cells for ASCII 32-126, cell 127 solid) scaled by whole pixels so it
// stays sharp: 1x up to 719 lines, 2x at 720, 6x at 2160.
class DevOverlay {
public:
    struct Line {
        std::string text;
        bool alert = false;  // drawn in orange: a failed reload
    };

    static constexpr const char* kFontPath = "assets/overlayfont.png";
    static constexpr int kCellWidth = 8;
    static constexpr int kCellHeight = 16;

    DevOverlay();
    ~DevOverlay();
    DevOverlay(const DevOverlay&) = delete;
    DevOverlay& operator=(const DevOverlay&) = delete;

    // With the context current: reads the font and builds the program. False, after one printed
    // line, when either fails; draw() then does nothing.
    bool create();
    // Draws into the default framebuffer of width x height and leaves every GL state it touches
    // (program, vertex array, buffer, texture unit and binding, blending, depth test, culling,
    // scissor, framebuffer, viewport) as it found it.
    void draw(const std::vector<Line>& lines, int width, int height);
    void release();

    static int scaleFor(int height) { return height >= 720 ? height / 360 : 1; }

private:
    std::unique_ptr<Texture2D> font_;
    GLuint program_ = 0;
    GLuint vertexArray_ = 0;
    GLuint buffer_ = 0;
    std::vector<float> vertices_;
};
