#pragma once
#include <cstdint>
#include <vector>

#include "app/Key.h"

// Modifier keys held when a key went down, as a KeyEvent carries them.
enum KeyModifier : std::uint8_t { kShiftHeld = 1, kControlHeld = 2 };

// One key going down: with the modifiers held at that moment and how many presses it stands for
// (a Windows key message counts the auto-repeats it folds together), so a frame that comes late
// still sees Shift+Right as a beat and two presses as two.
struct KeyEvent {
    Key key = Key::None;
    std::uint8_t modifiers = 0;
    int count = 1;
};

// The keys as a front end's pump records them, for whoever reads them after the pump: which are
// held, and the presses since the frame started, in the order they came.
class Keyboard {
public:
    void press(Key key, std::uint8_t modifiers, int count = 1);
    void release(Key key);
    // At the start of each pump: the last frame's presses are gone, held keys stay held.
    void startFrame() { presses_.clear(); }
    // When a window is made: nothing held, nothing pressed.
    void reset();

    bool isDown(Key key) const { return down_[static_cast<int>(key)] != 0; }
    // Times `key` went down since the frame started (auto-repeats included).
    int presses(Key key) const;
    const std::vector<KeyEvent>& pressesThisFrame() const { return presses_; }

private:
    std::uint8_t down_[256] = {};
    std::vector<KeyEvent> presses_;
};
