#include "Limiter.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "Timeline.h"
#include "TruePeak.h"

Limiter::Limiter(double ceiling, double lookaheadSeconds, double releaseSeconds)
    : ceiling_(ceiling), lookaheadSeconds_(lookaheadSeconds), releaseSeconds_(releaseSeconds) {}

std::vector<float> Limiter::framePeaks(const StereoBuffer& buffer) {
    const TruePeak meter;
    std::vector<float> peaks = meter.perSample(buffer.left);
    const std::vector<float> right = meter.perSample(buffer.right);
    for (size_t i = 0; i < peaks.size(); ++i) peaks[i] = std::max(peaks[i], right[i]);
    return peaks;
}

double Limiter::process(StereoBuffer& buffer, const std::vector<float>& peaks,
                        double inputGain) const {
    return pass(buffer, peaks, inputGain);
}

double Limiter::enforce(StereoBuffer& buffer) const {
    // Where the gain ramps within the reach of the interpolation, an inter-sample peak can
    // still poke a hair above the ceiling; another pass over the result catches it.
    double reductionDb = 0.0;
    for (int check = 0; check < 3; ++check) {
        const std::vector<float> peaks = framePeaks(buffer);
        if (peaks.empty() || *std::max_element(peaks.begin(), peaks.end()) <= ceiling_) break;
        reductionDb += pass(buffer, peaks, 1.0);
    }
    return reductionDb;
}

double Limiter::pass(StereoBuffer& buffer, const std::vector<float>& peaks,
                     double inputGain) const {
    const size_t n = std::min(buffer.frames(), peaks.size());
    if (n == 0) return 0.0;

    // Gain each sample needs on its own. An interpolated peak sits between sample i and i+1, so
    // it has to be honoured by both.
    std::vector<float> need(n, 1.0f);
    for (size_t i = 0; i < n; ++i) {
        const double p = peaks[i] * inputGain;
        if (p > ceiling_) need[i] = static_cast<float>(ceiling_ / p);
    }
    for (size_t i = n - 1; i > 0; --i) need[i] = std::min(need[i], need[i - 1]);

    const size_t window =
        std::max<size_t>(1, static_cast<size_t>(lookaheadSeconds_ * timeline::kSampleRate));
    // Minimum of need[i .. i + window - 1], a sliding window over a monotonic deque.
    std::vector<float> ahead(n);
    std::deque<size_t> candidates;
    for (size_t j = n; j-- > 0;) {
        while (!candidates.empty() && need[candidates.back()] >= need[j]) candidates.pop_back();
        candidates.push_back(j);
        while (candidates.front() >= j + window) candidates.pop_front();
        ahead[j] = need[candidates.front()];
    }

    // Instant attack on the look-ahead minimum, exponential release.
    const double releaseStep = 1.0 - std::exp(-1.0 / (releaseSeconds_ * timeline::kSampleRate));
    std::vector<float> held(n);
    double g = 1.0;
    for (size_t i = 0; i < n; ++i) {
        g = std::min<double>(ahead[i], g + (1.0 - g) * releaseStep);
        held[i] = static_cast<float>(g);
    }

    // A moving average over the look-ahead turns the instant drops into ramps. Every term of the
    // average at sample i saw need[i] in its look-ahead, so the average never exceeds it.
    double deepest = 1.0;
    double sum = 0.0;
    for (size_t i = 0; i < n; ++i) {
        sum += held[i];
        if (i >= window) sum -= held[i - window];
        const size_t count = std::min(i + 1, window);
        // Before the window fills, the missing terms count as unity gain; only the song's first
        // millisecond sees this.
        const double average = (sum + static_cast<double>(window - count)) / window;
        const double applied = std::min(average, static_cast<double>(need[i]));
        buffer.left[i] = static_cast<float>(buffer.left[i] * inputGain * applied);
        buffer.right[i] = static_cast<float>(buffer.right[i] * inputGain * applied);
        deepest = std::min(deepest, applied);
    }
    return 20.0 * std::log10(deepest);
}
