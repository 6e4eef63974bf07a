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

inline bool Widen(const char* text, std::wstring* out) {
    out->clear();
    if (text == nullptr || text[0] == '\0') return false;
    const size_t length = std::strlen(text);
    if (length > 0x7FFFFFFF) return false;
    const int needed =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, int(length), nullptr, 0);
    if (needed <= 0) return false;
    out->assign(size_t(needed), L'\0');
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, int(length), &(*out)[0],
                               needed) == needed;
}

inline bool Narrow(const wchar_t* text, std::string* out) {
    out->clear();
    if (text == nullptr || text[0] == L'\0') return false;
    const size_t length = std::wcslen(text);
    if (length > 0x7FFFFFFF) return false;
    const int needed = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, int(length),
                                           nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return false;
    out->assign(size_t(needed), '\0');
    return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, int(length), &(*out)[0],
                               needed, nullptr, nullptr) == needed;
}

}  // namespace win32text
