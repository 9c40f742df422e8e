#pragma once

#include <vector>

#include "StereoBuffer.h"

// Look-ahead peak limiter working on the whole song at once. The gain for every sample is known
// before the peak arrives, so no sample or inter-sample peak exceeds the ceiling, and the gain
// moves smoothly: down over the look-ahead, back up over the release.
class Limiter {
public:
    Limiter(double ceiling, double lookaheadSeconds, double releaseSeconds);

    // Oversampled peak magnitude of each frame, the larger of both channels. Peaks scale with the
    // signal, so one call serves every trial gain.
    static std::vector<float> framePeaks(const StereoBuffer& buffer);

    // Applies `inputGain` and limits in place, given framePeaks() of the buffer before the gain.
    // Returns the deepest gain reduction in dB (0 or negative).
    double process(StereoBuffer& buffer, const std::vector<float>& peaks, double inputGain) const;

    // Re-measures a limited buffer and limits again until no true peak exceeds the ceiling:
    // where the gain ramps within the reach of the interpolation, a peak can end a hair above.
    double enforce(StereoBuffer& buffer) const;

    double process(StereoBuffer& buffer) const {
        return process(buffer, framePeaks(buffer), 1.0) + enforce(buffer);
    }

private:
    double pass(StereoBuffer& buffer, const std::vector<float>& peaks, double inputGain) const;

    double ceiling_;
    double lookaheadSeconds_;
    double releaseSeconds_;
};
