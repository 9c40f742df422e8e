#pragma once

#include <array>
#include <vector>

#include "StereoBuffer.h"

// A hall: pre-delay, a chain of all-pass diffusers, then eight delay lines fed back through a
// Householder matrix with a one-pole damping filter in each line, so the highs die first.
class Reverb {
public:
    Reverb(double decaySeconds, double dampingHz, double preDelaySeconds);

    // Returns the wet signal of `send`; the dry signal is not included.
    StereoBuffer process(const StereoBuffer& send);

private:
    static constexpr int kLines = 8;
    double decaySeconds_;
    double dampingCoefficient_;
    int preDelay_;
};
