#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// Two float channels of equal length, the unit every instrument, track and bus renders into.
struct StereoBuffer {
    std::vector<float> left;
    std::vector<float> right;

    StereoBuffer() = default;
    explicit StereoBuffer(size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}

    size_t frames() const { return left.size(); }

    // Adds one frame if it lies inside the buffer; notes near the ends are clipped, never written
    // out of bounds.
    void add(int64_t frame, float l, float r) {
        if (frame < 0 || frame >= static_cast<int64_t>(left.size())) return;
        left[static_cast<size_t>(frame)] += l;
        right[static_cast<size_t>(frame)] += r;
    }

    void mixIn(const StereoBuffer& other, float gain) {
        const size_t n = std::min(frames(), other.frames());
        for (size_t i = 0; i < n; ++i) {
            left[i] += other.left[i] * gain;
            right[i] += other.right[i] * gain;
        }
    }
};
