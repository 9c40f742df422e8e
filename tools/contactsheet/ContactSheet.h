#pragma once

#include <string>
#include <vector>

#include "Image.h"

class Font;

// Lays pictures out in a grid of labelled cells: each picture scaled to fit the cell width
// (small ones enlarged by whole pixels), shown over a checkerboard so transparency reads,
// with its file name and size underneath.
class ContactSheet {
public:
    ContactSheet(int columns, int cellWidth);

    // Adds a cell; an unreadable file gets a cell saying so.
    void add(const std::string& path);
    // Composes the sheet; `font` may be null (no labels).
    Image compose(Font* font) const;

private:
    struct Cell {
        std::string label;
        Image picture;  // already scaled to the cell
        bool failed = false;
    };

    int columns_;
    int cellWidth_;
    std::vector<Cell> cells_;
};
