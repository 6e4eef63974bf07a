// Unit tests of the Linux desktop backend (SDL2): key translation, display
// mode choice, file-dialog helpers, the message queue, window classes and
// windows, the cursor count and the OpenGL context with its text output.
// Needs a display (desktop_platform_e2e.sh runs it on a 640 x 480 x 16
// Xvfb); input is injected as SDL events, so no real device is involved.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "gl/GL.h"
#include "platform/Platform.h"
#include "platform/linux/DesktopState.h"
#include "platform/linux/DisplayModes.h"
#include "platform/linux/FileDialogSupport.h"
#include "platform/linux/KeyMap.h"

// Xlib last: its macros (None, Bool, Status) would clash with names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

// ---- With a display ---------------------------------------------------------

namespace {

struct Call {
    WindowHandle window;
    uint32_t message;
    uintptr_t wParam;
};
std::vector<Call> gCalls;

intptr_t RecordingProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    gCalls.push_back({window, message, wParam});
    return DefWindowProc(window, message, wParam, lParam);
}


// The screen as the X server shows it (the front buffer of a GL window cannot
// be read back reliably on every driver).
struct ScreenPixel {
    int r = 0, g = 0, b = 0;
    bool IsRed() const { return r > 200 && g < 50 && b < 50; }
    bool IsBlue() const { return r < 50 && g < 50 && b > 200; }
    bool IsWhite() const { return r > 200 && g > 200 && b > 200; }
    bool IsBlack() const { return r < 50 && g < 50 && b < 50; }
};
struct ScreenImage {
    int width = 0, height = 0;
    std::vector<ScreenPixel> pixels;
    ScreenPixel At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height ? pixels[size_t(y * width + x)]
                                                           : ScreenPixel{};
    }
};

int Channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    const unsigned long maximum = mask >> shift;
    return int(((pixel & mask) >> shift) * 255 / maximum);
}

bool CaptureScreen(ScreenImage* image) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    const int width = 200, height = 150;
    XImage* captured =
        XGetImage(display, DefaultRootWindow(display), 0, 0, width, height, AllPlanes, ZPixmap);
    if (captured == nullptr) {
        XCloseDisplay(display);
        return false;
    }
    image->width = width;
    image->height = height;
    image->pixels.assign(size_t(width * height), ScreenPixel{});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(captured, x, y);
            ScreenPixel& out = image->pixels[size_t(y * width + x)];
            out.r = Channel(pixel, captured->red_mask);
            out.g = Channel(pixel, captured->green_mask);
            out.b = Channel(pixel, captured->blue_mask);
        }
    }
    XDestroyImage(captured);
    XCloseDisplay(display);
    return true;
}

// Captures the screen until the condition holds (10 s at most).
template <typename Condition>
bool WaitForScreen(ScreenImage* image, Condition condition) {
    const Uint32 start = SDL_GetTicks();
    while (SDL_GetTicks() - start < 10000) {
        if (CaptureScreen(image) && condition(*image)) return true;
        SDL_Delay(10);
    }
    return false;
}

class DesktopWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(desktop::EnsureVideo()) << SDL_GetError();
        RestoreDisplayMode();  // no fullscreen mode pending from an earlier test
        WindowClass windowClass;
        windowClass.procedure = &RecordingProc;
        windowClass.instance = GetModuleHandle();
        windowClass.className = "Test";
        ASSERT_TRUE(RegisterWindowClass(windowClass));
        window = CreatePopupWindow("Test", "Test window", 0, 0, 200, 150, GetModuleHandle());
        ASSERT_NE(window, nullptr) << SDL_GetError();
        Message drained;
        while (PeekMessage(&drained)) {
        }
        gCalls.clear();
    }
    void TearDown() override {
        if (window != nullptr) {
            EXPECT_TRUE(DestroyWindow(window));
        }
        EXPECT_TRUE(UnregisterWindowClass("Test", GetModuleHandle()));
    }
    void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1); }
    void PushMotion(int x, int y) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = window->sdlId;
        event.motion.x = x;
        event.motion.y = y;
        Push(event);
    }
    void PushKey(bool down, SDL_Keycode sym, SDL_Scancode scancode, uint16_t mod = 0) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.windowID = window->sdlId;
        event.key.keysym.sym = sym;
        event.key.keysym.scancode = scancode;
        event.key.keysym.mod = mod;
        Push(event);
    }
    Message Take() {
        Message message;
        EXPECT_TRUE(PeekMessage(&message));
        return message;
    }

    WindowHandle window = nullptr;
};

}  // namespace

TEST_F(DesktopWindow, KeysBecomeKeyMessagesAndPrintableOnesGiveCharacters) {
    PushKey(true, 'l', SDL_SCANCODE_L, KMOD_LSHIFT);
    PushKey(false, 'l', SDL_SCANCODE_L);
    Message down = Take();
    EXPECT_EQ(down.window, window);
    EXPECT_EQ(down.message, WM_KEYDOWN);
    EXPECT_EQ(down.wParam, uintptr_t('L'));
    TranslateMessage(down);  // the character goes behind the queued key-up
    EXPECT_EQ(Take().message, WM_KEYUP);
    Message character = Take();
    EXPECT_EQ(character.message, WM_CHAR);
    EXPECT_EQ(character.wParam, uintptr_t('L'));
    Message none;
    EXPECT_FALSE(PeekMessage(&none));
    TranslateMessage(Message{window, WM_KEYDOWN, VK_F1, 0});
    EXPECT_FALSE(PeekMessage(&none)) << "F1 has no character";
}

TEST_F(DesktopWindow, AutoRepeatRaisesTheCountOfAWaitingKeyDown) {
    SDL_Event repeat{};
    repeat.type = SDL_KEYDOWN;
    repeat.key.windowID = window->sdlId;
    repeat.key.keysym.sym = SDLK_KP_2;
    repeat.key.keysym.scancode = SDL_SCANCODE_KP_2;
    PushKey(true, SDLK_KP_2, SDL_SCANCODE_KP_2);
    repeat.key.repeat = 1;
    Push(repeat);
    Push(repeat);
    Message down = Take();
    EXPECT_EQ(down.wParam, VK_NUMPAD2);
    EXPECT_EQ(down.lParam & 0xFFFF, 3) << "one message counting three presses";
    Push(repeat);  // the first key-down was taken: a new message
    Message again = Take();
    EXPECT_EQ(again.lParam & 0xFFFF, 1);
    EXPECT_NE(again.lParam & (intptr_t(1) << 30), 0) << "a repeat: key was down before";
    Message none;
    EXPECT_FALSE(PeekMessage(&none));
}

TEST_F(DesktopWindow, MotionIsCoalescedAndPackedIntoTheSecondParameter) {
    PushMotion(5, 6);
    PushMotion(1279, 0);
    SDL_Event button{};
    button.type = SDL_MOUSEBUTTONDOWN;
    button.button.windowID = window->sdlId;
    button.button.button = SDL_BUTTON_RIGHT;
    button.button.x = 10;
    button.button.y = 20;
    Push(button);
    PushMotion(65535, 65535);
    Message move = Take();
    EXPECT_EQ(move.message, WM_MOUSEMOVE);
    EXPECT_EQ(move.lParam & 0xFFFF, 1279);
    EXPECT_EQ((move.lParam >> 16) & 0xFFFF, 0);
    Message press = Take();
    EXPECT_EQ(press.message, WM_RBUTTONDOWN);
    EXPECT_EQ(press.lParam, intptr_t(10 | (20 << 16)));
    Message last = Take();
    EXPECT_EQ(last.message, WM_MOUSEMOVE);
    EXPECT_EQ(last.lParam & 0xFFFF, 65535);
    EXPECT_EQ((last.lParam >> 16) & 0xFFFF, 65535);
}

TEST_F(DesktopWindow, CloseRequestsAndQuitKeepTheirOrder) {
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.windowID = window->sdlId;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    Push(close);
    Message first = Take();
    EXPECT_EQ(first.message, WM_CLOSE);
    EXPECT_EQ(first.window, window);
    PushKey(true, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    PeekMessage(nullptr);  // pumps the key; takes it
    PostQuitMessage(0);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Push(quit);  // a termination signal: closes the window like its close box
    EXPECT_EQ(Take().message, WM_QUIT);
    Message closeFromSignal = Take();
    EXPECT_EQ(closeFromSignal.message, WM_CLOSE);
    EXPECT_EQ(closeFromSignal.window, window);
}

TEST_F(DesktopWindow, DispatchCallsTheClassProcedureAndAltF4BecomesAClose) {
    EXPECT_EQ(DispatchMessage(Message{window, WM_KEYDOWN, 'A', 0}), 0);
    ASSERT_EQ(gCalls.size(), 1u);
    EXPECT_EQ(gCalls[0].message, WM_KEYDOWN);
    gCalls.clear();
    DispatchMessage(Message{window, WM_SYSKEYDOWN, VK_F4, desktop::KEY_ALT_BIT});
    ASSERT_EQ(gCalls.size(), 3u);
    EXPECT_EQ(gCalls[1].message, WM_SYSCOMMAND);
    EXPECT_EQ(gCalls[1].wParam, SC_CLOSE);
    EXPECT_EQ(gCalls[2].message, WM_CLOSE);
    gCalls.clear();
    DispatchMessage(Message{window, WM_SYSKEYDOWN, VK_F4, 0});  // F4 without Alt
    EXPECT_EQ(gCalls.size(), 1u);
    gCalls.clear();
    EXPECT_EQ(DispatchMessage(Message{nullptr, WM_QUIT, 0, 0}), 0);
    EXPECT_TRUE(gCalls.empty());
}

TEST_F(DesktopWindow, ClassesWindowsAndUserData) {
    WindowClass duplicate;
    duplicate.procedure = &RecordingProc;
    duplicate.instance = GetModuleHandle();
    duplicate.className = "Test";
    EXPECT_FALSE(RegisterWindowClass(duplicate));
    EXPECT_FALSE(UnregisterWindowClass("Test", GetModuleHandle())) << "a window still uses it";
    EXPECT_EQ(CreatePopupWindow("Unknown", "x", 0, 0, 10, 10, GetModuleHandle()), nullptr);
    int object = 0;
    EXPECT_EQ(GetWindowUserData(window), nullptr);
    SetWindowUserData(window, &object);
    EXPECT_EQ(GetWindowUserData(window), &object);
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_EQ(GetWindowUserData(window), nullptr);
    window = nullptr;
}

TEST_F(DesktopWindow, CursorCountHidesThePointerBelowZero) {
    EXPECT_EQ(ShowCursor(false), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(false), -2);
    EXPECT_EQ(ShowCursor(true), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(true), 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(DesktopWindow, OnlyTheDisplaysOwnSizeIsAFullscreenMode) {
    EXPECT_FALSE(ChangeDisplayMode(1280, 1024, 16));
    EXPECT_FALSE(desktop::HasPendingMode());
    ASSERT_TRUE(ChangeDisplayMode(640, 480, 16));
    WindowHandle fullscreen =
        CreatePopupWindow("Test", "Fullscreen", 0, 0, 640, 480, GetModuleHandle());
    ASSERT_NE(fullscreen, nullptr);
    EXPECT_NE(SDL_GetWindowFlags(fullscreen->sdl) & SDL_WINDOW_FULLSCREEN, 0u);
    EXPECT_TRUE(RestoreDisplayMode());
    EXPECT_EQ(SDL_GetWindowFlags(fullscreen->sdl) & SDL_WINDOW_FULLSCREEN, 0u);
    EXPECT_FALSE(desktop::HasPendingMode());
    EXPECT_TRUE(DestroyWindow(fullscreen));
}

TEST_F(DesktopWindow, ContextSwapAndTextOutput) {
    DeviceContext dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDC(window), dc) << "one device context per window";
    PixelFormat request;
    const int format = ChoosePixelFormat(dc, request);
    ASSERT_EQ(format, 1);
    EXPECT_FALSE(SetPixelFormat(dc, 2, request));
    ASSERT_TRUE(SetPixelFormat(dc, format, request));
    RenderContext rc = CreateContext(dc);
    ASSERT_NE(rc, nullptr);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr) << "creating a context does not make it current";
    ASSERT_TRUE(MakeCurrent(dc, rc));
    ShowWindow(window);

    // The text written after one swap is in the picture of the next one.
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(TextOut(dc, 100, 100, "60", 2));
    ASSERT_TRUE(SwapBuffers(dc));
    glFinish();
    ScreenImage shot;
    ASSERT_TRUE(WaitForScreen(&shot, [](const ScreenImage& s) { return s.At(99, 99).IsRed(); }))
        << "the swapped picture does not reach the screen";
    int white = 0, black = 0;
    for (int y = 100; y < 113; ++y) {
        for (int x = 100; x < 116; ++x) {
            white += shot.At(x, y).IsWhite();
            black += shot.At(x, y).IsBlack();
        }
    }
    EXPECT_EQ(white + black, 16 * 13) << "the box is black on white";
    EXPECT_GT(black, 20) << "the digits are drawn";
    EXPECT_TRUE(shot.At(99, 105).IsRed() && shot.At(116, 105).IsRed()) << "box is 16 wide";
    EXPECT_TRUE(shot.At(105, 99).IsRed() && shot.At(105, 113).IsRed()) << "box is 13 high";

    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(SwapBuffers(dc));  // nothing written since the last swap
    glFinish();
    ASSERT_TRUE(WaitForScreen(&shot, [](const ScreenImage& s) { return s.At(99, 99).IsBlue(); }));
    EXPECT_TRUE(shot.At(100, 100).IsBlue() && shot.At(110, 108).IsBlue())
        << "the text is gone from the next picture";

    EXPECT_TRUE(MakeCurrent(nullptr, nullptr));
    EXPECT_TRUE(DeleteContext(rc));
    EXPECT_TRUE(ReleaseDC(window, dc));
    EXPECT_FALSE(ReleaseDC(window, dc));
    EXPECT_FALSE(SwapBuffers(dc));
}
