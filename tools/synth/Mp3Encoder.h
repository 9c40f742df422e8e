#pragma once

#include <string>

#include "StereoBuffer.h"

// Writes 44.1 kHz stereo float audio as a joint-stereo MP3 at a constant bit rate, with an ID3v2
// title and artist up front and the encoder's info frame first in the stream, so that a
// gapless decoder drops the encoder's delay and padding and starts on sample 0.
class Mp3Encoder {
public:
    Mp3Encoder(int kilobitsPerSecond, std::string title, std::string artist);

    // Returns false with a message in `error` when the encoder or the file fails.
    bool write(const StereoBuffer& audio, const std::string& path, std::string& error) const;

private:
    int kilobitsPerSecond_;
    std::string title_;
    std::string artist_;
};
