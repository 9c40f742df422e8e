#include "Font.h"

#include <ft2build.h>

#include <cmath>
#include <cstdio>
#include <vector>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

namespace {

std::vector<uint32_t> decodeUtf8(const std::string& s) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + extra >= s.size()) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += extra + 1;
    }
    return out;
}

}  // namespace

std::string fontPath(const std::string& directory, const char* file) {
    return directory + "/" + file;
}

Font::Font(const std::string& path) {
    if (FT_Init_FreeType(&library_) != 0) {
        std::printf("FreeType cannot start\n");
        library_ = nullptr;
        return;
    }
    if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0) {
        std::printf("Cannot load font %s\n", path.c_str());
        face_ = nullptr;
    }
}

Font::~Font() {
    if (face_) FT_Done_Face(face_);
    if (library_) FT_Done_FreeType(library_);
}

float Font::advance(const std::string& utf8, const TextStyle& style) {
    return layout(nullptr, utf8, style, 0.0f, 0.0f);
}

void Font::draw(Plane& coverage, const std::string& utf8, const TextStyle& style, float x,
                float baseline) {
    layout(&coverage, utf8, style, x, baseline);
}

void Font::drawCentred(Plane& coverage, const std::string& utf8, const TextStyle& style, float x,
                       float baseline) {
    layout(&coverage, utf8, style, x - 0.5f * advance(utf8, style), baseline);
}

float Font::capHeight(const TextStyle& style) {
    if (!face_) return 0.0f;
    FT_Set_Char_Size(face_, 0, static_cast<FT_F26Dot6>(std::lround(style.size * 64.0f)), 72, 72);
    FT_Set_Transform(face_, nullptr, nullptr);
    if (FT_Load_Char(face_, 'H', FT_LOAD_NO_HINTING) != 0) return style.size * 0.73f;
    FT_BBox box;
    FT_Outline_Get_CBox(&face_->glyph->outline, &box);
    return box.yMax / 64.0f;
}

float Font::layout(Plane* coverage, const std::string& utf8, const TextStyle& style, float x,
                   float baseline) {
    if (!face_) return 0.0f;
    FT_Set_Char_Size(face_, 0, static_cast<FT_F26Dot6>(std::lround(style.size * 64.0f)), 72, 72);
    FT_Matrix matrix;
    matrix.xx = static_cast<FT_Fixed>(std::lround(style.xScale * 65536.0f));
    matrix.xy = static_cast<FT_Fixed>(std::lround(style.slant * 65536.0f));
    matrix.yx = 0;
    matrix.yy = 0x10000;
    float pen = x;
    FT_UInt previous = 0;
    for (uint32_t cp : decodeUtf8(utf8)) {
        FT_UInt index = FT_Get_Char_Index(face_, cp);
        if (previous && index && FT_HAS_KERNING(face_)) {
            FT_Vector kern;
            if (FT_Get_Kerning(face_, previous, index, FT_KERNING_UNFITTED, &kern) == 0)
                pen += kern.x / 64.0f * style.xScale;
        }
        float whole = std::floor(pen);
        FT_Vector delta;
        delta.x = static_cast<FT_Pos>(std::lround((pen - whole) * 64.0f));
        delta.y = 0;
        FT_Set_Transform(face_, &matrix, &delta);
        int flags = FT_LOAD_NO_HINTING | (coverage ? FT_LOAD_RENDER : 0);
        if (FT_Load_Glyph(face_, index, flags) != 0) continue;
        FT_GlyphSlot g = face_->glyph;
        if (coverage && g->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            int left = static_cast<int>(whole) + g->bitmap_left;
            int top = static_cast<int>(std::lround(baseline)) - g->bitmap_top;
            for (unsigned row = 0; row < g->bitmap.rows; ++row)
                for (unsigned col = 0; col < g->bitmap.width; ++col) {
                    int px = left + static_cast<int>(col), py = top + static_cast<int>(row);
                    if (px < 0 || py < 0 || px >= coverage->width() || py >= coverage->height())
                        continue;
                    float c = g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f;
                    float& d = coverage->at(px, py);
                    if (c > d) d = c;
                }
        }
        pen += g->advance.x / 64.0f + style.tracking;
        previous = index;
    }
    return pen - x - (previous ? style.tracking : 0.0f);
}
