#include "app/dev/Transport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "demo/Timeline.h"

namespace {

constexpr double kBeat = 1.0 / kBeatsPerBar;

double clampToDemo(double bars) {
    return std::min(std::max(bars, 0.0), static_cast<double>(kEndBar));
}

// The scene starts and, as the last stop, the end of the last scene.
double stop(int i) {
    return i < kSceneCount ? kTimeline[i].startBar : kLastSceneEndBar;
}

std::string formatBars(double bars) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3fb", bars);
    return text;
}

}  // namespace

bool Transport::seekFor(const KeyEvent& press, Seek& seek) {
    const bool shift = (press.modifiers & kShiftHeld) != 0;
    switch (press.key) {
        case Key::Left: seek = shift ? Seek::BeatBack : Seek::BarBack; return true;
        case Key::Right: seek = shift ? Seek::BeatForward : Seek::BarForward; return true;
        case Key::PageUp: seek = Seek::PreviousScene; return true;
        case Key::PageDown: seek = Seek::NextScene; return true;
        case Key::Home: seek = Seek::Start; return true;
        default: return false;
    }
}

double Transport::target(Seek seek, double bars) {
    switch (seek) {
        case Seek::BarBack: return clampToDemo(bars - 1.0);
        case Seek::BarForward: return clampToDemo(bars + 1.0);
        case Seek::BeatBack: return clampToDemo(bars - kBeat);
        case Seek::BeatForward: return clampToDemo(bars + kBeat);
        case Seek::Start: return 0.0;
        case Seek::PreviousScene: {
            double to = 0.0;
            for (int i = 0; i <= kSceneCount; ++i)
                if (stop(i) < bars - 0.5 * kBeat) to = stop(i);
            return to;
        }
        case Seek::NextScene:
            for (int i = 0; i <= kSceneCount; ++i)
                if (stop(i) > bars) return stop(i);
            return static_cast<double>(kEndBar);
    }
    return bars;
}

void Transport::toggleSceneLoop(double bars) {
    if (looping()) {
        loopIn_ = loopOut_ = -1.0;
        return;
    }
    loopIn_ = kLastSceneEndBar;
    loopOut_ = kEndBar;
    for (int i = 0; i < kSceneCount; ++i) {
        if (bars >= stop(i) && bars < stop(i + 1)) {
            loopIn_ = stop(i);
            loopOut_ = stop(i + 1);
        }
    }
}

void Transport::setLoopIn(double bars) {
    loopIn_ = clampToDemo(bars);
}

void Transport::setLoopOut(double bars) {
    loopOut_ = clampToDemo(bars);
}

bool Transport::wraps(double bars, double& to) const {
    if (!looping() || bars < loopOut_) return false;
    to = loopIn_;
    return true;
}

std::string Transport::loopLine() const {
    if (looping()) return "loop " + formatBars(loopIn_) + "-" + formatBars(loopOut_);
    if (loopIn_ >= 0.0) return "loop in " + formatBars(loopIn_);
    if (loopOut_ >= 0.0) return "loop out " + formatBars(loopOut_);
    return "loop off";
}

std::string positionLine(double bars, bool paused, const Transport& transport) {
    std::string line = "position " + formatBars(bars) + (paused ? " paused" : " playing");
    if (transport.looping()) line += " " + transport.loopLine();
    return line;
}
