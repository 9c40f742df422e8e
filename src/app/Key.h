#pragma once
#include <cstdint>

// A key as the front ends record it: its Windows virtual-key code, so that every front end records
// the same key under the same value (Win32 gets it from the system, the browser's keyCode is the
// same code, SDL's keys are mapped in app/linux/VirtualKeyCode.cpp). Letters, digits, F-keys and
// keypad digits run on from their first name. None: a key no front end records.
enum class Key : std::uint8_t {
    None = 0x00,
    Backspace = 0x08,
    Tab = 0x09,
    Enter = 0x0D,
    Shift = 0x10,
    Control = 0x11,
    Alt = 0x12,
    Pause = 0x13,
    CapsLock = 0x14,
    Escape = 0x1B,
    Space = 0x20,
    PageUp = 0x21,
    PageDown = 0x22,
    End = 0x23,
    Home = 0x24,
    Left = 0x25,
    Up = 0x26,
    Right = 0x27,
    Down = 0x28,
    PrintScreen = 0x2C,
    Insert = 0x2D,
    Delete = 0x2E,
    Digit0 = 0x30,  // to Digit0 + 9
    A = 0x41,       // to A + 25 (Z)
    L = 0x4C,
    Numpad0 = 0x60,  // to Numpad0 + 9
    NumpadMultiply = 0x6A,
    NumpadPlus = 0x6B,
    NumpadMinus = 0x6D,
    NumpadPeriod = 0x6E,
    NumpadDivide = 0x6F,
    F1 = 0x70,  // to F1 + 11 (F12)
    F10 = 0x79,
    Semicolon = 0xBA,
    Equals = 0xBB,
    Comma = 0xBC,
    Minus = 0xBD,
    Period = 0xBE,
    Slash = 0xBF,
    Backquote = 0xC0,
    OpenBracket = 0xDB,
    Backslash = 0xDC,
    CloseBracket = 0xDD,
    Quote = 0xDE,
};

// The key `offset` places after `first` in a run (Key::A, 25 is Z).
constexpr Key keyAfter(Key first, int offset) {
    return static_cast<Key>(static_cast<int>(first) + offset);
}
