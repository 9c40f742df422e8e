#pragma once

#include <cstdint>

// White noise from a 32-bit xorshift generator: the same seed gives the same hiss on every run
// and every machine, which keeps the render deterministic.
class Noise {
public:
    explicit Noise(uint32_t seed = 0x9e3779b9u) : state_(seed ? seed : 0x9e3779b9u) {}

    uint32_t nextBits() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

    // Uniform in [-1, 1).
    float next() { return static_cast<float>(nextBits() >> 8) * (2.0f / 16777216.0f) - 1.0f; }

    // Uniform in [0, 1).
    float unit() { return static_cast<float>(nextBits() >> 8) * (1.0f / 16777216.0f); }

private:
    uint32_t state_;
};
