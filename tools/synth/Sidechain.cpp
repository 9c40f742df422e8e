#include "Sidechain.h"

#include <algorithm>
#include <cmath>

#include "Timeline.h"

namespace {
// A ramp rather than a jump: sustained pads would click if their gain stepped.
constexpr double kAttackSeconds = 0.004;
constexpr double kHoldSeconds = 0.03;
constexpr double kReleaseSeconds = 0.22;
}  // namespace

Sidechain::Sidechain(size_t frames, std::vector<std::pair<int64_t, float>> kicks)
    : duck_(frames, 0.0f) {
    std::sort(kicks.begin(), kicks.end());
    const int64_t attack = static_cast<int64_t>(kAttackSeconds * timeline::kSampleRate);
    const int64_t hold = static_cast<int64_t>(kHoldSeconds * timeline::kSampleRate);
    const int64_t release = static_cast<int64_t>(kReleaseSeconds * timeline::kSampleRate);
    for (const auto& [at, strength] : kicks) {
        for (int64_t i = 0; i < attack + hold + release; ++i) {
            const int64_t frame = at + i;
            if (frame < 0) continue;
            if (frame >= static_cast<int64_t>(frames)) break;
            double shape;
            if (i < attack) {
                shape = static_cast<double>(i) / attack;
            } else if (i < attack + hold) {
                shape = 1.0;
            } else {
                const double r = static_cast<double>(i - attack - hold) / release;
                shape = 0.5 + 0.5 * std::cos(3.141592653589793 * r);
            }
            float& d = duck_[static_cast<size_t>(frame)];
            // A new kick takes over from the tail of the previous one without a jump.
            d = std::max(d, static_cast<float>(shape * strength));
        }
    }
}

void Sidechain::apply(std::vector<float>& left, std::vector<float>& right, float depth) const {
    const size_t n = std::min({left.size(), right.size(), duck_.size()});
    for (size_t i = 0; i < n; ++i) {
        const float gain = 1.0f - depth * duck_[i];
        left[i] *= gain;
        right[i] *= gain;
    }
}
