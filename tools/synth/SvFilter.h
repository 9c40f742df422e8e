#pragma once

// Resonant state-variable filter (trapezoidal integration), stable under fast cutoff sweeps.
// One call gives low-, band- and high-pass outputs of the same state.
class SvFilter {
public:
    struct Output {
        float low;
        float band;
        float high;
    };

    // `resonance` in [0, 1): 0 is a gentle Butterworth-like knee, near 1 it rings.
    void setCutoff(double hz, double resonance);

    Output process(float input);

    float lowpass(float input) { return process(input).low; }
    float highpass(float input) { return process(input).high; }
    float bandpass(float input) { return process(input).band; }

private:
    double a1_ = 1.0, a2_ = 0.0, a3_ = 0.0, k_ = 1.414;
    double ic1_ = 0.0, ic2_ = 0.0;
};
