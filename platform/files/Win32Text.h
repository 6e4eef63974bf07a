// UTF-8 paths to the UTF-16 of the wide-character API and back, for the
// Windows file calls. A text that is not valid in its encoding is refused
// rather than altered, so that no other file can be hit.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

namespace win32text {

// The conversions themselves, of `length` units (no terminator). With
// flags MB_ERR_INVALID_CHARS / WC_ERR_INVALID_CHARS an invalid text is
// refused (false); with 0 its invalid parts become U+FFFD.
inline bool WidenWith(const char* text, size_t length, DWORD flags, std::wstring* out) {
    out->clear();
    if (length > 0x7FFFFFFF) return false;
    if (length == 0) return true;
    const int needed = MultiByteToWideChar(CP_UTF8, flags, text, int(length), nullptr, 0);
    if (needed <= 0) return false;
    out->assign(size_t(needed), L'\0');
    return MultiByteToWideChar(CP_UTF8, flags, text, int(length), &(*out)[0], needed) == needed;
}

inline bool NarrowWith(const wchar_t* text, size_t length, DWORD flags, std::string* out) {
    out->clear();
    if (length > 0x7FFFFFFF) return false;
    if (length == 0) return true;
    const int needed =
        WideCharToMultiByte(CP_UTF8, flags, text, int(length), nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return false;
    out->assign(size_t(needed), '\0');
    return WideCharToMultiByte(CP_UTF8, flags, text, int(length), &(*out)[0], needed, nullptr,
                               nullptr) == needed;
}

// Paths: an empty or invalid text is refused.
inline bool Widen(const char* text, std::wstring* out) {
    out->clear();
    if (text == nullptr || text[0] == '\0') return false;
    return WidenWith(text, std::strlen(text), MB_ERR_INVALID_CHARS, out);
}

inline bool Narrow(const wchar_t* text, std::string* out) {
    out->clear();
    if (text == nullptr || text[0] == L'\0') return false;
    return NarrowWith(text, std::wcslen(text), WC_ERR_INVALID_CHARS, out);
}

}  // namespace win32text
