#include "Font.h"
#include "Generators.h"

// 16 x 6 cells of 8 x 16 pixels for the characters 32..127: white, coverage in alpha. DejaVu Sans
// Mono Bold at 13 px advances 7.8 px, so each glyph fits its cell; the baseline sits 12 px down,
// leaving room for descenders. Cell 127 is solid: the overlay's dark bands are drawn from it.
Image makeOverlayFont(FontSet& fonts) {
    constexpr int kCellWidth = 8, kCellHeight = 16, kColumns = 16, kRows = 6;
    constexpr float kBaseline = 12.0f;
    Image sheet(kColumns * kCellWidth, kRows * kCellHeight, rgb(255, 255, 255, 0.0f));
    TextStyle style;
    style.size = 13.0f;
    for (int code = 32; code < 127; ++code) {
        const int x0 = (code - 32) % kColumns * kCellWidth;
        const int y0 = (code - 32) / kColumns * kCellHeight;
        Plane cell(kCellWidth, kCellHeight);
        const std::string text(1, static_cast<char>(code));
        // Centred in the cell, on a whole pixel so that every glyph is rasterised alike.
        const float x = static_cast<float>(
            static_cast<int>(0.5f * (kCellWidth - fonts.monoBold.advance(text, style))));
        fonts.monoBold.draw(cell, text, style, x, kBaseline);
        for (int y = 0; y < kCellHeight; ++y)
            for (int px = 0; px < kCellWidth; ++px) sheet.at(x0 + px, y0 + y).a = cell.at(px, y);
    }
    const int solid = 127 - 32;
    for (int y = 0; y < kCellHeight; ++y)
        for (int px = 0; px < kCellWidth; ++px)
            sheet.at(solid % kColumns * kCellWidth + px, solid / kColumns * kCellHeight + y).a =
                1.0f;
    return sheet;
}
