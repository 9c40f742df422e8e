#pragma once
#include <string>

#include "app/Keyboard.h"

// The developer's transport: where each seek key goes, and the loop. Positions are in bars, as the
// timeline counts them from 0; nothing here touches the music or GL.
class Transport {
public:
    enum class Seek { BarBack, BarForward, BeatBack, BeatForward, PreviousScene, NextScene, Start };

    // Where `seek` goes from `bars`, within [0, the end of the demo]. Previous scene goes to the
    // start of the scene playing, or of the one before when that start is less than half a beat
    // behind (so pressing it twice keeps going back).
    static double target(Seek seek, double bars);
    // The seek a key press asks for, by the key and the modifiers it went down with: Left/Right a
    // bar (with Shift a beat), Page Up/Down a scene start, Home the start. False for other keys.
    static bool seekFor(const KeyEvent& press, Seek& seek);

    // L: loops the scene at `bars` (after the last scene: the closing bars), or ends the loop.
    void toggleSceneLoop(double bars);
    // [ and ]: a loop's in and out points; it loops once in lies before out.
    void setLoopIn(double bars);
    void setLoopOut(double bars);
    bool looping() const { return loopIn_ >= 0.0 && loopOut_ > loopIn_; }
    double loopIn() const { return loopIn_; }
    double loopOut() const { return loopOut_; }
    // True, with the loop's start in `to`, when a looping position has reached the loop's end.
    bool wraps(double bars, double& to) const;

    // "loop 22.000b-24.000b", "loop in 20.500b", or "loop off".
    std::string loopLine() const;

private:
    double loopIn_ = -1.0;
    double loopOut_ = -1.0;
};

// The machine-readable line every transport action prints, such as "position 21.000b paused" or
// "position 22.000b playing loop 22.000b-24.000b".
std::string positionLine(double bars, bool paused, const Transport& transport);
