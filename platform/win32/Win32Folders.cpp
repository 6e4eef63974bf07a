// The folders of the native Windows backend. The user's folder is the
// Documents folder; the data folder is the program's own (the zip's layout,
// textures\ beside the .exe); the state folder lies in the user's local
// application data. The names are looked up once.
#include "platform/win32/Win32Api.h"

#include <shlobj.h>

#include <cstdlib>
#include <string>

namespace {

// Up to and including the last separator, so that a drive's root stays
// "C:\" and never becomes the drive's current folder "C:".
std::wstring FolderWithSeparator(const std::wstring& file) {
    const size_t slash = file.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : file.substr(0, slash + 1);
}

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder;
}

std::string DocumentsFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return WithSeparator(win32::Narrow(buffer));
    const wchar_t* profile = _wgetenv(L"USERPROFILE");
    return profile != nullptr ? WithSeparator(win32::Narrow(profile)) : std::string();
}

std::string ProgramFolder() {
    return win32::Narrow(FolderWithSeparator(win32::Widen(plat::ProgramPath())).c_str());
}

std::string LocalStateFolder() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    std::string folder = local != nullptr ? win32::Narrow(local) : std::string();
    if (folder.empty()) return folder;
    return WithSeparator(folder) + "terrain-editor\\";
}

struct Folders {
    std::string user = DocumentsFolder();
    std::string data = ProgramFolder();
    std::string state = LocalStateFolder();
};

const Folders& Known() {
    static const Folders folders;
    return folders;
}

}  // namespace

namespace plat {

const char* UserFolder() { return Known().user.c_str(); }

const char* DataFolder() { return Known().data.c_str(); }

const char* StateFolder() { return Known().state.empty() ? nullptr : Known().state.c_str(); }

}  // namespace plat
