// SDL key events to Win32-style key messages (rules in KeyMap.h).
#include "platform/linux/KeyMap.h"

#include "platform/Platform.h"

namespace desktop {
namespace {

using namespace plat;

// Win32 codes not named in Platform.h (only the backend produces them).
constexpr uint32_t VK_CANCEL = 0x03;
constexpr uint32_t VK_CLEAR = 0x0C;
constexpr uint32_t VK_HANGUL = 0x15;
constexpr uint32_t VK_HANJA = 0x19;
constexpr uint32_t VK_SELECT = 0x29;
constexpr uint32_t VK_EXECUTE = 0x2B;
constexpr uint32_t VK_HELP = 0x2F;
constexpr uint32_t VK_SLEEP = 0x5F;
constexpr uint32_t VK_SEPARATOR = 0x6C;
constexpr uint32_t VK_OEM_NEC_EQUAL = 0x92;
constexpr uint32_t VK_BROWSER_BACK = 0xA6;
constexpr uint32_t VK_BROWSER_FORWARD = 0xA7;
constexpr uint32_t VK_BROWSER_REFRESH = 0xA8;
constexpr uint32_t VK_BROWSER_STOP = 0xA9;
constexpr uint32_t VK_BROWSER_SEARCH = 0xAA;
constexpr uint32_t VK_BROWSER_FAVORITES = 0xAB;
constexpr uint32_t VK_BROWSER_HOME = 0xAC;
constexpr uint32_t VK_VOLUME_MUTE = 0xAD;
constexpr uint32_t VK_VOLUME_DOWN = 0xAE;
constexpr uint32_t VK_VOLUME_UP = 0xAF;
constexpr uint32_t VK_MEDIA_NEXT_TRACK = 0xB0;
constexpr uint32_t VK_MEDIA_PREV_TRACK = 0xB1;
constexpr uint32_t VK_MEDIA_STOP = 0xB2;
constexpr uint32_t VK_MEDIA_PLAY_PAUSE = 0xB3;
constexpr uint32_t VK_LAUNCH_MAIL = 0xB4;
constexpr uint32_t VK_LAUNCH_MEDIA_SELECT = 0xB5;
constexpr uint32_t VK_LAUNCH_APP1 = 0xB6;
constexpr uint32_t VK_LAUNCH_APP2 = 0xB7;
constexpr uint32_t VK_CRSEL = 0xF7;
constexpr uint32_t VK_EXSEL = 0xF8;

struct ScancodeKey {
    SDL_Scancode scancode;
    uint32_t virtualKey;
};

// Keys identified by position. Letters and digits are here too, as the
// fallback for layouts whose letter keys do not produce ASCII letters.
const ScancodeKey kByScancode[] = {
    {SDL_SCANCODE_RETURN, VK_RETURN},
    {SDL_SCANCODE_RETURN2, VK_RETURN},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE},
    {SDL_SCANCODE_BACKSPACE, VK_BACK},
    {SDL_SCANCODE_TAB, VK_TAB},
    {SDL_SCANCODE_SPACE, VK_SPACE},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL},
    {SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT},
    {SDL_SCANCODE_SYSREQ, VK_SNAPSHOT},
    {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL},
    {SDL_SCANCODE_PAUSE, VK_PAUSE},
    {SDL_SCANCODE_INSERT, VK_INSERT},
    {SDL_SCANCODE_HOME, VK_HOME},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR},
    {SDL_SCANCODE_DELETE, VK_DELETE},
    {SDL_SCANCODE_END, VK_END},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT},
    {SDL_SCANCODE_RIGHT, VK_RIGHT},
    {SDL_SCANCODE_LEFT, VK_LEFT},
    {SDL_SCANCODE_DOWN, VK_DOWN},
    {SDL_SCANCODE_UP, VK_UP},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT},
    {SDL_SCANCODE_KP_PLUS, VK_ADD},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL},
    {SDL_SCANCODE_KP_DECIMAL, VK_DECIMAL},
    {SDL_SCANCODE_KP_COMMA, VK_SEPARATOR},
    {SDL_SCANCODE_KP_EQUALS, VK_OEM_NEC_EQUAL},
    {SDL_SCANCODE_KP_EQUALSAS400, VK_OEM_NEC_EQUAL},
    {SDL_SCANCODE_KP_CLEAR, VK_CLEAR},
    {SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102},
    {SDL_SCANCODE_NONUSHASH, VK_OEM_5},
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA},
    {SDL_SCANCODE_MINUS, VK_OEM_MINUS},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD},
    {SDL_SCANCODE_SLASH, VK_OEM_2},
    {SDL_SCANCODE_GRAVE, VK_OEM_3},
    {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5},
    {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7},
    {SDL_SCANCODE_LCTRL, VK_CONTROL},
    {SDL_SCANCODE_RCTRL, VK_CONTROL},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT},
    {SDL_SCANCODE_RSHIFT, VK_SHIFT},
    {SDL_SCANCODE_LALT, VK_MENU},
    {SDL_SCANCODE_RALT, VK_MENU},
    {SDL_SCANCODE_LGUI, VK_LWIN},
    {SDL_SCANCODE_RGUI, VK_RWIN},
    {SDL_SCANCODE_APPLICATION, VK_APPS},
    {SDL_SCANCODE_MENU, VK_APPS},
    {SDL_SCANCODE_HELP, VK_HELP},
    {SDL_SCANCODE_SELECT, VK_SELECT},
    {SDL_SCANCODE_EXECUTE, VK_EXECUTE},
    {SDL_SCANCODE_CANCEL, VK_CANCEL},
    {SDL_SCANCODE_CLEAR, VK_CLEAR},
    {SDL_SCANCODE_CRSEL, VK_CRSEL},
    {SDL_SCANCODE_EXSEL, VK_EXSEL},
    {SDL_SCANCODE_SLEEP, VK_SLEEP},
    {SDL_SCANCODE_LANG1, VK_HANGUL},
    {SDL_SCANCODE_LANG2, VK_HANJA},
    {SDL_SCANCODE_MUTE, VK_VOLUME_MUTE},
    {SDL_SCANCODE_AUDIOMUTE, VK_VOLUME_MUTE},
    {SDL_SCANCODE_VOLUMEDOWN, VK_VOLUME_DOWN},
    {SDL_SCANCODE_VOLUMEUP, VK_VOLUME_UP},
    {SDL_SCANCODE_AUDIONEXT, VK_MEDIA_NEXT_TRACK},
    {SDL_SCANCODE_AUDIOPREV, VK_MEDIA_PREV_TRACK},
    {SDL_SCANCODE_AUDIOSTOP, VK_MEDIA_STOP},
    {SDL_SCANCODE_AUDIOPLAY, VK_MEDIA_PLAY_PAUSE},
    {SDL_SCANCODE_MAIL, VK_LAUNCH_MAIL},
    {SDL_SCANCODE_MEDIASELECT, VK_LAUNCH_MEDIA_SELECT},
    {SDL_SCANCODE_COMPUTER, VK_LAUNCH_APP1},
    {SDL_SCANCODE_CALCULATOR, VK_LAUNCH_APP2},
    {SDL_SCANCODE_AC_BACK, VK_BROWSER_BACK},
    {SDL_SCANCODE_AC_FORWARD, VK_BROWSER_FORWARD},
    {SDL_SCANCODE_AC_REFRESH, VK_BROWSER_REFRESH},
    {SDL_SCANCODE_AC_STOP, VK_BROWSER_STOP},
    {SDL_SCANCODE_AC_SEARCH, VK_BROWSER_SEARCH},
    {SDL_SCANCODE_AC_BOOKMARKS, VK_BROWSER_FAVORITES},
    {SDL_SCANCODE_AC_HOME, VK_BROWSER_HOME},
};

// Keys whose Win32 scancode carries the extended-key prefix.
bool IsExtendedKey(SDL_Scancode scancode) {
    switch (scancode) {
    case SDL_SCANCODE_INSERT: case SDL_SCANCODE_DELETE: case SDL_SCANCODE_HOME:
    case SDL_SCANCODE_END: case SDL_SCANCODE_PAGEUP: case SDL_SCANCODE_PAGEDOWN:
    case SDL_SCANCODE_LEFT: case SDL_SCANCODE_RIGHT: case SDL_SCANCODE_UP:
    case SDL_SCANCODE_DOWN: case SDL_SCANCODE_RCTRL: case SDL_SCANCODE_RALT:
    case SDL_SCANCODE_KP_ENTER: case SDL_SCANCODE_KP_DIVIDE: case SDL_SCANCODE_NUMLOCKCLEAR:
    case SDL_SCANCODE_PRINTSCREEN: case SDL_SCANCODE_LGUI: case SDL_SCANCODE_RGUI:
    case SDL_SCANCODE_APPLICATION:
        return true;
    default:
        return false;
    }
}

// Punctuation by the character the key produces, for layouts that put it
// elsewhere than the US keyboard.
uint32_t PunctuationKey(SDL_Keycode sym) {
    switch (sym) {
    case ';': return VK_OEM_1;
    case '=': case '+': return VK_OEM_PLUS;
    case ',': return VK_OEM_COMMA;
    case '-': return VK_OEM_MINUS;
    case '.': return VK_OEM_PERIOD;
    case '/': return VK_OEM_2;
    case '`': return VK_OEM_3;
    case '[': return VK_OEM_4;
    case '\\': return VK_OEM_5;
    case ']': return VK_OEM_6;
    case '\'': return VK_OEM_7;
    case '<': return VK_OEM_102;
    default: return 0;
    }
}

}  // namespace

uint32_t VirtualKeyFor(SDL_Keycode sym, SDL_Scancode scancode) {
    // Keypad first: its keys are fixed by position (NumLock rule, KeyMap.h).
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        return VK_NUMPAD0 + 1 + (scancode - SDL_SCANCODE_KP_1);
    if (scancode == SDL_SCANCODE_KP_0) return VK_NUMPAD0;

    if (sym >= 'a' && sym <= 'z') return uint32_t(sym - 'a' + 'A');
    // The digit row gives the digits on every layout (AZERTY included, whose
    // unshifted digit row produces punctuation).
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0) return '0';

    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return VK_F1 + (scancode - SDL_SCANCODE_F1);
    if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24)
        return VK_F1 + 12 + (scancode - SDL_SCANCODE_F13);
    // Punctuation keys: by the character when it has a Win32 code, else by
    // position. Keys like Return or Escape are not punctuation, so they fall
    // through to the position table.
    if (uint32_t byChar = PunctuationKey(sym)) return byChar;
    // Letter keys of layouts where they produce other characters (non-Latin
    // letters), by position.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'A' + (scancode - SDL_SCANCODE_A);
    for (const ScancodeKey& key : kByScancode)
        if (key.scancode == scancode) return key.virtualKey;
    return 0;
}

bool IsSystemKey(uint32_t virtualKey, uint16_t modifiers) {
    const bool ctrl = (modifiers & KMOD_CTRL) != 0;
    if (virtualKey == VK_F10) return true;
    if (ctrl) return false;
    return virtualKey == VK_MENU || (modifiers & KMOD_ALT) != 0;
}

bool TranslateKey(bool down, bool repeat, SDL_Keycode sym, SDL_Scancode scancode,
                  uint16_t modifiers, KeyMessage* out) {
    const uint32_t vk = VirtualKeyFor(sym, scancode);
    if (vk == 0) return false;
    const bool system = IsSystemKey(vk, modifiers);
    intptr_t lParam = 1;  // repeat count
    lParam |= intptr_t(scancode & 0xFF) << 16;
    if (IsExtendedKey(scancode)) lParam |= intptr_t(1) << 24;
    if (modifiers & KMOD_SHIFT) lParam |= KEY_SHIFT_BIT;
    if (modifiers & KMOD_CAPS) lParam |= KEY_CAPS_BIT;
    if (modifiers & KMOD_NUM) lParam |= KEY_NUMLOCK_BIT;
    if (modifiers & KMOD_CTRL) lParam |= KEY_CTRL_BIT;
    if (modifiers & KMOD_ALT) lParam |= KEY_ALT_BIT;
    if (!down || repeat) lParam |= intptr_t(1) << 30;
    if (!down) lParam |= intptr_t(1) << 31;
    out->message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    out->wParam = vk;
    out->lParam = lParam;
    return true;
}

int CharacterFor(uint32_t vk, intptr_t lParam) {
    const bool shift = (lParam & KEY_SHIFT_BIT) != 0;
    const bool caps = (lParam & KEY_CAPS_BIT) != 0;
    const bool numLock = (lParam & KEY_NUMLOCK_BIT) != 0;
    const bool ctrl = (lParam & KEY_CTRL_BIT) != 0;
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl) return int(vk - 'A' + 1);
        return (shift != caps) ? int(vk) : int(vk - 'A' + 'a');
    }
    if (ctrl) return -1;
    if (vk >= '0' && vk <= '9') return shift ? ")!@#$%^&*("[vk - '0'] : int(vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return numLock ? int('0' + vk - VK_NUMPAD0) : -1;
    switch (vk) {
    case VK_SPACE: return ' ';
    case VK_BACK: return 0x08;
    case VK_TAB: return 0x09;
    case VK_RETURN: return 0x0D;
    case VK_ESCAPE: return 0x1B;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DIVIDE: return '/';
    case VK_DECIMAL: return numLock ? '.' : -1;
    case VK_OEM_1: return shift ? ':' : ';';
    case VK_OEM_PLUS: return shift ? '+' : '=';
    case VK_OEM_COMMA: return shift ? '<' : ',';
    case VK_OEM_MINUS: return shift ? '_' : '-';
    case VK_OEM_PERIOD: return shift ? '>' : '.';
    case VK_OEM_2: return shift ? '?' : '/';
    case VK_OEM_3: return shift ? '~' : '`';
    case VK_OEM_4: return shift ? '{' : '[';
    case VK_OEM_5: return shift ? '|' : '\\';
    case VK_OEM_6: return shift ? '}' : ']';
    case VK_OEM_7: return shift ? '"' : '\'';
    case VK_OEM_102: return shift ? '>' : '<';
    default: return -1;
    }
}

}  // namespace desktop
