#pragma once

#include <cstddef>
#include <vector>

// Inter-sample peak estimate by 4x oversampling: between two samples the reconstructed wave can
// rise above both, and that is what a decoder or a DAC will output.
class TruePeak {
public:
    TruePeak();

    // Largest magnitude of the signal and its three interpolated points after each sample.
    std::vector<float> perSample(const std::vector<float>& x) const;

    float peak(const std::vector<float>& x) const;

private:
    static constexpr int kTaps = 16;  // taps per phase, centred between samples n and n+1
    float coefficients_[3][kTaps];
};
