#pragma once

// Attack-decay-sustain-release envelope, evaluated as a pure function of the time since note-on
// and the gate length. The release reaches exactly zero, so a finished note never leaves a step.
struct Adsr {
    double attack = 0.005;  // seconds, linear rise
    double decay = 0.1;     // seconds, time constant of the fall to sustain
    double sustain = 1.0;   // level while held
    double release = 0.05;  // seconds until silence after the gate closes

    double level(double t, double gate) const;

    // Total sounding time of a note held for `gate` seconds.
    double duration(double gate) const { return gate + release; }
};
