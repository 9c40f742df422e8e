#pragma once

#include <cstdint>

#include "StereoBuffer.h"

// Transition effects that span bars rather than notes.
struct Sweep {
    enum class Kind {
        NoiseRiser,  // white noise opening upwards and swelling into a drop
        NoiseFall,   // the reverse, after a drop or into a quiet part
        PitchRiser,  // detuned saws gliding up two octaves
        Wind         // slowly moving band of noise, the intro's and the cave's air
    };

    double startBar = 0.0;
    double endBar = 1.0;
    Kind kind = Kind::NoiseRiser;
    float level = 1.0f;
    int pitch = 57;  // start note of a pitch riser

    void render(int64_t firstSample, uint32_t seed, StereoBuffer& out) const;
};
