// Message queue, default window procedure, tick count and message boxes of
// the native Windows backend.
//
// Conventions: the thread's own Win32 message queue. PeekMessage takes one
// message of any window (PM_REMOVE) and hands out its window, number and
// parameters; the full MSG (time, pointer position) is kept, so that
// TranslateMessage and DispatchMessage of that same message pass the
// original record on. A message the caller made up is dispatched with a
// record built from its four fields. Message boxes are shown with
// MessageBoxW, their texts converted from UTF-8; a question box is a Yes/No
// box whose two buttons a hook on the thread renames as the box is
// activated, before it is drawn.
#include "platform/win32/Win32Api.h"

namespace win32 {
namespace {

MSG gLastPeeked{};
bool gHaveLastPeeked = false;

MSG NativeMessage(const plat::Message& message) {
    if (gHaveLastPeeked && FromHwnd(gLastPeeked.hwnd) == message.window &&
        gLastPeeked.message == message.message && gLastPeeked.wParam == message.wParam &&
        gLastPeeked.lParam == message.lParam)
        return gLastPeeked;
    MSG native{};
    native.hwnd = ToHwnd(message.window);
    native.message = UINT(message.message);
    native.wParam = WPARAM(message.wParam);
    native.lParam = LPARAM(message.lParam);
    native.time = DWORD(GetMessageTime());
    const DWORD position = GetMessagePos();
    native.pt.x = short(LOWORD(position));
    native.pt.y = short(HIWORD(position));
    return native;
}

// The labels the next question box's buttons get; the hook is set only
// while MessageBoxW runs, on this thread.
struct QuestionLabels {
    std::wstring first, second;
    HHOOK hook = nullptr;
};
QuestionLabels gQuestion;

LRESULT CALLBACK RenameButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        SetDlgItemTextW(box, IDYES, gQuestion.first.c_str());
        SetDlgItemTextW(box, IDNO, gQuestion.second.c_str());
    }
    return CallNextHookEx(gQuestion.hook, code, wParam, lParam);
}

}  // namespace
}  // namespace win32

namespace plat {

using namespace win32;

bool PeekMessage(Message* message) {
    MSG native{};
    if (!PeekMessageW(&native, nullptr, 0, 0, PM_REMOVE)) return false;
    gLastPeeked = native;
    gHaveLastPeeked = true;
    if (message != nullptr) {
        message->window = FromHwnd(native.hwnd);
        message->message = uint32_t(native.message);
        message->wParam = uintptr_t(native.wParam);
        message->lParam = intptr_t(native.lParam);
    }
    return true;
}

void TranslateMessage(const Message& message) {
    const MSG native = NativeMessage(message);
    ::TranslateMessage(&native);
}

intptr_t DispatchMessage(const Message& message) {
    const MSG native = NativeMessage(message);
    return intptr_t(DispatchMessageW(&native));
}

void PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return intptr_t(DefWindowProcW(ToHwnd(window), UINT(message), WPARAM(wParam), LPARAM(lParam)));
}

uint32_t GetTickCount() { return uint32_t(::GetTickCount()); }

int MessageBox(WindowHandle owner, const char* text, const char* title, unsigned flags) {
    const std::wstring wideText = Widen(text);
    const std::wstring wideTitle = Widen(title);
    const int pressed = MessageBoxW(ToHwnd(owner), wideText.c_str(), wideTitle.c_str(), UINT(flags));
    // A box that could not be shown still reads as acknowledged: callers
    // only ever offer OK.
    return pressed != 0 ? pressed : IDOK;
}

bool AskBox(WindowHandle owner, const char* text, const char* title, unsigned flags,
            const char* first, const char* second) {
    const std::wstring wideText = Widen(text);
    const std::wstring wideTitle = Widen(title);
    gQuestion.first = Widen(first);
    gQuestion.second = Widen(second);
    gQuestion.hook = SetWindowsHookExW(WH_CBT, &RenameButtons, nullptr, GetCurrentThreadId());
    const int pressed = MessageBoxW(ToHwnd(owner), wideText.c_str(), wideTitle.c_str(),
                                    UINT(flags) | MB_YESNO | MB_DEFBUTTON1);
    if (gQuestion.hook != nullptr) UnhookWindowsHookEx(gQuestion.hook);
    gQuestion.hook = nullptr;
    return pressed == IDYES;
}

}  // namespace plat
