#include "TruePeak.h"

#include <algorithm>
#include <cmath>

TruePeak::TruePeak() {
    constexpr double kPi = 3.141592653589793;
    for (int phase = 0; phase < 3; ++phase) {
        const double frac = (phase + 1) / 4.0;
        double sum = 0.0;
        for (int k = 0; k < kTaps; ++k) {
            // Tap k weighs sample n + k - 7; the interpolated point lies at n + frac.
            const double x = (k - (kTaps / 2 - 1)) - frac;
            const double sinc = std::sin(kPi * x) / (kPi * x);
            const double w = 0.5 + 0.5 * std::cos(kPi * x / (kTaps / 2));  // Hann window
            coefficients_[phase][k] = static_cast<float>(sinc * w);
            sum += sinc * w;
        }
        for (int k = 0; k < kTaps; ++k)
            coefficients_[phase][k] = static_cast<float>(coefficients_[phase][k] / sum);
    }
}

std::vector<float> TruePeak::perSample(const std::vector<float>& x) const {
    const long n = static_cast<long>(x.size());
    std::vector<float> out(x.size(), 0.0f);
    const long before = kTaps / 2 - 1;
    for (long i = 0; i < n; ++i) {
        float m = std::fabs(x[i]);
        if (i >= before && i + kTaps - before <= n) {
            const float* base = x.data() + i - before;
            for (int phase = 0; phase < 3; ++phase) {
                float acc = 0.0f;
                for (int k = 0; k < kTaps; ++k) acc += base[k] * coefficients_[phase][k];
                m = std::max(m, std::fabs(acc));
            }
        } else {
            for (int phase = 0; phase < 3; ++phase) {
                float acc = 0.0f;
                for (int k = 0; k < kTaps; ++k) {
                    const long j = i - before + k;
                    if (j >= 0 && j < n) acc += x[j] * coefficients_[phase][k];
                }
                m = std::max(m, std::fabs(acc));
            }
        }
        out[i] = m;
    }
    return out;
}

float TruePeak::peak(const std::vector<float>& x) const {
    const std::vector<float> p = perSample(x);
    return p.empty() ? 0.0f : *std::max_element(p.begin(), p.end());
}
