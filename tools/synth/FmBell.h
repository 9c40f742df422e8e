#pragma once

#include <cstdint>

#include "NoteEvent.h"
#include "StereoBuffer.h"

// Two-operator FM tone: a sine carrier whose phase is pushed by a sine modulator. A non-integer
// ratio with a decaying index gives a struck, bell-like attack that mellows into a pure tone.
struct FmBell {
    double ratio = 3.5;
    double index = 2.5;        // modulation depth at the strike
    double indexDecay = 0.25;  // seconds, time constant of the brightness
    double decay = 1.2;        // seconds, time constant of the loudness
    double release = 0.3;      // fade after the note's length
    double detuneCents = 4.0;  // left and right carriers drift apart slightly
    double gain = 1.0;

    void render(const NoteEvent& note, int64_t firstSample, StereoBuffer& out) const;
};
