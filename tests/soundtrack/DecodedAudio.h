#pragma once

#include <string>
#include <vector>

// An MP3 decoded gaplessly by libmpg123 (encoder delay and padding trimmed) into float samples.
struct DecodedAudio {
    long rate = 0;
    int channels = 0;
    std::vector<float> left;
    std::vector<float> right;  // a copy of left for a mono file
    std::string title;
    std::string artist;

    // Returns false with a message in `error` when the file cannot be decoded.
    bool decode(const std::string& path, std::string& error);

    double seconds() const { return rate > 0 ? static_cast<double>(left.size()) / rate : 0.0; }
};
