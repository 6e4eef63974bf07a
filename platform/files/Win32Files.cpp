// Windows implementation of PlatformFiles.h, with the wide-character API.
//
// Conventions: UTF-8 paths become UTF-16 (a path that is not valid UTF-8 is
// refused rather than altered, so no other file can be hit); folders are the
// part of a path up to and including its last '\' or '/', or the working
// directory when it has none. Streams are C runtime streams on top of Win32
// handles (_open_osfhandle), so only calls that every Windows C runtime has
// are used.
#include "platform/PlatformFiles.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstring>
#include <string>
#include <vector>

namespace plat {
namespace {

// Enough tries to get past names that happen to be taken.
const int kTempNameAttempts = 100;

bool Widen(const char* text, std::wstring* out) {
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

// The absolute form of a path: the file replacement of some systems takes
// only absolute paths, and the temporary's folder is then always named.
bool MakeAbsolute(std::wstring* path) {
    DWORD needed = GetFullPathNameW(path->c_str(), 0, nullptr, nullptr);
    if (needed == 0) return false;
    std::vector<wchar_t> buffer(size_t(needed) + 1);
    const DWORD got = GetFullPathNameW(path->c_str(), DWORD(buffer.size()), buffer.data(), nullptr);
    if (got == 0 || got >= buffer.size()) return false;
    path->assign(buffer.data(), got);
    return true;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// A symbolic link or junction is followed to the file it ends at; the
// system resolves the whole chain through an open handle.
bool FollowLinks(std::wstring* path) {
    HANDLE handle = CreateFileW(path->c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    DWORD got = GetFinalPathNameByHandleW(handle, buffer.data(), DWORD(buffer.size()),
                                          FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (got >= buffer.size()) {
        buffer.resize(size_t(got) + 1);
        got = GetFinalPathNameByHandleW(handle, buffer.data(), DWORD(buffer.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    CloseHandle(handle);
    if (got == 0 || got >= buffer.size()) return false;
    path->assign(buffer.data(), got);
    return true;
}

// An existing target may be replaced only when it is a plain disk file that
// is not marked read-only and that this user may open for writing.
bool MayReplace(const std::wstring& target) {
    HANDLE handle = CreateFileW(target.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool disk = GetFileType(handle) == FILE_TYPE_DISK;
    CloseHandle(handle);
    return disk;
}

HANDLE CreateTemp(const std::wstring& folder, std::wstring* name) {
    static unsigned counter = 0;
    const unsigned seed = unsigned(GetTickCount()) ^ (unsigned(GetCurrentProcessId()) << 16);
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        wchar_t suffix[16];
        const unsigned value = seed + 0x9E3779B9u * ++counter;
        for (int i = 0; i < 8; ++i) suffix[i] = L"0123456789abcdef"[(value >> (28 - 4 * i)) & 15];
        suffix[8] = L'\0';
        *name = folder + L".map" + suffix + L".tmp";
        HANDLE handle = CreateFileW(name->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) return handle;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    name->clear();
    return INVALID_HANDLE_VALUE;
}

}  // namespace

std::FILE* OpenRegularFile(const char* path, const char* mode, bool* notRegular) {
    if (notRegular) *notRegular = false;
    if (mode == nullptr || mode[0] != 'r' || std::strchr(mode, '+')) return nullptr;
    std::wstring wide;
    if (!Widen(path, &wide)) return nullptr;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (notRegular) *notRegular = true;
        return nullptr;
    }
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    // Pipes and character devices (CON, NUL, COM1 ...) are not files.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        if (notRegular) *notRegular = true;
        return nullptr;
    }
    const bool binary = std::strchr(mode, 'b') != nullptr;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle),
                                   _O_RDONLY | (binary ? _O_BINARY : _O_TEXT));
    if (fd == -1) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, mode);
    if (file == nullptr) _close(fd);
    return file;
}

bool ReplaceFileContent(const char* path, ContentWriter write, const void* user, bool syncToDisk) {
    std::wstring target;
    if (write == nullptr || !Widen(path, &target) || !MakeAbsolute(&target)) return false;

    DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (!FollowLinks(&target)) return false;
        attributes = GetFileAttributesW(target.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    }
    if (exists) {
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
        if (!MayReplace(target)) return false;
    }

    std::wstring temp;
    HANDLE handle = CreateTemp(FolderOf(target), &temp);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    std::FILE* file = fd == -1 ? nullptr : _fdopen(fd, "wb");
    if (file == nullptr) {
        if (fd == -1) CloseHandle(handle); else _close(fd);
        DeleteFileW(temp.c_str());
        return false;
    }
    bool ok = write(file, user);
    ok = std::fflush(file) == 0 && ok;
    if (syncToDisk) ok = FlushFileBuffers(handle) != 0 && ok;
    ok = std::fclose(file) == 0 && ok;  // closes the handle too

    if (ok) {
        // ReplaceFileW keeps the replaced file's attributes, security and
        // streams; where the file system cannot do that, a plain rename
        // over the target still replaces it in one step.
        const DWORD through = syncToDisk ? MOVEFILE_WRITE_THROUGH : 0;
        ok = exists && ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                                    REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
        if (!ok)
            ok = MoveFileExW(temp.c_str(), target.c_str(),
                             (exists ? MOVEFILE_REPLACE_EXISTING : 0) | through) != 0;
    }
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

}  // namespace plat
