#pragma once

#include "DrumKit.h"
#include "FmBell.h"
#include "Patch.h"
#include "Score.h"

// How one part sits in the mix.
struct TrackMix {
    float gain = 1.0f;
    float pan = 0.0f;   // -1 left .. 1 right
    float duck = 0.0f;  // depth of the kick's sidechain ducking, 0..1
    float reverbSend = 0.0f;
    float delaySend = 0.0f;
};

// The sound of every part of the score: its synth patch and its place in the mix.
namespace instruments {

Patch patch(Part part);
FmBell bell();
TrackMix mix(Part part);

float drumGain(Drum drum);
float drumReverbSend(Drum drum);
// How hard a hit of this drum ducks the rest of the mix.
float drumDuck(Drum drum);

}  // namespace instruments
