// Unit tests of the desktop backend on a display (SDL2): the message queue
// and its translation of SDL events, window classes and windows, the cursor
// count, the fullscreen mode, the screen saver, and the OpenGL context with
// its text output. desktop_platform_e2e.sh runs it on a 640 x 480 x 16 Xvfb;
// input is injected as SDL events, so no real device is involved.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gl/GL.h"
#include "platform/Platform.h"
#include "platform/linux/DesktopState.h"
#include "platform/linux/KeyMap.h"

// Xlib last: its macros (None, Bool, Status) would clash with names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace plat;

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

TEST_F(DesktopWindow, ScreenSaverIsHeldOffWhileAWindowExists) {
    EXPECT_FALSE(SDL_IsScreenSaverEnabled());
    EXPECT_TRUE(DestroyWindow(window));
    window = nullptr;
    EXPECT_TRUE(SDL_IsScreenSaverEnabled());
}
