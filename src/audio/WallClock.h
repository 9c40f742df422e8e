#pragma once
#include <chrono>
#include <cstdint>

// A music position (100 ns units) that runs from the monotonic clock while started: the stand-in
// when the soundtrack cannot be played, so the demo still runs at real speed.
class WallClock {
public:
    // Starts running from the current position; does nothing when already running.
    void start();
    void stop();
    // Jumps to `position`; keeps running when running.
    void setPosition(std::int64_t position);
    std::int64_t position() const;
    bool running() const { return running_; }

private:
    using Clock = std::chrono::steady_clock;
    std::int64_t base_ = 0;  // the position at startTime_
    Clock::time_point startTime_{};
    bool running_ = false;
};
