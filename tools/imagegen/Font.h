#pragma once

#include <string>

#include "Image.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

// How a line of text is set: pixel size of the em, horizontal squeeze, extra letter spacing
// and a slant (x shift per pixel of height, positive leans right).
struct TextStyle {
    float size = 64.0f;
    float xScale = 1.0f;
    float tracking = 0.0f;
    float slant = 0.0f;
};

// One TrueType face rasterised with FreeType into coverage planes (y grows downwards).
class Font {
public:
    explicit Font(const std::string& path);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    bool ok() const { return face_ != nullptr; }
    float advance(const std::string& utf8, const TextStyle& style);
    float capHeight(const TextStyle& style);  // height of "H" above the baseline
    // Adds the text's coverage (max) to the plane, pen starting at (x, baseline).
    void draw(Plane& coverage, const std::string& utf8, const TextStyle& style, float x,
              float baseline);
    // Same, centred on x.
    void drawCentred(Plane& coverage, const std::string& utf8, const TextStyle& style, float x,
                     float baseline);

private:
    float layout(Plane* coverage, const std::string& utf8, const TextStyle& style, float x,
                 float baseline);

    FT_LibraryRec_* library_ = nullptr;
    FT_FaceRec_* face_ = nullptr;
};

// The DejaVu faces the generators use, found under the given font directory.
std::string fontPath(const std::string& directory, const char* file);
