#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Small helpers the picture tests share: whole files, a scratch directory, the 16-colour
// Windows formats read back by hand.
std::vector<uint8_t> readBytes(const std::string& path);
std::string makeScratchDir();
void removeDir(const std::string& dir);

uint32_t le16(const std::vector<uint8_t>& b, size_t at);
uint32_t le32(const std::vector<uint8_t>& b, size_t at);

// Decodes a 4-bit BITMAPINFOHEADER DIB starting at `at` (rows bottom-up) into RGBA, top row first;
// `rows` is the number of colour rows (for icons, half the header height). Returns false on a
// layout it does not expect.
bool decodeDib4(const std::vector<uint8_t>& b, size_t at, int rows, int& width,
                std::vector<uint8_t>& rgba);
