// Private header of the native Windows backend: the Win32 headers, made safe
// to use next to platform/Platform.h, and the helpers its files share.
//
// Conventions: platform/Platform.h is included first, then windows.h. The
// Win32 headers define message numbers, key codes and flags as macros with
// the same names as the plat:: constants (WM_CLOSE, VK_ESCAPE, MB_OK ...),
// so after this header those names mean the Win32 macros, which carry the
// same values; backend code uses them unqualified. The Win32 headers also
// map some function names to their A/W variants by macro (GetModuleHandle,
// MessageBox, PeekMessage, DispatchMessage, DefWindowProc, TextOut); those
// macros are removed here so that the plat:: functions keep their names,
// and the backend calls the explicit A/W functions.
//
// Text rule: every string that crosses Platform.h is UTF-8 (the editor's
// texts are German: "Auflösung:", "FullScreen-Mode nicht verfügbar.").
// Everything shown to the user or naming a file goes through the wide (W)
// functions after Widen(); paths coming back are turned into UTF-8 with
// Narrow(). The ANSI (A) functions are used only where no text is involved.
//
// Handles: plat handles are the Win32 handles themselves, cast
// (HWND <-> WindowHandle, HDC <-> DeviceContext, HGLRC <-> RenderContext,
// HINSTANCE <-> ModuleHandle).
#pragma once

#include "platform/Platform.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commdlg.h>

#undef GetModuleHandle
#undef MessageBox
#undef PeekMessage
#undef DispatchMessage
#undef DefWindowProc
#undef TextOut

#include <string>

namespace win32 {

inline HWND ToHwnd(plat::WindowHandle window) { return reinterpret_cast<HWND>(window); }
inline plat::WindowHandle FromHwnd(HWND window) {
    return reinterpret_cast<plat::WindowHandle>(window);
}
inline HDC ToHdc(plat::DeviceContext dc) { return reinterpret_cast<HDC>(dc); }
inline plat::DeviceContext FromHdc(HDC dc) { return reinterpret_cast<plat::DeviceContext>(dc); }
inline HGLRC ToHglrc(plat::RenderContext rc) { return reinterpret_cast<HGLRC>(rc); }
inline plat::RenderContext FromHglrc(HGLRC rc) {
    return reinterpret_cast<plat::RenderContext>(rc);
}
inline HINSTANCE ToHinstance(plat::ModuleHandle module) {
    return reinterpret_cast<HINSTANCE>(module);
}
inline plat::ModuleHandle FromHinstance(HINSTANCE module) {
    return reinterpret_cast<plat::ModuleHandle>(module);
}

// UTF-8 -> UTF-16; a null pointer gives an empty string. Bytes that are not
// valid UTF-8 become U+FFFD rather than cutting the text short.
std::wstring Widen(const char* text);
std::wstring Widen(const char* text, int length);
// UTF-16 -> UTF-8.
std::string Narrow(const wchar_t* text);

// Process-wide settings made once before the first window: the process is
// marked DPI aware, so that a window of width x height pixels in a switched
// display mode covers exactly width x height device pixels and is not
// scaled by the system.
void EnsureProcessSetup();

}  // namespace win32
