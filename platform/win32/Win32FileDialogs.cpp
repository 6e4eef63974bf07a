// The open and save file dialogs of the native Windows backend (common
// dialogs, wide versions), the string release and the program's own path.
//
// Conventions: the filter "description|pattern|..." becomes the common
// dialog's list of NUL-terminated strings ended by an empty one. The dialog
// starts in the folder of the path given (a folder is used as it is, a
// file's folder otherwise), with an empty name field. Options stay at the
// dialog's defaults apart from a hidden read-only box, a resizable dialog
// and the current directory left unchanged (the editor finds its textures
// relative to it): no overwrite question, no must-exist check. Paths
// returned are malloc'ed UTF-8 copies, released with FreeString.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/win32/Win32Api.h"

namespace {

// "a|b|c|d" -> L"a\0b\0c\0d\0\0". A trailing description without a pattern
// is dropped, as the dialog would misread an odd count.
std::wstring NativeFilter(const char* filter) {
    std::vector<std::wstring> parts;
    if (filter != nullptr && *filter != '\0') {
        const char* start = filter;
        for (const char* p = filter;; ++p) {
            if (*p == '|' || *p == '\0') {
                parts.push_back(win32::Widen(start, int(p - start)));
                if (*p == '\0') break;
                start = p + 1;
            }
        }
    }
    if (parts.size() % 2 != 0) parts.pop_back();
    std::wstring result;
    for (const std::wstring& part : parts) {
        result += part;
        result += L'\0';
    }
    result += L'\0';
    return result;
}

std::wstring InitialFolder(const char* path) {
    std::wstring folder = win32::Widen(path);
    if (folder.empty()) return folder;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return folder;
    const size_t slash = folder.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return std::wstring();
    folder.resize(slash == 0 || folder[slash - 1] == L':' ? slash + 1 : slash);
    return folder;
}

char* CopyOut(const std::string& text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

char* RunFileDialog(bool save, const char* title, const char* defaultExtension,
                    const char* filter, const char* initialPath) {
    const std::wstring wideTitle = win32::Widen(title);
    const std::wstring wideExtension = win32::Widen(defaultExtension);
    const std::wstring wideFilter = NativeFilter(filter);
    const std::wstring folder = InitialFolder(initialPath);
    std::vector<wchar_t> file(32768, L'\0');  // the longest path Windows knows

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    // Owned by the active (fullscreen) window so that it shows above it
    // and that window takes no input while the dialog is open.
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpstrFilter = wideFilter.size() > 1 ? wideFilter.c_str() : nullptr;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = DWORD(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = wideTitle.empty() ? nullptr : wideTitle.c_str();
    dialog.lpstrDefExt = wideExtension.empty() ? nullptr : wideExtension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    const BOOL confirmed = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!confirmed) return nullptr;
    file.back() = L'\0';
    return CopyOut(win32::Narrow(file.data()));
}

}  // namespace

namespace plat {

char* OpenFileDialog(const char* title, const char* defaultExtension, const char* filter,
                     const char* initialPath) {
    return RunFileDialog(false, title, defaultExtension, filter, initialPath);
}

char* SaveFileDialog(const char* title, const char* defaultExtension, const char* filter,
                     const char* initialPath) {
    return RunFileDialog(true, title, defaultExtension, filter, initialPath);
}

void FreeString(char* text) { std::free(text); }

// The common dialog of GetOpenFileName has no list of places to add to.
void SetOpenDialogPlace(const char*) {}

// The wide call and a UTF-8 result, so that the path means the same file
// when it comes back through the dialogs, whatever the system's code page.
const char* ProgramPath() {
    static std::string path;
    if (path.empty()) {
        std::vector<wchar_t> buffer(MAX_PATH);
        for (;;) {
            const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
            if (length == 0) break;
            if (length < buffer.size()) {
                path = win32::Narrow(buffer.data());
                break;
            }
            if (buffer.size() >= 32768) break;
            buffer.resize(buffer.size() * 2);
        }
    }
    return path.c_str();
}

}  // namespace plat
