#include "app/linux/VirtualKeyCode.h"

Key virtualKeyCode(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return keyAfter(Key::A, key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return keyAfter(Key::Digit0, key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return keyAfter(Key::F1, key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return keyAfter(Key::Numpad0, 1 + (key - SDLK_KP_1));
    switch (key) {
        case SDLK_BACKSPACE: return Key::Backspace;
        case SDLK_TAB: return Key::Tab;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return Key::Enter;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT: return Key::Shift;
        case SDLK_LCTRL:
        case SDLK_RCTRL: return Key::Control;
        case SDLK_LALT:
        case SDLK_RALT: return Key::Alt;
        case SDLK_PAUSE: return Key::Pause;
        case SDLK_CAPSLOCK: return Key::CapsLock;
        case SDLK_ESCAPE: return Key::Escape;
        case SDLK_SPACE: return Key::Space;
        case SDLK_PAGEUP: return Key::PageUp;
        case SDLK_PAGEDOWN: return Key::PageDown;
        case SDLK_END: return Key::End;
        case SDLK_HOME: return Key::Home;
        case SDLK_LEFT: return Key::Left;
        case SDLK_UP: return Key::Up;
        case SDLK_RIGHT: return Key::Right;
        case SDLK_DOWN: return Key::Down;
        case SDLK_PRINTSCREEN: return Key::PrintScreen;
        case SDLK_INSERT: return Key::Insert;
        case SDLK_DELETE: return Key::Delete;
        case SDLK_KP_0: return Key::Numpad0;
        case SDLK_KP_MULTIPLY: return Key::NumpadMultiply;
        case SDLK_KP_PLUS: return Key::NumpadPlus;
        case SDLK_KP_MINUS: return Key::NumpadMinus;
        case SDLK_KP_PERIOD: return Key::NumpadPeriod;
        case SDLK_KP_DIVIDE: return Key::NumpadDivide;
        case SDLK_SEMICOLON: return Key::Semicolon;
        case SDLK_EQUALS: return Key::Equals;
        case SDLK_COMMA: return Key::Comma;
        case SDLK_MINUS: return Key::Minus;
        case SDLK_PERIOD: return Key::Period;
        case SDLK_SLASH: return Key::Slash;
        case SDLK_BACKQUOTE: return Key::Backquote;
        case SDLK_LEFTBRACKET: return Key::OpenBracket;
        case SDLK_BACKSLASH: return Key::Backslash;
        case SDLK_RIGHTBRACKET: return Key::CloseBracket;
        case SDLK_QUOTE: return Key::Quote;
        default: return Key::None;
    }
}
