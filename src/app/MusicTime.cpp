#include "app/MusicTime.h"

#include <cstdlib>

#include "audio/MusicPlayer.h"
#include "demo/Timeline.h"

bool parseMusicTime(const std::string& text, double& seconds) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str()) return false;
    if (*end == 'b') {
        value = secondsOfBars(value);
        ++end;
    }
    if (*end != '\0' || !(value >= 0.0) || value > MusicPlayer::kMaxSeekSeconds) return false;
    seconds = value;
    return true;
}
