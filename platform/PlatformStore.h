// The file-system calls behind the program's own state folder: folders,
// locks that end with the process that holds them, files that only grow
// and reach the disk on request, and a file's identity.
//
// Conventions: paths are UTF-8 strings (UTF-16 with the wide-character API
// on Windows); a folder path ends with its separator. A lock is a file held
// so that no other process can take it while the holder lives: flock on
// POSIX, a handle opened without sharing on Windows; the system lets go of
// it when the process ends however it ends, so a lock that can be taken
// belongs to a program that is gone. Every call retries what the system
// asks to be retried (EINTR) and reports failure as false or null. This
// part is built into the platform_files library with PlatformFiles.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// Creates folder and the folders above it that are missing (readable by the
// user only, on POSIX). True when folder exists afterwards.
bool MakeFolders(const std::string& folder);

// Creates a new, empty folder inside parent whose name starts with prefix
// and ends in a suffix no other folder has. Its path (with separator), or
// empty on failure.
std::string MakeUniqueFolder(const std::string& parent, const std::string& prefix);

// Names of the entries of folder (no "." and ".."); empty when it cannot be
// read.
std::vector<std::string> ListFolder(const std::string& folder);

// True when path is a folder.
bool IsFolder(const std::string& path);

// Removes a file (true also when there was none) or an empty folder.
bool RemoveFile(const std::string& path);
bool RemoveFolder(const std::string& path);

// A second name for an existing file (a hard link), where the file system
// has them; false otherwise.
bool LinkFile(const std::string& existing, const std::string& link);

constexpr int64_t kNanosecondsPerSecond = 1000000000;

// What tells one version of a file from another: its size, the time it was
// last written (nanoseconds since 1970), and the file and volume it is.
struct FileIdentity {
    uint64_t size = 0;
    int64_t modified = 0;
    uint64_t file = 0;
    uint64_t volume = 0;
};
bool GetFileIdentity(const std::string& path, FileIdentity* identity);
inline bool SameIdentity(const FileIdentity& a, const FileIdentity& b) {
    return a.size == b.size && a.modified == b.modified && a.file == b.file &&
           a.volume == b.volume;
}

// Locks. CreateLock makes the file (it must not exist yet) and holds it;
// TryLock holds an existing one unless another process does. Null when the
// lock is held elsewhere, missing, or cannot be made. ReleaseLock lets go
// and closes; null is ignored.
struct LockObject;
using FileLock = LockObject*;
FileLock CreateLock(const std::string& path);
FileLock TryLock(const std::string& path);
void ReleaseLock(FileLock lock);

// A file that only grows. OpenAppend opens an existing file; Append writes
// all bytes at its end, and with sync has them on the disk (data, not
// necessarily the time stamps) before it returns.
struct AppendObject;
using AppendFile = AppendObject*;
AppendFile OpenAppend(const std::string& path);
bool Append(AppendFile file, const void* bytes, size_t count, bool sync);
void CloseAppend(AppendFile file);

// Has the folder's entries (new names, removed names) on the disk; true where
// the system cannot sync folders.
bool SyncFolder(const std::string& folder);

}  // namespace plat
