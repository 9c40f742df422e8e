#include "AudioAnalysis.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace analysis {

namespace {

constexpr double kPi = 3.141592653589793;

// Butterworth low- or high-pass biquad, run forward then backward so that the result has no
// delay.
void zeroPhaseFilter(std::vector<double>& x, double cutoff, double rate, bool highpass) {
    const double k = std::tan(kPi * cutoff / rate);
    const double q = 0.7071067811865476;
    const double norm = 1.0 / (1.0 + k / q + k * k);
    const double b0 = highpass ? norm : k * k * norm;
    const double b1 = highpass ? -2.0 * b0 : 2.0 * b0, b2 = b0;
    const double a1 = 2.0 * (k * k - 1.0) * norm, a2 = (1.0 - k / q + k * k) * norm;
    auto pass = [&](auto begin, auto end) {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (auto it = begin; it != end; ++it) {
            const double y = b0 * *it + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = *it;
            y2 = y1;
            y1 = y;
            *it = y;
        }
    };
    pass(x.begin(), x.end());
    pass(x.rbegin(), x.rend());
}

void fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w(std::cos(2 * kPi / len), -std::sin(2 * kPi / len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> wn(1.0);
            for (size_t j = 0; j < len / 2; ++j) {
                const std::complex<double> u = a[i + j], v = a[i + j + len / 2] * wn;
                a[i + j] = u + v;
                a[i + j + len / 2] = u - v;
                wn *= w;
            }
        }
    }
}

}  // namespace

std::vector<float> mono(const std::vector<float>& left, const std::vector<float>& right) {
    std::vector<float> m(std::min(left.size(), right.size()));
    for (size_t i = 0; i < m.size(); ++i) m[i] = 0.5f * (left[i] + right[i]);
    return m;
}

std::vector<float> kickBandEnergy(const std::vector<float>& signal, double rate) {
    std::vector<double> x(signal.begin(), signal.end());
    zeroPhaseFilter(x, 1000.0, rate, false);
    zeroPhaseFilter(x, 120.0, rate, true);
    std::vector<float> energy(x.size());
    for (size_t i = 0; i < x.size(); ++i) energy[i] = static_cast<float>(x[i] * x[i]);
    return energy;
}

std::vector<float> kickBodyEnergy(const std::vector<float>& signal, double rate) {
    std::vector<double> x(signal.begin(), signal.end());
    zeroPhaseFilter(x, 150.0, rate, false);
    std::vector<float> energy(x.size());
    for (size_t i = 0; i < x.size(); ++i) energy[i] = static_cast<float>(x[i] * x[i]);
    return energy;
}

Onset onsetNear(const std::vector<float>& energy, double rate, double centreSeconds,
                double halfWidthSeconds) {
    const long n = static_cast<long>(energy.size());
    const long w = static_cast<long>(rate * 0.008);
    const long begin = std::max(static_cast<long>((centreSeconds - halfWidthSeconds) * rate), w);
    const long end = std::min(static_cast<long>((centreSeconds + halfWidthSeconds) * rate), n - w);
    if (end <= begin) return {};
    // Running sums over [i - w, i) and [i, i + w).
    double before = 0.0, after = 0.0;
    for (long k = begin - w; k < begin; ++k) before += energy[k];
    for (long k = begin; k < begin + w; ++k) after += energy[k];
    Onset best;
    double bestRise = -1.0;
    for (long i = begin; i < end; ++i) {
        if (after - before > bestRise) {
            bestRise = after - before;
            best.seconds = i / rate;
            best.riseDb = 10.0 * std::log10((after + 1e-12) / (before + 1e-12));
        }
        before += energy[i] - energy[i - w];
        after += energy[i + w] - energy[i];
    }
    return best;
}

double spectralCentroid(const std::vector<float>& signal, double rate, size_t begin, size_t end) {
    constexpr size_t kFrame = 4096;
    std::vector<double> magnitude(kFrame / 2, 0.0);
    std::vector<std::complex<double>> frame(kFrame);
    end = std::min(end, signal.size());
    for (size_t start = begin; start + kFrame <= end; start += kFrame) {
        for (size_t i = 0; i < kFrame; ++i) {
            const double w = 0.5 - 0.5 * std::cos(2 * kPi * i / kFrame);
            frame[i] = signal[start + i] * w;
        }
        fft(frame);
        for (size_t k = 0; k < kFrame / 2; ++k) magnitude[k] += std::abs(frame[k]);
    }
    double weighted = 0.0, total = 0.0;
    for (size_t k = 1; k < kFrame / 2; ++k) {
        weighted += magnitude[k] * k * rate / kFrame;
        total += magnitude[k];
    }
    return total > 0.0 ? weighted / total : 0.0;
}

float largestStep(const std::vector<float>& left, const std::vector<float>& right, size_t begin,
                  size_t end) {
    end = std::min({end, left.size(), right.size()});
    float largest = 0.0f;
    for (size_t i = std::max<size_t>(begin, 1); i < end; ++i)
        largest = std::max(
            {largest, std::fabs(left[i] - left[i - 1]), std::fabs(right[i] - right[i - 1])});
    return largest;
}

double barLineStepRatio(const std::vector<float>& left, const std::vector<float>& right,
                        double rate, double secondsPerBar, int bar) {
    const auto sampleAt = [&](double bars) {
        return static_cast<size_t>(std::llround(bars * secondsPerBar * rate));
    };
    const size_t w = static_cast<size_t>(rate * 0.003);
    const size_t line = sampleAt(bar);
    if (bar < 1 || line < w) return 0.0;
    const float atLine = largestStep(left, right, line - w, line + w);
    float reference = 1e-4f;
    for (int beat = 1; beat < 4; ++beat) {
        const size_t at = sampleAt(bar + beat / 4.0);
        reference = std::max(reference, largestStep(left, right, at - w, at + w));
    }
    const size_t window = static_cast<size_t>(rate * 0.002);
    std::vector<float> steps;
    for (size_t at = sampleAt(bar - 1); at + window <= sampleAt(bar + 1); at += window)
        if (at + window <= line - w || at >= line + w)
            steps.push_back(largestStep(left, right, at, at + window));
    if (!steps.empty()) {
        const size_t k = steps.size() * 9 / 10;
        std::nth_element(steps.begin(), steps.begin() + k, steps.end());
        reference = std::max(reference, steps[k]);
    }
    return atLine / reference;
}

}  // namespace analysis
