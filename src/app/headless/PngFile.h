#pragma once
#include <cstdint>
#include <string>

// Writes 8-bit RGBA rows, top row first. Prints a line and returns false on failure.
bool writePng(const std::string& path, int width, int height, const std::uint8_t* rgba);
