// Unit tests of the desktop backend's pure parts: key translation, display
// mode choice and the file-dialog helpers (no display needed).
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/linux/DisplayModes.h"
#include "platform/linux/FileDialogSupport.h"
#include "platform/linux/KeyMap.h"

using namespace plat;
using desktop::KeyMessage;

namespace {

KeyMessage Key(bool down, SDL_Keycode sym, SDL_Scancode scancode, uint16_t mod = 0,
               bool repeat = false) {
    KeyMessage key;
    EXPECT_TRUE(desktop::TranslateKey(down, repeat, sym, scancode, mod, &key));
    return key;
}

}  // namespace

TEST(KeyMap, LettersAndDigitsFollowTheLayoutButTheDigitRowIsAlwaysDigits) {
    EXPECT_EQ(desktop::VirtualKeyFor('l', SDL_SCANCODE_L), uint32_t('L'));
    // German layout: the key at the US 'Y' position produces 'z'.
    EXPECT_EQ(desktop::VirtualKeyFor('z', SDL_SCANCODE_Y), uint32_t('Z'));
    // A non-Latin letter falls back to the key's position.
    EXPECT_EQ(desktop::VirtualKeyFor(0x0444, SDL_SCANCODE_A), uint32_t('A'));
    EXPECT_EQ(desktop::VirtualKeyFor('7', SDL_SCANCODE_7), uint32_t('7'));
    // AZERTY: the unshifted digit row produces punctuation.
    EXPECT_EQ(desktop::VirtualKeyFor('&', SDL_SCANCODE_1), uint32_t('1'));
    EXPECT_EQ(desktop::VirtualKeyFor('-', SDL_SCANCODE_6), uint32_t('6'));
}

TEST(KeyMap, KeypadDigitsGiveNumpadCodesWithAndWithoutNumLock) {
    for (uint16_t mod : {uint16_t(KMOD_NONE), uint16_t(KMOD_NUM)}) {
        EXPECT_EQ(Key(true, SDLK_KP_8, SDL_SCANCODE_KP_8, mod).wParam, VK_NUMPAD8);
        EXPECT_EQ(Key(true, SDLK_KP_2, SDL_SCANCODE_KP_2, mod).wParam, VK_NUMPAD2);
        EXPECT_EQ(Key(true, SDLK_KP_0, SDL_SCANCODE_KP_0, mod).wParam, VK_NUMPAD0);
        EXPECT_EQ(Key(true, SDLK_KP_9, SDL_SCANCODE_KP_9, mod).wParam, VK_NUMPAD0 + 9);
        EXPECT_EQ(Key(true, SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, mod).wParam, VK_DECIMAL);
    }
    EXPECT_EQ(Key(true, SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS).wParam, VK_ADD);
    EXPECT_EQ(Key(true, SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS).wParam, VK_SUBTRACT);
    const KeyMessage enter = Key(true, SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER);
    EXPECT_EQ(enter.wParam, VK_RETURN);
    EXPECT_NE(enter.lParam & (intptr_t(1) << 24), 0) << "keypad Enter is an extended key";
}

TEST(KeyMap, FunctionArrowPunctuationAndModifierKeys) {
    EXPECT_EQ(desktop::VirtualKeyFor(SDLK_F1, SDL_SCANCODE_F1), VK_F1);
    EXPECT_EQ(desktop::VirtualKeyFor(SDLK_F12, SDL_SCANCODE_F12), VK_F1 + 11);
    EXPECT_EQ(desktop::VirtualKeyFor(SDLK_F13, SDL_SCANCODE_F13), VK_F1 + 12);
    EXPECT_EQ(desktop::VirtualKeyFor(SDLK_F24, SDL_SCANCODE_F24), VK_F1 + 23);
    EXPECT_EQ(desktop::VirtualKeyFor(SDLK_LEFT, SDL_SCANCODE_LEFT), VK_LEFT);
    EXPECT_EQ(desktop::VirtualKeyFor(SDLK_DOWN, SDL_SCANCODE_DOWN), VK_DOWN);
    EXPECT_EQ(desktop::VirtualKeyFor(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), VK_ESCAPE);
    EXPECT_EQ(desktop::VirtualKeyFor(SDLK_RETURN, SDL_SCANCODE_RETURN), VK_RETURN);
    EXPECT_EQ(desktop::VirtualKeyFor(';', SDL_SCANCODE_SEMICOLON), VK_OEM_1);
    EXPECT_EQ(desktop::VirtualKeyFor('\'', SDL_SCANCODE_APOSTROPHE), VK_OEM_7);
    EXPECT_EQ(desktop::VirtualKeyFor('/', SDL_SCANCODE_SLASH), VK_OEM_2);
    // A key whose character has no code of its own goes by position.
    EXPECT_EQ(desktop::VirtualKeyFor(0xDF /* sharp s */, SDL_SCANCODE_MINUS), VK_OEM_MINUS);
    EXPECT_EQ(desktop::VirtualKeyFor('<', SDL_SCANCODE_NONUSBACKSLASH), VK_OEM_102);
    EXPECT_EQ(desktop::VirtualKeyFor(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT), VK_SHIFT);
    EXPECT_EQ(desktop::VirtualKeyFor(SDLK_RCTRL, SDL_SCANCODE_RCTRL), VK_CONTROL);
    EXPECT_EQ(desktop::VirtualKeyFor(SDLK_LALT, SDL_SCANCODE_LALT), VK_MENU);
    EXPECT_EQ(desktop::VirtualKeyFor(SDLK_LGUI, SDL_SCANCODE_LGUI), VK_LWIN);
    EXPECT_EQ(desktop::VirtualKeyFor(SDLK_NUMLOCKCLEAR, SDL_SCANCODE_NUMLOCKCLEAR), VK_NUMLOCK);
    EXPECT_EQ(desktop::VirtualKeyFor(SDLK_PAGEUP, SDL_SCANCODE_PAGEUP), VK_PRIOR);
    EXPECT_EQ(desktop::VirtualKeyFor(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN), 0u);
}

TEST(KeyMap, AltKeysAndF10AreSystemKeysButAltGrIsNot) {
    const KeyMessage altX = Key(true, 'x', SDL_SCANCODE_X, KMOD_LALT);
    EXPECT_EQ(altX.message, WM_SYSKEYDOWN);
    EXPECT_NE(altX.lParam & desktop::KEY_ALT_BIT, 0);
    EXPECT_EQ(Key(false, 'x', SDL_SCANCODE_X, KMOD_LALT).message, WM_SYSKEYUP);
    EXPECT_EQ(Key(true, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT).message, WM_SYSKEYDOWN);
    EXPECT_EQ(Key(false, SDLK_LALT, SDL_SCANCODE_LALT).message, WM_SYSKEYUP);
    const KeyMessage f10 = Key(true, SDLK_F10, SDL_SCANCODE_F10);
    EXPECT_EQ(f10.message, WM_SYSKEYDOWN);
    EXPECT_EQ(f10.lParam & desktop::KEY_ALT_BIT, 0);
    EXPECT_EQ(Key(true, 'q', SDL_SCANCODE_Q, KMOD_LCTRL | KMOD_RALT).message, WM_KEYDOWN);
    EXPECT_EQ(Key(true, 'x', SDL_SCANCODE_X).message, WM_KEYDOWN);
}

TEST(KeyMap, TransitionAndRepeatBitsAreThoseOfWin32) {
    const intptr_t previous = intptr_t(1) << 30, released = intptr_t(1) << 31;
    const KeyMessage down = Key(true, 'a', SDL_SCANCODE_A);
    EXPECT_EQ(down.lParam & 0xFFFF, 1);
    EXPECT_EQ(down.lParam & (previous | released), 0);
    EXPECT_EQ(Key(true, 'a', SDL_SCANCODE_A, 0, true).lParam & (previous | released), previous);
    EXPECT_EQ(Key(false, 'a', SDL_SCANCODE_A).lParam & (previous | released), previous | released);
}

TEST(KeyMap, CharactersOfKeys) {
    const intptr_t shift = desktop::KEY_SHIFT_BIT, caps = desktop::KEY_CAPS_BIT;
    EXPECT_EQ(desktop::CharacterFor('L', 0), 'l');
    EXPECT_EQ(desktop::CharacterFor('L', shift), 'L');
    EXPECT_EQ(desktop::CharacterFor('L', caps), 'L');
    EXPECT_EQ(desktop::CharacterFor('L', shift | caps), 'l');
    EXPECT_EQ(desktop::CharacterFor('C', desktop::KEY_CTRL_BIT), 3);
    EXPECT_EQ(desktop::CharacterFor('2', shift), '@');
    EXPECT_EQ(desktop::CharacterFor(VK_NUMPAD8, desktop::KEY_NUMLOCK_BIT), '8');
    EXPECT_EQ(desktop::CharacterFor(VK_NUMPAD8, 0), -1);
    EXPECT_EQ(desktop::CharacterFor(VK_OEM_MINUS, shift), '_');
    EXPECT_EQ(desktop::CharacterFor(VK_SPACE, 0), ' ');
    EXPECT_EQ(desktop::CharacterFor(VK_F1, 0), -1);
    EXPECT_EQ(desktop::CharacterFor(VK_SHIFT, shift), -1);
}

TEST(DisplayModes, OnlyTheExactSizeWithTheClosestDepth) {
    const std::vector<desktop::ModeInfo> modes = {
        {1920, 1080, 24}, {1280, 1024, 32}, {1280, 1024, 24}, {1280, 1024, 16}, {1024, 768, 16}};
    EXPECT_EQ(desktop::ChooseDisplayMode(modes, 1280, 1024, 16), 3);
    EXPECT_EQ(desktop::ChooseDisplayMode(modes, 1280, 1024, 24), 2);
    EXPECT_EQ(desktop::ChooseDisplayMode(modes, 1280, 1024, 8), 3);
    EXPECT_EQ(desktop::ChooseDisplayMode(modes, 1280, 960, 16), -1);
    EXPECT_EQ(desktop::ChooseDisplayMode(modes, 1024, 1280, 16), -1);
    EXPECT_EQ(desktop::ChooseDisplayMode({}, 1280, 1024, 16), -1);
    // Equally far: the deeper mode.
    EXPECT_EQ(desktop::ChooseDisplayMode({{800, 600, 16}, {800, 600, 32}}, 800, 600, 24), 1);
}

TEST(FileDialogSupport, FilterPairsAndPatterns) {
    auto entries = desktop::ParseFilter("Karte (*.map)|*.map");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].description, "Karte (*.map)");
    EXPECT_EQ(entries[0].patterns, std::vector<std::string>{"*.map"});
    entries = desktop::ParseFilter("Bilder|*.bmp; *.cbm|Alle|*.*|Rest ohne Muster");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].patterns, (std::vector<std::string>{"*.bmp", "*.cbm"}));
    EXPECT_EQ(entries[1].description, "Alle");
    EXPECT_TRUE(desktop::ParseFilter(nullptr).empty());
    EXPECT_TRUE(desktop::ParseFilter("").empty());
    EXPECT_TRUE(desktop::ParseFilter("Leer|").empty());
    EXPECT_EQ(desktop::CaseInsensitiveGlob("*.map"), "*.[mM][aA][pP]");
    EXPECT_EQ(desktop::CaseInsensitiveGlob("a[bc]_1"), "[aA][bc]_1");
}

TEST(FileDialogSupport, DefaultExtensionOnlyWhenTheNameHasNone) {
    EXPECT_EQ(desktop::WithDefaultExtension("/home/u/karte", "map"), "/home/u/karte.map");
    EXPECT_EQ(desktop::WithDefaultExtension("/home/u/karte.map", "map"), "/home/u/karte.map");
    EXPECT_EQ(desktop::WithDefaultExtension("/home/u/karte.bak", "map"), "/home/u/karte.bak");
    EXPECT_EQ(desktop::WithDefaultExtension("/home/u.v/karte", "map"), "/home/u.v/karte.map");
    EXPECT_EQ(desktop::WithDefaultExtension("/home/u/.karte", "map"), "/home/u/.karte.map");
    EXPECT_EQ(desktop::WithDefaultExtension("/home/u/karte", ""), "/home/u/karte");
    EXPECT_EQ(desktop::WithDefaultExtension("/home/u/", "map"), "/home/u/");
    EXPECT_EQ(desktop::WithDefaultExtension("", "map"), "");
}

TEST(FileDialogSupport, InitialFolderIsTheFolderOfTheProgram) {
    char folder[] = "/tmp/desktop_test_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string program = std::string(folder) + "/terrain-editor";
    EXPECT_EQ(desktop::InitialFolder(program.c_str()), folder);  // need not exist itself
    EXPECT_EQ(desktop::InitialFolder(folder), folder);
    EXPECT_EQ(desktop::InitialFolder("/no/such/folder/x"), "");
    EXPECT_EQ(desktop::InitialFolder(nullptr), "");
    EXPECT_EQ(desktop::InitialFolder("relative"), "");
    rmdir(folder);
    EXPECT_EQ(std::string(ProgramPath()).rfind('/') != std::string::npos, true);
}
