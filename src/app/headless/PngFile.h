#pragma once
#include <cstdint>
#include <string>

// Writes one frame as an 8-bit RGB PNG (the alpha of the read-back RGBA pixels is dropped: the
// picture is opaque) at fast compression, lossless. `rgba` holds the rows top first. The file is
// written aside and renamed into place (OutputFile). On failure prints one line naming the file
// and the reason, and returns false; a file that had the name is left as it was.
bool writeFramePng(const std::string& path, int width, int height, const std::uint8_t* rgba);
