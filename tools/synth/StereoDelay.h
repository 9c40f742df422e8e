#pragma once

#include "StereoBuffer.h"

// Ping-pong echo: each repeat crosses to the other side and loses some highs and lows, so the
// echoes sit behind the dry sound instead of muddying it.
class StereoDelay {
public:
    StereoDelay(double delaySeconds, double feedback, double lowpassHz, double highpassHz);

    // Returns the echoes of `send`; the dry signal is not included.
    StereoBuffer process(const StereoBuffer& send) const;

private:
    int delay_;
    double feedback_;
    double lowpassHz_;
    double highpassHz_;
};
