#include "Instruments.h"

namespace instruments {

using Shape = Oscillator::Shape;

Patch patch(Part part) {
    Patch p;
    switch (part) {
        case Part::Bass:  // two saws with the sine at the same pitch underneath, plucked by the
                          // filter
            p.unison = 2;
            p.detuneCents = 8.0;
            p.subLevel = 0.9;
            p.cutoff = 650.0;
            p.resonance = 0.25;
            p.keyTrack = 0.5;
            p.filterEnvOctaves = 2.5;
            p.filterEnv = {0.001, 0.06, 0.0, 0.05};
            p.amp = {0.002, 0.25, 0.85, 0.03};
            p.drive = 0.8;
            p.gain = 0.47;
            break;
        case Part::Sub:  // a plain sine, for held roots and drones
            p.shape = Shape::Sine;
            p.amp = {0.08, 0.5, 1.0, 0.4};
            p.gain = 0.55;
            break;
        case Part::Lead:  // seven detuned saws spread wide, a square an octave below
            p.unison = 7;
            p.detuneCents = 22.0;
            p.stereoSpread = 0.8;
            p.subShape = Shape::Square;
            p.subOctave = -1.0;
            p.subLevel = 0.12;
            p.cutoff = 4200.0;
            p.resonance = 0.15;
            p.keyTrack = 0.5;
            p.filterEnvOctaves = 1.0;
            p.filterEnv = {0.001, 0.18, 0.2, 0.1};
            p.amp = {0.004, 0.3, 0.75, 0.12};
            p.vibratoCents = 9.0;
            p.vibratoDelay = 0.2;
            p.drive = 0.3;
            p.gain = 0.245;
            break;
        case Part::Pad:  // slow, wide, dark saws
            p.unison = 4;
            p.detuneCents = 14.0;
            p.stereoSpread = 0.9;
            p.cutoff = 1800.0;
            p.resonance = 0.1;
            p.keyTrack = 0.3;
            p.amp = {0.35, 0.6, 0.85, 0.9};
            p.gain = 0.135;
            break;
        case Part::Arp:  // a narrow pulse plucked by the filter
            p.shape = Shape::Pulse;
            p.pulseWidth = 0.3;
            p.unison = 2;
            p.detuneCents = 6.0;
            p.stereoSpread = 0.3;
            p.cutoff = 1600.0;
            p.resonance = 0.35;
            p.keyTrack = 0.5;
            p.filterEnvOctaves = 2.0;
            p.filterEnv = {0.001, 0.07, 0.0, 0.05};
            p.amp = {0.001, 0.14, 0.0, 0.05};
            p.gain = 0.3;
            break;
        case Part::Stab:
            p.unison = 5;
            p.detuneCents = 18.0;
            p.stereoSpread = 0.7;
            p.cutoff = 2500.0;
            p.resonance = 0.2;
            p.filterEnvOctaves = 1.5;
            p.filterEnv = {0.001, 0.08, 0.0, 0.05};
            p.amp = {0.001, 0.12, 0.25, 0.06};
            p.gain = 0.22;
            break;
        case Part::Acid:  // one saw through a squelching resonant filter
            p.cutoff = 500.0;
            p.resonance = 0.82;
            p.keyTrack = 0.3;
            p.filterEnvOctaves = 3.0;
            p.filterEnv = {0.001, 0.09, 0.0, 0.05};
            p.amp = {0.002, 0.2, 0.7, 0.03};
            p.drive = 1.5;
            p.gain = 0.2;
            break;
        case Part::Bell:
        case Part::Count: break;
    }
    return p;
}

FmBell bell() {
    FmBell b;
    b.ratio = 3.5;
    b.index = 2.2;
    b.indexDecay = 0.3;
    b.decay = 1.0;
    b.release = 0.3;
    b.gain = 0.25;
    return b;
}

TrackMix mix(Part part) {
    switch (part) {
        case Part::Bass: return {1.0f, 0.0f, 0.85f, 0.0f, 0.0f};
        case Part::Sub: return {1.0f, 0.0f, 0.7f, 0.0f, 0.0f};
        case Part::Lead: return {1.0f, 0.0f, 0.35f, 0.25f, 0.2f};
        case Part::Pad: return {1.0f, 0.0f, 0.6f, 0.35f, 0.0f};
        case Part::Arp: return {1.0f, 0.2f, 0.5f, 0.2f, 0.35f};
        case Part::Stab: return {1.0f, -0.1f, 0.5f, 0.3f, 0.1f};
        case Part::Acid: return {1.0f, -0.15f, 0.5f, 0.1f, 0.2f};
        case Part::Bell: return {1.0f, 0.0f, 0.2f, 0.45f, 0.35f};
        case Part::Count: break;
    }
    return {};
}

float drumGain(Drum drum) {
    switch (drum) {
        case Drum::Kick: return 0.5f;
        case Drum::SoftKick: return 0.7f;
        case Drum::Snare: return 0.85f;
        case Drum::Clap: return 0.56f;
        case Drum::ClosedHat: return 0.7f;
        case Drum::OpenHat: return 0.28f;
        case Drum::Shaker: return 0.3f;
        case Drum::Rim: return 0.3f;
        case Drum::TomLow:
        case Drum::TomMid:
        case Drum::TomHigh: return 0.5f;
        case Drum::Crash: return 0.58f;
        case Drum::Impact: return 0.45f;
        case Drum::Count: break;
    }
    return 0.0f;
}

float drumReverbSend(Drum drum) {
    switch (drum) {
        case Drum::Snare: return 0.2f;
        case Drum::Clap: return 0.3f;
        case Drum::Rim: return 0.3f;
        case Drum::TomLow:
        case Drum::TomMid:
        case Drum::TomHigh: return 0.3f;
        case Drum::Crash: return 0.2f;
        case Drum::Impact: return 0.1f;
        case Drum::SoftKick: return 0.15f;
        case Drum::Kick: return 0.0f;
        default: return 0.05f;
    }
}

float drumDuck(Drum drum) {
    switch (drum) {
        case Drum::Kick: return 1.0f;
        case Drum::SoftKick: return 0.4f;
        default: return 0.0f;
    }
}

}  // namespace instruments
