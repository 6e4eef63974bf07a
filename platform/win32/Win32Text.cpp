// UTF-8 / UTF-16 conversion and process set-up of the native Windows backend.
//
// Conventions: see Win32Api.h (every text crossing Platform.h is UTF-8 and
// is shown through the wide Win32 functions).
#include "platform/win32/Win32Api.h"

namespace win32 {

std::wstring Widen(const char* text, int length) {
    if (text == nullptr || length <= 0) return std::wstring();
    const int needed = MultiByteToWideChar(CP_UTF8, 0, text, length, nullptr, 0);
    if (needed <= 0) return std::wstring();
    std::wstring result(size_t(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, length, &result[0], needed);
    return result;
}

std::wstring Widen(const char* text) {
    if (text == nullptr) return std::wstring();
    const size_t length = std::char_traits<char>::length(text);
    if (length > size_t(0x7FFFFFFF)) return std::wstring();
    return Widen(text, int(length));
}

std::string Narrow(const wchar_t* text) {
    if (text == nullptr || *text == L'\0') return std::string();
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 1) return std::string();
    std::string result(size_t(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], needed, nullptr, nullptr);
    result.resize(size_t(needed - 1));  // drop the terminator the call wrote
    return result;
}

void EnsureProcessSetup() {
    static bool done = false;
    if (done) return;
    done = true;
    SetProcessDPIAware();
}

}  // namespace win32
