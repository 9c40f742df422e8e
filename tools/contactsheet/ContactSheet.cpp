#include "ContactSheet.h"

#include <algorithm>
#include <cmath>

#include "Font.h"
#include "ImageFile.h"

namespace {

constexpr int kGap = 12;
constexpr int kLabelHeight = 22;
constexpr float kLabelSize = 13.0f;

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Area-averaged downscale (alpha-weighted colour) or whole-pixel enlargement.
Image fitToWidth(const Picture& p, int cellWidth) {
    auto src = [&](int x, int y) {
        const uint8_t* q = &p.rgba[(static_cast<size_t>(y) * p.width + x) * 4];
        return Rgba{q[0] / 255.0f, q[1] / 255.0f, q[2] / 255.0f, q[3] / 255.0f};
    };
    if (p.width <= cellWidth) {
        int k = std::max(1, cellWidth / p.width);
        Image out(p.width * k, p.height * k);
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x) out.at(x, y) = src(x / k, y / k);
        return out;
    }
    float scale = static_cast<float>(p.width) / cellWidth;
    int h = std::max(1, static_cast<int>(std::lround(p.height / scale)));
    Image out(cellWidth, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < cellWidth; ++x) {
            int x0 = static_cast<int>(x * scale),
                x1 = std::max(x0 + 1, static_cast<int>((x + 1) * scale));
            int y0 = static_cast<int>(y * scale),
                y1 = std::max(y0 + 1, static_cast<int>((y + 1) * scale));
            x1 = std::min(x1, p.width), y1 = std::min(y1, p.height);
            float r = 0, g = 0, b = 0, a = 0;
            int n = 0;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx) {
                    Rgba c = src(sx, sy);
                    r += c.r * c.a, g += c.g * c.a, b += c.b * c.a, a += c.a, ++n;
                }
            out.at(x, y) = a > 0.0f ? Rgba{r / a, g / a, b / a, a / n} : Rgba{};
        }
    return out;
}

}  // namespace

ContactSheet::ContactSheet(int columns, int cellWidth)
    : columns_(std::max(1, columns)), cellWidth_(std::max(16, cellWidth)) {}

void ContactSheet::add(const std::string& path) {
    Cell cell;
    Picture p;
    if (readPicture(path, p) && p.width > 0 && p.height > 0) {
        cell.picture = fitToWidth(p, cellWidth_);
        cell.label =
            baseName(path) + "  " + std::to_string(p.width) + " x " + std::to_string(p.height);
    } else {
        cell.failed = true;
        cell.picture = Image(cellWidth_, cellWidth_ / 2, rgb(90, 20, 20));
        cell.label = baseName(path) + "  (unreadable)";
    }
    cells_.push_back(std::move(cell));
}

Image ContactSheet::compose(Font* font) const {
    int rows = (static_cast<int>(cells_.size()) + columns_ - 1) / columns_;
    std::vector<int> rowHeight(rows, 0);
    for (size_t i = 0; i < cells_.size(); ++i)
        rowHeight[i / columns_] = std::max(rowHeight[i / columns_], cells_[i].picture.height());
    int width = kGap + columns_ * (cellWidth_ + kGap);
    int height = kGap;
    for (int h : rowHeight) height += h + kLabelHeight + kGap;

    Image sheet(width, height, rgb(36, 36, 40));
    Plane text(width, height);
    int top = kGap;
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < columns_; ++col) {
            size_t i = static_cast<size_t>(row) * columns_ + col;
            if (i >= cells_.size()) break;
            const Cell& cell = cells_[i];
            int left = kGap + col * (cellWidth_ + kGap) + (cellWidth_ - cell.picture.width()) / 2;
            for (int y = 0; y < cell.picture.height(); ++y)
                for (int x = 0; x < cell.picture.width(); ++x) {
                    bool dark = ((x / 8) + (y / 8)) % 2 == 0;
                    sheet.at(left + x, top + y) = dark ? rgb(92, 92, 98) : rgb(150, 150, 156);
                }
            sheet.composite(cell.picture, left, top);
            if (font) {
                TextStyle style;
                style.size = kLabelSize;
                font->draw(text, cell.label, style, kGap + col * (cellWidth_ + kGap),
                           top + rowHeight[row] + kLabelHeight - 7);
            }
        }
        top += rowHeight[row] + kLabelHeight + kGap;
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) sheet.paint(x, y, rgb(235, 235, 225), text.at(x, y));
    return sheet;
}
