#pragma once
#include <cstdint>

// A smooth music position (100 ns units) from a clock that moves in coarse steps, such as a
// browser's media element, whose current time advances only every few milliseconds or less often.
// Between steps the position runs on with a fine clock (the page's millisecond clock); it never
// goes back except through reset, and runs at most kMaxLead past the last step, so a stalled
// element (buffering) holds the picture instead of running away from the sound.
class MediaClock {
public:
    static constexpr std::int64_t kMaxLead = 10'000'000;  // one second

    // Starts over at `position` (open, seek).
    void reset(std::int64_t position);
    // `reported`: the coarse clock now; `nowMs`: the fine clock now, in milliseconds; `running`:
    // whether the sound is advancing. Returns the position to draw.
    std::int64_t update(std::int64_t reported, double nowMs, bool running);
    // What update last returned (or the reset position).
    std::int64_t position() const { return last_; }

private:
    std::int64_t lastStep_ = -1;  // the coarse clock's value when it last changed
    std::int64_t anchor_ = 0;     // the position at anchorMs_
    double anchorMs_ = 0.0;
    bool anchorRunning_ = false;
    std::int64_t last_ = 0;  // what update last returned
};
