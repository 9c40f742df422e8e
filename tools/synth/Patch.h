#pragma once

#include "Adsr.h"
#include "Oscillator.h"

// The settings of one subtractive instrument: a stack of detuned oscillators spread across the
// stereo field, an optional sub oscillator, a resonant low-pass with its own envelope, an
// amplifier envelope, vibrato and soft saturation.
struct Patch {
    Oscillator::Shape shape = Oscillator::Shape::Saw;
    double pulseWidth = 0.5;
    int unison = 1;
    double detuneCents = 0.0;   // spread of the stack, outermost voice to centre
    double stereoSpread = 0.0;  // 0 mono, 1 outermost voices hard left and right

    Oscillator::Shape subShape = Oscillator::Shape::Sine;
    double subOctave = 0.0;  // 0 plays the sub at the note's pitch, -1 an octave below
    double subLevel = 0.0;

    double cutoff = 20000.0;  // Hz at keytrack centre (middle C)
    double resonance = 0.0;
    double keyTrack = 0.0;  // 1 follows the pitch fully
    double filterEnvOctaves = 0.0;
    Adsr filterEnv{0.001, 0.1, 0.0, 0.1};
    Adsr amp;

    double vibratoCents = 0.0;
    double vibratoHz = 5.5;
    double vibratoDelay = 0.25;  // seconds before the vibrato fades in

    double drive = 0.0;  // 0 clean; higher values round off the peaks
    double gain = 1.0;
};
