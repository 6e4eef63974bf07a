// Windows implementation of PlatformStore.h, with the wide-character API.
// A lock is a handle opened with no sharing at all: while it is open no
// other process can open the file, and the system closes it when the
// process ends. Folder entries need no sync: the file system journals them.
#include "platform/PlatformStore.h"

#include "platform/files/Win32Text.h"  // windows.h, made lean

struct plat::LockObject {
    HANDLE handle = INVALID_HANDLE_VALUE;
};

struct plat::AppendObject {
    HANDLE handle = INVALID_HANDLE_VALUE;
};

namespace plat {
namespace {

// Enough tries to get past names that happen to be taken.
const int kUniqueNameAttempts = 100;
// 100-nanosecond steps from 1601-01-01 (the file time's start) to 1970-01-01.
const int64_t kFileTimeTo1970 = 116444736000000000LL;

std::wstring Wide(const std::string& path) {
    std::wstring wide;
    if (!win32text::Widen(path.c_str(), &wide)) wide.clear();
    return wide;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

FileLock Held(HANDLE handle) {
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    LockObject* lock = new LockObject;
    lock->handle = handle;
    return lock;
}

HANDLE OpenUnshared(const std::wstring& path, DWORD creation) {
    if (path.empty()) return INVALID_HANDLE_VALUE;
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, creation,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

bool MakeFolders(const std::string& folder) {
    const std::wstring wide = Wide(folder);
    if (wide.empty()) return false;
    // Each prefix that ends before a separator, then the whole path. A prefix
    // that cannot be made (a drive "C:", a share) may well exist: only the
    // result counts.
    for (size_t at = 1; at <= wide.size(); ++at) {
        if (at < wide.size() && !IsSeparator(wide[at])) continue;
        CreateDirectoryW(wide.substr(0, at).c_str(), nullptr);
    }
    return IsFolder(folder);
}

std::string MakeUniqueFolder(const std::string& parent, const std::string& prefix) {
    static unsigned counter = 0;
    const unsigned seed = unsigned(GetTickCount()) ^ (unsigned(GetCurrentProcessId()) << 16);
    for (int attempt = 0; attempt < kUniqueNameAttempts; ++attempt) {
        char suffix[9];
        const unsigned value = seed + 0x9E3779B9u * ++counter;
        for (int i = 0; i < 8; ++i) suffix[i] = "0123456789abcdef"[(value >> (28 - 4 * i)) & 15];
        suffix[8] = '\0';
        const std::string name = parent + prefix + suffix;
        const std::wstring wide = Wide(name);
        if (wide.empty()) return std::string();
        if (CreateDirectoryW(wide.c_str(), nullptr)) return name + "\\";
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return std::string();
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    const std::wstring pattern = Wide(folder + "*");
    if (pattern.empty()) return names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        std::string narrow;
        if (win32text::Narrow(name.c_str(), &narrow)) names.push_back(narrow);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

bool IsFolder(const std::string& path) {
    const std::wstring wide = Wide(path);
    const DWORD attributes = wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(const std::string& path) {
    const std::wstring wide = Wide(path);
    if (wide.empty()) return false;
    return DeleteFileW(wide.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool RemoveFolder(const std::string& path) {
    const std::wstring wide = Wide(path);
    return !wide.empty() && RemoveDirectoryW(wide.c_str());
}

bool LinkFile(const std::string& existing, const std::string& link) {
    const std::wstring from = Wide(existing), to = Wide(link);
    return !from.empty() && !to.empty() && CreateHardLinkW(to.c_str(), from.c_str(), nullptr);
}

bool GetFileIdentity(const std::string& path, FileIdentity* identity) {
    const std::wstring wide = Wide(path);
    if (wide.empty()) return false;
    HANDLE handle = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(handle, &info) &&
                    !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(handle);
    if (!ok) return false;
    identity->size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    const int64_t written = int64_t((uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                    info.ftLastWriteTime.dwLowDateTime);
    identity->modified = (written - kFileTimeTo1970) * 100;
    identity->file = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    identity->volume = info.dwVolumeSerialNumber;
    return true;
}

FileLock CreateLock(const std::string& path) { return Held(OpenUnshared(Wide(path), CREATE_NEW)); }

FileLock TryLock(const std::string& path) { return Held(OpenUnshared(Wide(path), OPEN_EXISTING)); }

void ReleaseLock(FileLock lock) {
    if (lock == nullptr) return;
    CloseHandle(lock->handle);
    delete lock;
}

AppendFile OpenAppend(const std::string& path) {
    const std::wstring wide = Wide(path);
    if (wide.empty()) return nullptr;
    HANDLE handle = CreateFileW(wide.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    AppendObject* file = new AppendObject;
    file->handle = handle;
    return file;
}

bool Append(AppendFile file, const void* bytes, size_t count, bool sync) {
    if (file == nullptr) return false;
    const char* at = static_cast<const char*>(bytes);
    while (count > 0) {
        const DWORD chunk = count > 0x40000000 ? 0x40000000 : DWORD(count);
        DWORD wrote = 0;
        if (!WriteFile(file->handle, at, chunk, &wrote, nullptr) || wrote == 0) return false;
        at += wrote;
        count -= wrote;
    }
    return !sync || FlushFileBuffers(file->handle);
}

void CloseAppend(AppendFile file) {
    if (file == nullptr) return;
    CloseHandle(file->handle);
    delete file;
}

bool SyncFolder(const std::string&) { return true; }

}  // namespace plat
