// UTF-8 / UTF-16 conversion and process set-up of the native Windows backend.
//
// Conventions: see Win32Api.h (every text crossing Platform.h is UTF-8 and
// is shown through the wide Win32 functions).
#include "platform/win32/Win32Api.h"

#include <cwchar>

#include "platform/files/Win32Text.h"

namespace win32 {

// Texts shown to the user: invalid parts are replaced, never refused.
std::wstring Widen(const char* text, int length) {
    std::wstring result;
    if (text == nullptr || length <= 0 || !win32text::WidenWith(text, size_t(length), 0, &result))
        return std::wstring();
    return result;
}

std::wstring Widen(const char* text) {
    if (text == nullptr) return std::wstring();
    const size_t length = std::char_traits<char>::length(text);
    if (length > size_t(0x7FFFFFFF)) return std::wstring();
    return Widen(text, int(length));
}

std::string Narrow(const wchar_t* text) {
    std::string result;
    if (text == nullptr || !win32text::NarrowWith(text, std::wcslen(text), 0, &result))
        return std::string();
    return result;
}

void EnsureProcessSetup() {
    static bool done = false;
    if (done) return;
    done = true;
    SetProcessDPIAware();
}

}  // namespace win32
