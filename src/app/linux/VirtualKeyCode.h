#pragma once
#include <SDL.h>

#include "app/Key.h"

// The Key an SDL key is recorded as (its Windows virtual-key code). Covered: letters (0x41-0x5A),
// digits (0x30-0x39), space, Enter (both), Tab, Backspace, Escape, the arrows,
// Insert/Delete/Home/End/ Page Up/Page Down, F1-F12, Shift/Ctrl/Alt (either side, as
// VK_SHIFT/VK_CONTROL/VK_MENU), the keypad digits and operators, and the US punctuation keys (the
// VK_OEM_* codes). Any other key gives Key::None and is not recorded.
Key virtualKeyCode(SDL_Keycode key);
