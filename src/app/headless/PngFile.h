#pragma once
#include <cstdint>
#include <string>

// Writes one frame as an 8-bit RGB PNG (the alpha of the read-back RGBA pixels is dropped: the
// picture is opaque) at fast compression, lossless. `rgba` holds the rows top first. On failure
// prints one line naming the file and the system's reason, removes what was written, and returns
// false.
bool writeFramePng(const std::string& path, int width, int height, const std::uint8_t* rgba);
