// Message queue, default window procedure and tick count of the desktop
// backend, on SDL2 (its message boxes are GTK ones: GtkMessageBox.cpp).
//
// Conventions: one FIFO queue of plat::Message for the program's thread.
// PeekMessage first moves every pending SDL event into it, translated:
//  - key down / up -> WM_KEYDOWN / WM_KEYUP, or WM_SYSKEYDOWN / WM_SYSKEYUP
//    for system keys (KeyMap.h); auto-repeat gives further key-downs, but,
//    as on Win32, a repeat that finds the previous key-down of that key
//    still waiting at the end of the queue only raises its repeat count, so
//    a held key cannot flood a loop that takes one message per frame;
//  - pointer motion -> WM_MOUSEMOVE, x in the low and y in the high 16 bits
//    of the second parameter (window pixels). As on Win32, motion is
//    coalesced: a motion that follows a still queued motion of the same
//    window replaces its position, so a loop that takes one message per
//    frame never lags behind the pointer;
//  - buttons -> WM_LBUTTONDOWN/UP, WM_RBUTTONDOWN/UP, WM_MBUTTONDOWN/UP,
//    wheel -> WM_MOUSEWHEEL (120 per notch in the high word of wParam);
//  - a window's close request -> WM_CLOSE to that window; SDL_QUIT (a
//    termination signal) -> WM_CLOSE to the oldest live window, so the
//    program ends the same way as when its window is closed.
// Then it takes the oldest message. PostQuitMessage and TranslateMessage
// append to the same queue.
#include <SDL.h>

#include <deque>

#include "platform/Platform.h"
#include "platform/linux/DesktopState.h"
#include "platform/linux/KeyMap.h"

namespace desktop {
namespace {

std::deque<plat::Message> gQueue;

intptr_t PointerParam(int x, int y) {
    return intptr_t(uint32_t(x) & 0xFFFF) | (intptr_t(uint32_t(y) & 0xFFFF) << 16);
}

void Append(plat::WindowObject* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    plat::Message queued;
    queued.window = window;
    queued.message = message;
    queued.wParam = wParam;
    queued.lParam = lParam;
    gQueue.push_back(queued);
}

// Win32 MK_* flags of the buttons and modifiers held, for mouse messages.
uintptr_t MouseKeyFlags() {
    const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    const SDL_Keymod mod = SDL_GetModState();
    uintptr_t flags = 0;
    if (buttons & SDL_BUTTON_LMASK) flags |= 0x0001;
    if (buttons & SDL_BUTTON_RMASK) flags |= 0x0002;
    if (mod & KMOD_SHIFT) flags |= 0x0004;
    if (mod & KMOD_CTRL) flags |= 0x0008;
    if (buttons & SDL_BUTTON_MMASK) flags |= 0x0010;
    return flags;
}

void QueueEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        plat::WindowObject* window = WindowFromSdlId(event.key.windowID);
        if (window == nullptr) window = InputTargetWindow();
        KeyMessage key;
        if (window == nullptr ||
            !TranslateKey(event.type == SDL_KEYDOWN, event.key.repeat != 0, event.key.keysym.sym,
                          event.key.keysym.scancode, event.key.keysym.mod, &key))
            break;
        if (event.key.repeat != 0 && !gQueue.empty() && gQueue.back().window == window &&
            gQueue.back().message == key.message && gQueue.back().wParam == key.wParam) {
            // Auto-repeat while the same key-down still waits: count it in
            // the waiting message (bits 0-15) instead of queueing another.
            intptr_t& lParam = gQueue.back().lParam;
            if ((lParam & 0xFFFF) < 0xFFFF) ++lParam;
            break;
        }
        Append(window, key.message, key.wParam, key.lParam);
        break;
    }
    case SDL_MOUSEMOTION: {
        plat::WindowObject* window = WindowFromSdlId(event.motion.windowID);
        if (window == nullptr) break;
        const intptr_t position = PointerParam(event.motion.x, event.motion.y);
        if (!gQueue.empty() && gQueue.back().message == plat::WM_MOUSEMOVE &&
            gQueue.back().window == window) {
            gQueue.back().lParam = position;
            gQueue.back().wParam = MouseKeyFlags();
        } else {
            Append(window, plat::WM_MOUSEMOVE, MouseKeyFlags(), position);
        }
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        plat::WindowObject* window = WindowFromSdlId(event.button.windowID);
        if (window == nullptr) break;
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        uint32_t message = 0;
        switch (event.button.button) {
        case SDL_BUTTON_LEFT: message = down ? plat::WM_LBUTTONDOWN : plat::WM_LBUTTONUP; break;
        case SDL_BUTTON_RIGHT: message = down ? plat::WM_RBUTTONDOWN : plat::WM_RBUTTONUP; break;
        case SDL_BUTTON_MIDDLE: message = down ? plat::WM_MBUTTONDOWN : plat::WM_MBUTTONUP; break;
        default: break;  // extra buttons have no message the editor knows
        }
        if (message != 0)
            Append(window, message, MouseKeyFlags(), PointerParam(event.button.x, event.button.y));
        break;
    }
    case SDL_MOUSEWHEEL: {
        plat::WindowObject* window = WindowFromSdlId(event.wheel.windowID);
        if (window == nullptr || event.wheel.y == 0) break;
        int y = event.wheel.y;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) y = -y;
        const int16_t delta = int16_t(y * 120);
        int x = 0, py = 0;
        SDL_GetMouseState(&x, &py);
        Append(window, plat::WM_MOUSEWHEEL, (uintptr_t(uint16_t(delta)) << 16) | MouseKeyFlags(),
               PointerParam(x, py));
        break;
    }
    case SDL_WINDOWEVENT: {
        plat::WindowObject* window = WindowFromSdlId(event.window.windowID);
        if (window == nullptr) break;
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) Append(window, plat::WM_CLOSE, 0, 0);
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) NoteFocus(window);
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST && InputTargetWindow() == window &&
            plat::GetFocus() == window)
            NoteFocus(nullptr);
        break;
    }
    case SDL_QUIT:
        if (!Windows().empty()) Append(Windows().front(), plat::WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

plat::WindowProc ProcedureOf(plat::WindowHandle window) {
    return IsLiveWindow(window) ? window->procedure : nullptr;
}

}  // namespace
}  // namespace desktop

namespace plat {

using namespace desktop;

bool PeekMessage(Message* message) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) QueueEvent(event);
    }
    if (gQueue.empty()) return false;
    if (message != nullptr) *message = gQueue.front();
    gQueue.pop_front();
    return true;
}

void TranslateMessage(const Message& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return;
    const int character = CharacterFor(uint32_t(message.wParam), message.lParam);
    if (character < 0) return;
    Append(message.window, message.message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR,
           uintptr_t(character), message.lParam);
}

intptr_t DispatchMessage(const Message& message) {
    WindowProc procedure = ProcedureOf(message.window);
    if (procedure == nullptr) return 0;
    return procedure(message.window, message.message, message.wParam, message.lParam);
}

void PostQuitMessage(int exitCode) { Append(nullptr, WM_QUIT, uintptr_t(exitCode), 0); }

intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    (void)lParam;
    WindowProc procedure = ProcedureOf(window);
    if (procedure == nullptr) return 0;
    // Alt+F4 asks the window to close through the system-command path, so
    // that a window procedure sees the same SC_CLOSE as from a window menu.
    if (message == WM_SYSKEYDOWN && wParam == VK_F4 && (lParam & KEY_ALT_BIT) != 0)
        return procedure(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE)
        return procedure(window, WM_CLOSE, 0, 0);
    return 0;
}

uint32_t GetTickCount() { return SDL_GetTicks(); }

}  // namespace plat
