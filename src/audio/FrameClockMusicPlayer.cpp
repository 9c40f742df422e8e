#include "audio/FrameClockMusicPlayer.h"

#include "audio/MusicPosition.h"

int FrameClockMusicPlayer::seek(double seconds) {
    double v = seconds > 0.0 ? seconds : 0.0;  // NaN too
    if (duration_ > 0.0 && v > duration_) v = duration_;
    if (v > kMaxSeekSeconds) v = kMaxSeekSeconds;
    position_ = positionOfSeconds(v);
    return 0;
}
