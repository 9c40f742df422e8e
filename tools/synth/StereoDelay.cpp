#include "StereoDelay.h"

#include <cmath>
#include <vector>

#include "SvFilter.h"
#include "Timeline.h"

StereoDelay::StereoDelay(double delaySeconds, double feedback, double lowpassHz, double highpassHz)
    : delay_(static_cast<int>(std::lround(delaySeconds * timeline::kSampleRate))),
      feedback_(feedback),
      lowpassHz_(lowpassHz),
      highpassHz_(highpassHz) {}

StereoBuffer StereoDelay::process(const StereoBuffer& send) const {
    const size_t frames = send.frames();
    StereoBuffer wet(frames);
    if (delay_ <= 0) return wet;
    std::vector<float> lineLeft(delay_, 0.0f), lineRight(delay_, 0.0f);
    SvFilter lowLeft, lowRight, highLeft, highRight;
    lowLeft.setCutoff(lowpassHz_, 0.0);
    lowRight.setCutoff(lowpassHz_, 0.0);
    highLeft.setCutoff(highpassHz_, 0.0);
    highRight.setCutoff(highpassHz_, 0.0);
    const float fb = static_cast<float>(feedback_);
    size_t pos = 0;
    for (size_t n = 0; n < frames; ++n) {
        const float outLeft = lineLeft[pos];
        const float outRight = lineRight[pos];
        // The dry input enters on the left only, so the first echo comes from the left and the
        // next from the right.
        const float mono = 0.5f * (send.left[n] + send.right[n]);
        lineLeft[pos] = highLeft.highpass(lowLeft.lowpass(mono + outRight * fb));
        lineRight[pos] = highRight.highpass(lowRight.lowpass(outLeft * fb));
        pos = pos + 1 == lineLeft.size() ? 0 : pos + 1;
        wet.left[n] = outLeft;
        wet.right[n] = outRight;
    }
    return wet;
}
