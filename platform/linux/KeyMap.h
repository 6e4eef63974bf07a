// Translation of SDL key events into the editor's key messages.
//
// Conventions: virtual-key codes are the Win32 values of Platform.h. Keys
// that name a character on the user's layout (letters, digits) follow the
// layout, as virtual keys do; every other key is identified by its position
// (SDL scancode). Keypad keys are always the keypad's own codes, whatever
// the NumLock state: keypad 8 gives VK_NUMPAD8 with NumLock on AND off. The
// editor uses the keypad digits as camera keys, and a camera that silently
// stops working when NumLock happens to be off would be a fault; the
// cursor-key meaning of the keypad (NumLock off) is not used by anything.
//
// The second parameter (lParam) of a key message is laid out as on Win32:
// bits 0-15 repeat count (1), 16-23 the key's scancode (SDL's, i.e. the USB
// usage, not a PC set-1 code), 24 extended key, 29 Alt held, 30 previous
// state (1 on repeats and releases), 31 transition (1 on release). Bits
// 25-28, reserved on Win32, carry the modifier state at the time of the key
// so that the character translation is exact: 25 Shift, 26 Caps Lock,
// 27 NumLock, 28 Ctrl.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace desktop {

constexpr intptr_t KEY_SHIFT_BIT = intptr_t(1) << 25;
constexpr intptr_t KEY_CAPS_BIT = intptr_t(1) << 26;
constexpr intptr_t KEY_NUMLOCK_BIT = intptr_t(1) << 27;
constexpr intptr_t KEY_CTRL_BIT = intptr_t(1) << 28;
constexpr intptr_t KEY_ALT_BIT = intptr_t(1) << 29;

// Virtual-key code of a key, 0 when the key has none.
uint32_t VirtualKeyFor(SDL_Keycode sym, SDL_Scancode scancode);

// Keys with Alt held (and not Ctrl: Ctrl+Alt is AltGr), the Alt key itself
// and F10 are system keys: they arrive as WM_SYSKEYDOWN / WM_SYSKEYUP.
bool IsSystemKey(uint32_t virtualKey, uint16_t modifiers);

struct KeyMessage {
    uint32_t message = 0;  // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN or WM_SYSKEYUP
    uintptr_t wParam = 0;  // virtual-key code
    intptr_t lParam = 0;   // layout above
};

// The message of a key event; false when the key has no virtual-key code.
bool TranslateKey(bool down, bool repeat, SDL_Keycode sym, SDL_Scancode scancode,
                  uint16_t modifiers, KeyMessage* out);

// Character a key-down produces (US layout for the shifted symbols), from the
// virtual-key code and the modifier bits of its lParam; -1 when none. Like
// Win32 this includes Backspace, Tab, Return and Escape, and Ctrl with a
// letter gives the control character 1-26.
int CharacterFor(uint32_t virtualKey, intptr_t lParam);

}  // namespace desktop
