#pragma once

#include "StereoBuffer.h"

struct MasteringResult {
    double gainDb = 0.0;              // make-up gain before the limiter
    double limiterReductionDb = 0.0;  // deepest gain reduction
    double integratedLufs = 0.0;
    double truePeakDb = 0.0;
};

// The master bus: removes DC, fades the tail to silence, then finds the gain that, through the
// true-peak limiter, lands the song on the target loudness.
class Mastering {
public:
    Mastering(double targetLufs, double ceilingDb);

    MasteringResult process(StereoBuffer& mix) const;

private:
    double targetLufs_;
    double ceilingDb_;
};
