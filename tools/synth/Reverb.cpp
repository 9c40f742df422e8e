#include "Reverb.h"

#include <cmath>

#include "Timeline.h"

namespace {

class AllPass {
public:
    AllPass(int length, float gain) : line_(length, 0.0f), gain_(gain) {}
    float process(float x) {
        const float delayed = line_[pos_];
        const float v = x + gain_ * delayed;
        line_[pos_] = v;
        pos_ = pos_ + 1 == line_.size() ? 0 : pos_ + 1;
        return delayed - gain_ * v;
    }

private:
    std::vector<float> line_;
    float gain_;
    size_t pos_ = 0;
};

// Mutually prime lengths, so the echoes of the lines do not pile up on one period.
constexpr std::array<int, 8> kLineLengths = {1433, 1601, 1867, 2053, 2251, 2399, 2617, 2797};

}  // namespace

Reverb::Reverb(double decaySeconds, double dampingHz, double preDelaySeconds)
    : decaySeconds_(decaySeconds),
      dampingCoefficient_(std::exp(-6.283185307179586 * dampingHz / timeline::kSampleRate)),
      preDelay_(static_cast<int>(preDelaySeconds * timeline::kSampleRate)) {}

StereoBuffer Reverb::process(const StereoBuffer& send) {
    const size_t frames = send.frames();
    StereoBuffer wet(frames);
    std::array<std::vector<float>, kLines> lines;
    std::array<size_t, kLines> pos{};
    std::array<float, kLines> feedback{};
    std::array<float, kLines> damp{};
    for (int i = 0; i < kLines; ++i) {
        lines[i].assign(kLineLengths[i], 0.0f);
        // Gain per trip that gives a 60 dB fall over the decay time.
        feedback[i] = static_cast<float>(
            std::pow(10.0, -3.0 * kLineLengths[i] / (decaySeconds_ * timeline::kSampleRate)));
    }
    AllPass diffuseLeft[] = {AllPass(142, 0.7f), AllPass(379, 0.7f), AllPass(107, 0.6f)};
    AllPass diffuseRight[] = {AllPass(151, 0.7f), AllPass(359, 0.7f), AllPass(113, 0.6f)};
    const float a = static_cast<float>(dampingCoefficient_);

    for (size_t n = 0; n < frames; ++n) {
        const size_t src = n >= static_cast<size_t>(preDelay_) ? n - preDelay_ : frames;
        float inLeft = src < frames ? send.left[src] : 0.0f;
        float inRight = src < frames ? send.right[src] : 0.0f;
        for (AllPass& ap : diffuseLeft) inLeft = ap.process(inLeft);
        for (AllPass& ap : diffuseRight) inRight = ap.process(inRight);

        std::array<float, kLines> out;
        float sum = 0.0f;
        for (int i = 0; i < kLines; ++i) {
            out[i] = lines[i][pos[i]];
            sum += out[i];
        }
        const float householder = sum * (2.0f / kLines);
        float wetLeft = 0.0f;
        float wetRight = 0.0f;
        for (int i = 0; i < kLines; ++i) {
            const float mixed = out[i] - householder;
            damp[i] = mixed * (1.0f - a) + damp[i] * a;
            const float input = (i % 2 == 0 ? inLeft : inRight) * ((i / 2) % 2 == 0 ? 0.5f : -0.5f);
            lines[i][pos[i]] = damp[i] * feedback[i] + input;
            pos[i] = pos[i] + 1 == lines[i].size() ? 0 : pos[i] + 1;
            if (i % 2 == 0)
                wetLeft += out[i] * (i % 4 == 0 ? 1.0f : -1.0f);
            else
                wetRight += out[i] * (i % 4 == 1 ? 1.0f : -1.0f);
        }
        wet.left[n] = wetLeft * 0.5f;
        wet.right[n] = wetRight * 0.5f;
    }
    return wet;
}
