#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "StereoBuffer.h"

enum class Drum {
    Kick,      // the main four-on-the-floor kick
    SoftKick,  // a muffled thump for the intro pulse and the cave
    Snare,
    Clap,
    ClosedHat,
    OpenHat,
    Shaker,
    Rim,
    TomLow,
    TomMid,
    TomHigh,
    Crash,
    Impact,  // the low boom under a drop
    Count
};

struct DrumHit {
    double bar = 0.0;
    Drum drum = Drum::Kick;
    float velocity = 1.0f;
};

// Every drum sound is synthesised from oscillators and noise once, as a one-shot that starts on
// its first sample and fades to exactly zero, and is then placed at each hit.
class DrumKit {
public:
    DrumKit();

    const std::vector<float>& sound(Drum drum) const { return sounds_[static_cast<size_t>(drum)]; }

    // Stereo position of each drum on the kit, -1 left to 1 right.
    static float pan(Drum drum);

    void render(const DrumHit& hit, int64_t firstSample, StereoBuffer& out) const;

private:
    std::array<std::vector<float>, static_cast<size_t>(Drum::Count)> sounds_;
};
