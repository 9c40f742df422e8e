#include "audio/MediaClock.h"

#include <algorithm>

void MediaClock::reset(std::int64_t position) {
    lastStep_ = -1;
    anchor_ = position;
    anchorRunning_ = false;
    last_ = position;
}

std::int64_t MediaClock::update(std::int64_t reported, double nowMs, bool running) {
    // A new step, or the sound starting or stopping, re-anchors the fine clock; otherwise the
    // position keeps running from the last anchor.
    if (reported != lastStep_ || running != anchorRunning_) {
        if (reported != lastStep_)
            anchor_ = reported;
        else
            anchor_ = std::max(anchor_, last_);  // started or stopped between steps
        lastStep_ = reported;
        anchorMs_ = nowMs;
        anchorRunning_ = running;
    }
    std::int64_t estimate = anchor_;
    if (running && nowMs > anchorMs_) {
        const double elapsed = (nowMs - anchorMs_) * 10'000.0;
        estimate += static_cast<std::int64_t>(std::min(elapsed, static_cast<double>(kMaxLead)));
    }
    last_ = std::max(last_, estimate);
    return last_;
}
