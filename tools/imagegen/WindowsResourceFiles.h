#pragma once

#include <string>

#include "IndexedImage.h"

// The launcher picture and the program icon for the Windows resource script, written byte by
// byte: a 4-bit BMP (BITMAPINFOHEADER, 16-entry palette, bottom-up rows) and an icon file with
// one 4-bit image and its AND mask.
bool writeBmp4(const std::string& path, const IndexedImage& image);
bool writeIco4(const std::string& path, const IndexedImage& image);
