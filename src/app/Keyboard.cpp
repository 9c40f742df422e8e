#include "app/Keyboard.h"

void Keyboard::press(Key key, std::uint8_t modifiers, int count) {
    if (key == Key::None || count < 1) return;
    down_[static_cast<int>(key)] = 1;
    presses_.push_back({key, modifiers, count});
}

void Keyboard::release(Key key) {
    down_[static_cast<int>(key)] = 0;
}

void Keyboard::reset() {
    for (std::uint8_t& d : down_) d = 0;
    presses_.clear();
}

int Keyboard::presses(Key key) const {
    int count = 0;
    for (const KeyEvent& p : presses_)
        if (p.key == key) count += p.count;
    return count;
}
