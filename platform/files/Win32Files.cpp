// Windows implementation of PlatformFiles.h, with the wide-character API.
//
// Conventions: UTF-8 paths become UTF-16 (a path that is not valid UTF-8 is
// refused rather than altered, so no other file can be hit); folders are the
// part of a path up to and including its last '\' or '/', or the working
// directory when it has none. Streams are C runtime streams on top of Win32
// handles (_open_osfhandle), so only calls that every Windows C runtime has
// are used. A failing Win32 call leaves errno at the C library's code for its
// GetLastError (ErrnoOf), so callers read one kind of reason on every system.
//
// A temporary is ".map", eight hex digits and ".tmp". It is created with no
// sharing at all, so while its writer has it open nobody else can open it,
// and so nobody can delete it: that exclusive open is its lock. The writer
// keeps it open until the commit, which has to close it for the system's
// file replacement (that opens the replacement alone too) just before the
// replacement runs. Windows knows no interrupted calls (EINTR), so the save
// path has nothing to repeat.
#include "platform/PlatformFiles.h"

#include "platform/files/Win32Text.h"  // windows.h, made lean

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace plat {

struct PreparedFile {
    std::wstring target;
    std::wstring temp;
    std::FILE* stream = nullptr;  // the temporary, open alone: its lock
    bool exists = false;
    bool sync = false;
};

namespace {

// Enough tries to get past names that happen to be taken.
const int kTempNameAttempts = 100;
// A temporary nobody holds open is dead, except one whose writer has just
// closed it to hand it to the file replacement: only temporaries untouched
// for this long are removed.
const ULONGLONG kHandOverSeconds = 60;
const ULONGLONG kFileTimeTicksPerSecond = 10000000;  // FILETIME counts 100 ns

// The counter that spreads the temporary names of one process.
struct TempNames {
    unsigned counter = 0;
};
TempNames sTempNames;

int ErrnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_NOT_SAME_DEVICE: return EXDEV;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_BUSY: return EBUSY;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_CANT_RESOLVE_FILENAME: return ELOOP;
    default: return EIO;
    }
}

bool FailWith(int error) {
    errno = error;
    return false;
}

bool FailLast() { return FailWith(ErrnoOf(GetLastError())); }

PreparedFile* NoFile(int error) {
    errno = error;
    return nullptr;
}

using win32text::Widen;

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
    if (handle == INVALID_HANDLE_VALUE) return FailLast();
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    DWORD got = GetFinalPathNameByHandleW(handle, buffer.data(), DWORD(buffer.size()),
                                          FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (got >= buffer.size()) {
        buffer.resize(size_t(got) + 1);
        got = GetFinalPathNameByHandleW(handle, buffer.data(), DWORD(buffer.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    const DWORD error = GetLastError();
    CloseHandle(handle);
    if (got == 0 || got >= buffer.size()) return FailWith(ErrnoOf(error));
    path->assign(buffer.data(), got);
    return true;
}

// An existing target may be replaced only when it is a plain disk file that
// is not marked read-only and that this user may open for writing.
bool MayReplace(const std::wstring& target) {
    HANDLE handle = CreateFileW(target.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return FailLast();
    const bool disk = GetFileType(handle) == FILE_TYPE_DISK;
    CloseHandle(handle);
    return disk || FailWith(EINVAL);
}

bool IsTempName(const wchar_t* name) {
    const size_t length = wcslen(name);
    if (length != 16 || wcsncmp(name, L".map", 4) != 0 || wcscmp(name + 12, L".tmp") != 0)
        return false;
    for (size_t i = 4; i < 12; ++i)
        if (!((name[i] >= L'0' && name[i] <= L'9') || (name[i] >= L'a' && name[i] <= L'f')))
            return false;
    return true;
}

ULONGLONG TicksOf(const FILETIME& time) {
    return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Best effort, errno kept: removes the temporaries in folder that nobody
// holds open. Opening one alone fails while its writer has it; the open's
// delete-on-close removes it as soon as it succeeds.
void RemoveDeadTemporaries(const std::wstring& folder) {
    const int saved = errno;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L".map*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        errno = saved;
        return;
    }
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG handOver = kHandOverSeconds * kFileTimeTicksPerSecond;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        if (!IsTempName(found.cFileName) || TicksOf(found.ftLastWriteTime) + handOver > TicksOf(now))
            continue;
        HANDLE handle = CreateFileW((folder + found.cFileName).c_str(), DELETE, 0, nullptr,
                                    OPEN_EXISTING,
                                    FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    errno = saved;
}

HANDLE CreateTemp(const std::wstring& folder, std::wstring* name) {
    const unsigned seed = unsigned(GetTickCount()) ^ (unsigned(GetCurrentProcessId()) << 16);
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        wchar_t suffix[16];
        const unsigned value = seed + 0x9E3779B9u * ++sTempNames.counter;
        for (int i = 0; i < 8; ++i) suffix[i] = L"0123456789abcdef"[(value >> (28 - 4 * i)) & 15];
        suffix[8] = L'\0';
        *name = folder + L".map" + suffix + L".tmp";
        HANDLE handle = CreateFileW(name->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) return handle;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    FailLast();
    name->clear();
    return INVALID_HANDLE_VALUE;
}

// Checks the target (links followed) and fills prepared's target and exists.
bool ResolveTarget(const char* path, PreparedFile* prepared) {
    std::wstring& target = prepared->target;
    if (!Widen(path, &target)) return FailWith(EINVAL);
    if (!MakeAbsolute(&target)) return FailLast();
    DWORD attributes = GetFileAttributesW(target.c_str());
    prepared->exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!prepared->exists) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || FailWith(ErrnoOf(error));
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (!FollowLinks(&target)) return false;
        attributes = GetFileAttributesW(target.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return FailLast();
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FailWith(EISDIR);
    if (attributes & FILE_ATTRIBUTE_READONLY) return FailWith(EACCES);
    return MayReplace(target);
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

PreparedFile* PrepareFileContent(const char* path, ContentWriter write, const void* user,
                                 bool syncToDisk) {
    std::unique_ptr<PreparedFile> prepared(new PreparedFile);
    prepared->sync = syncToDisk;
    if (write == nullptr) return NoFile(EINVAL);
    if (!ResolveTarget(path, prepared.get())) return nullptr;
    const std::wstring folder = FolderOf(prepared->target);
    RemoveDeadTemporaries(folder);
    HANDLE handle = CreateTemp(folder, &prepared->temp);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    std::FILE* file = fd == -1 ? nullptr : _fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        if (fd == -1) CloseHandle(handle); else _close(fd);
        DeleteFileW(prepared->temp.c_str());
        return NoFile(error);
    }
    errno = 0;  // a writer that fails on its own leaves it so
    bool ok = write(file, user);
    ok = std::fflush(file) == 0 && ok;
    int error = errno;
    if (ok && syncToDisk && FlushFileBuffers(handle) == 0) {
        ok = false;
        error = ErrnoOf(GetLastError());
    }
    if (!ok) {
        std::fclose(file);
        DeleteFileW(prepared->temp.c_str());
        return NoFile(error);
    }
    prepared->stream = file;  // stays open, so the temporary stays locked
    return prepared.release();
}

bool CommitFileContent(PreparedFile* prepared) {
    if (prepared == nullptr) return FailWith(EINVAL);
    std::unique_ptr<PreparedFile> owned(prepared);
    const std::wstring& target = prepared->target;
    const std::wstring& temp = prepared->temp;
    bool ok = std::fclose(prepared->stream) == 0;  // closes the handle too
    int error = errno;
    if (ok) {
        // ReplaceFileW keeps the replaced file's attributes, security and
        // streams; where the file system cannot do that, a plain rename
        // over the target still replaces it in one step.
        const DWORD through = prepared->sync ? MOVEFILE_WRITE_THROUGH : 0;
        ok = prepared->exists && ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                                              REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
        if (!ok)
            ok = MoveFileExW(temp.c_str(), target.c_str(),
                             (prepared->exists ? MOVEFILE_REPLACE_EXISTING : 0) | through) != 0;
        if (!ok) error = ErrnoOf(GetLastError());
    }
    if (!ok) DeleteFileW(temp.c_str());
    return ok || FailWith(error);
}

void DiscardFileContent(PreparedFile* prepared) {
    if (prepared == nullptr) return;
    const int saved = errno;
    std::fclose(prepared->stream);
    DeleteFileW(prepared->temp.c_str());
    delete prepared;
    errno = saved;
}

bool ReplaceFileContent(const char* path, ContentWriter write, const void* user, bool syncToDisk) {
    PreparedFile* prepared = PrepareFileContent(path, write, user, syncToDisk);
    return prepared != nullptr && CommitFileContent(prepared);
}

}  // namespace plat
