#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// Ducking driven by the kick: for every sample, how far the other instruments are pushed down
// (0 none, 1 fully), falling in a few milliseconds at each kick and recovering over a beat.
// Tracks turn it into gain with their own depth, which is what makes the mix pump.
class Sidechain {
public:
    // `kicks`: sample positions (relative to the rendered range) with their strength 0..1.
    Sidechain(size_t frames, std::vector<std::pair<int64_t, float>> kicks);

    float duck(size_t frame) const { return frame < duck_.size() ? duck_[frame] : 0.0f; }

    void apply(std::vector<float>& left, std::vector<float>& right, float depth) const;

private:
    std::vector<float> duck_;
};
