// Module handle, window classes, display mode, cursor count and windows of
// the native Windows backend.
//
// Conventions: a plat::WindowClass is registered as a real Win32 class whose
// window procedure is one shared trampoline (ClassTrampoline). The
// trampoline finds the plat::WindowProc of the window's class by the class
// atom and calls it with the HWND cast to plat::WindowHandle, so every
// message the system sends (also those sent from inside CreateWindowEx,
// before the window's user data is set) reaches the editor's procedure.
// Classes and windows are Unicode (W) ones, so that captions show any
// character; no text-carrying message is used by the editor's procedures.
// The user-data slot is GWLP_USERDATA.
//
// Pointer position: the editor learns where the pointer is only from
// WM_MOUSEMOVE. Windows sends none when a window appears under a pointer
// that does not move, so a new window is handed one with the pointer's
// real position (client pixels) when the pointer lies inside it; without
// it the editor would take (0, 0), the top-left corner, where the edge
// scrolling would run the view away until the user moved the mouse.
#include <map>

#include "platform/win32/Win32Api.h"

namespace win32 {
namespace {

std::map<ATOM, plat::WindowProc> gProcedures;
std::map<std::wstring, ATOM> gAtoms;  // registered class names

LRESULT CALLBACK ClassTrampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const ATOM atom = ATOM(GetClassWord(window, GCW_ATOM));
    auto found = gProcedures.find(atom);
    if (found == gProcedures.end() || found->second == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return LRESULT(found->second(FromHwnd(window), uint32_t(message), uintptr_t(wParam),
                                 intptr_t(lParam)));
}

bool SwitchTo(int width, int height, int bitsPerPixel) {
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = DWORD(width);
    mode.dmPelsHeight = DWORD(height);
    mode.dmBitsPerPel = DWORD(bitsPerPixel);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

// Colour depth of the display's mode of exactly width x height closest to
// bits (on a tie the deeper one); 0 when the display has no mode that size.
int ClosestDepth(int width, int height, int bits) {
    int best = 0;
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i) {
        if (int(mode.dmPelsWidth) != width || int(mode.dmPelsHeight) != height) continue;
        const int depth = int(mode.dmBitsPerPel);
        const int distance = depth > bits ? depth - bits : bits - depth;
        const int bestDistance = best > bits ? best - bits : bits - best;
        if (best == 0 || distance < bestDistance || (distance == bestDistance && depth > best))
            best = depth;
    }
    return best;
}

// Queues a WM_MOUSEMOVE carrying the pointer's current position when the
// pointer lies in the window's client area.
void PostPointerPosition(HWND window) {
    POINT pointer{};
    RECT client{};
    if (!GetCursorPos(&pointer) || !ScreenToClient(window, &pointer) ||
        !GetClientRect(window, &client) || !PtInRect(&client, pointer))
        return;
    WPARAM keys = 0;
    if (GetKeyState(VK_LBUTTON) < 0) keys |= MK_LBUTTON;
    if (GetKeyState(VK_RBUTTON) < 0) keys |= MK_RBUTTON;
    if (GetKeyState(VK_MBUTTON) < 0) keys |= MK_MBUTTON;
    if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
    PostMessageW(window, WM_MOUSEMOVE, keys, MAKELPARAM(pointer.x, pointer.y));
}

}  // namespace
}  // namespace win32

namespace plat {

using namespace win32;

// The exact request first; displays of today often have no 16-bit modes,
// so when the depth is not offered the closest depth at that size is taken.
bool ChangeDisplayMode(int width, int height, int bitsPerPixel) {
    if (width <= 0 || height <= 0) return false;
    EnsureProcessSetup();
    if (SwitchTo(width, height, bitsPerPixel)) return true;
    const int depth = ClosestDepth(width, height, bitsPerPixel);
    return depth != 0 && depth != bitsPerPixel && SwitchTo(width, height, depth);
}

ModuleHandle GetModuleHandle() { return FromHinstance(GetModuleHandleA(nullptr)); }

bool RegisterWindowClass(const WindowClass& windowClass) {
    if (windowClass.className == nullptr || *windowClass.className == '\0' ||
        windowClass.procedure == nullptr)
        return false;
    EnsureProcessSetup();
    const std::wstring name = Widen(windowClass.className);
    WNDCLASSW native{};
    native.style = windowClass.style;  // CS_* carry the Win32 values
    native.lpfnWndProc = &ClassTrampoline;
    native.hInstance = ToHinstance(windowClass.instance);
    native.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_WINLOGO));
    native.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    native.hbrBackground = nullptr;  // OpenGL paints the whole client area
    native.lpszClassName = name.c_str();
    const ATOM atom = RegisterClassW(&native);
    if (atom == 0) return false;
    gProcedures[atom] = windowClass.procedure;
    gAtoms[name] = atom;
    return true;
}

bool UnregisterWindowClass(const char* className, ModuleHandle instance) {
    if (className == nullptr) return false;
    const std::wstring name = Widen(className);
    if (!UnregisterClassW(name.c_str(), ToHinstance(instance))) return false;
    auto found = gAtoms.find(name);
    if (found != gAtoms.end()) {
        gProcedures.erase(found->second);
        gAtoms.erase(found);
    }
    return true;
}

bool RestoreDisplayMode() { return ChangeDisplaySettingsA(nullptr, 0) == DISP_CHANGE_SUCCESSFUL; }

int ShowCursor(bool show) { return ::ShowCursor(show ? TRUE : FALSE); }

WindowHandle CreatePopupWindow(const char* className, const char* title, int x, int y, int width,
                               int height, ModuleHandle instance) {
    if (className == nullptr) return nullptr;
    EnsureProcessSetup();
    const std::wstring nativeClass = Widen(className);
    const std::wstring nativeTitle = Widen(title);
    HWND window = CreateWindowExW(WS_EX_APPWINDOW, nativeClass.c_str(), nativeTitle.c_str(),
                                  WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y, width,
                                  height, nullptr, nullptr, ToHinstance(instance), nullptr);
    if (window != nullptr) PostPointerPosition(window);
    return FromHwnd(window);
}

bool DestroyWindow(WindowHandle window) {
    return window != nullptr && ::DestroyWindow(ToHwnd(window)) != FALSE;
}

void SetWindowUserData(WindowHandle window, void* data) {
    if (window != nullptr)
        SetWindowLongPtrW(ToHwnd(window), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
}

void* GetWindowUserData(WindowHandle window) {
    if (window == nullptr || !IsWindow(ToHwnd(window))) return nullptr;
    return reinterpret_cast<void*>(GetWindowLongPtrW(ToHwnd(window), GWLP_USERDATA));
}

void ShowWindow(WindowHandle window) {
    if (window != nullptr) ::ShowWindow(ToHwnd(window), SW_SHOW);
}

bool SetForegroundWindow(WindowHandle window) {
    return window != nullptr && ::SetForegroundWindow(ToHwnd(window)) != FALSE;
}

void SetFocus(WindowHandle window) { ::SetFocus(ToHwnd(window)); }

WindowHandle GetFocus() { return FromHwnd(::GetFocus()); }

}  // namespace plat
