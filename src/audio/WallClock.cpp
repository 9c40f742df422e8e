#include "audio/WallClock.h"

void WallClock::start() {
    if (running_) return;
    startTime_ = Clock::now();
    running_ = true;
}

void WallClock::stop() {
    base_ = position();
    running_ = false;
}

void WallClock::setPosition(std::int64_t position) {
    base_ = position;
    startTime_ = Clock::now();
}

std::int64_t WallClock::position() const {
    if (!running_) return base_;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - startTime_);
    return base_ + elapsed.count() / 100;
}
