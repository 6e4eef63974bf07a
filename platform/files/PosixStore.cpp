// POSIX implementation of PlatformStore.h. Descriptors are close-on-exec,
// so a program the editor starts never inherits (and so never holds) one of
// its locks.
#include "platform/PlatformStore.h"
#include "platform/files/PosixRetry.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

struct plat::LockObject {
    int fd = -1;
};

struct plat::AppendObject {
    int fd = -1;
};

namespace plat {
namespace {

// Folders and files the program keeps for itself are the user's alone.
const mode_t kFolderMode = 0700;
const mode_t kFileMode = 0600;

using posixretry::Retry;

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    return Retry([&] { return open(path, flags | O_CLOEXEC, mode); });
}

bool FlockNow(int fd) { return Retry([&] { return flock(fd, LOCK_EX | LOCK_NB); }) == 0; }

FileLock Held(int fd) {
    if (fd < 0) return nullptr;
    if (!FlockNow(fd)) {
        close(fd);
        return nullptr;
    }
    LockObject* lock = new LockObject;
    lock->fd = fd;
    return lock;
}

}  // namespace

bool MakeFolders(const std::string& folder) {
    if (folder.empty()) return false;
    // Each prefix ending at a separator, then the whole path.
    for (size_t at = folder.find('/', 1); ; at = folder.find('/', at + 1)) {
        const std::string part = at == std::string::npos ? folder : folder.substr(0, at);
        if (!part.empty() && mkdir(part.c_str(), kFolderMode) != 0 && errno != EEXIST)
            return false;
        if (at == std::string::npos || at + 1 >= folder.size()) break;
    }
    return IsFolder(folder);
}

std::string MakeUniqueFolder(const std::string& parent, const std::string& prefix) {
    std::string name = parent + prefix + "XXXXXX";
    if (mkdtemp(&name[0]) == nullptr) return std::string();
    return name + "/";
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.push_back(entry->d_name);
    }
    closedir(dir);
    return names;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0 || errno == ENOENT; }

bool RemoveFolder(const std::string& path) { return rmdir(path.c_str()) == 0; }

bool LinkFile(const std::string& existing, const std::string& link) {
    return ::link(existing.c_str(), link.c_str()) == 0;
}

bool GetFileIdentity(const std::string& path, FileIdentity* identity) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    identity->size = uint64_t(st.st_size);
    identity->modified = int64_t(st.st_mtim.tv_sec) * kNanosecondsPerSecond + st.st_mtim.tv_nsec;
    identity->file = uint64_t(st.st_ino);
    identity->volume = uint64_t(st.st_dev);
    return true;
}

FileLock CreateLock(const std::string& path) {
    return Held(OpenRetrying(path.c_str(), O_RDWR | O_CREAT | O_EXCL, kFileMode));
}

FileLock TryLock(const std::string& path) {
    return Held(OpenRetrying(path.c_str(), O_RDWR | O_NOFOLLOW));
}

void ReleaseLock(FileLock lock) {
    if (lock == nullptr) return;
    close(lock->fd);  // closing lets go of the flock
    delete lock;
}

AppendFile OpenAppend(const std::string& path) {
    const int fd = OpenRetrying(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW);
    if (fd < 0) return nullptr;
    AppendObject* file = new AppendObject;
    file->fd = fd;
    return file;
}

bool Append(AppendFile file, const void* bytes, size_t count, bool sync) {
    if (file == nullptr) return false;
    const char* at = static_cast<const char*>(bytes);
    while (count > 0) {
        const ssize_t wrote = write(file->fd, at, count);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        at += wrote;
        count -= size_t(wrote);
    }
    if (!sync) return true;
    return Retry([&] { return fdatasync(file->fd); }) == 0;
}

void CloseAppend(AppendFile file) {
    if (file == nullptr) return;
    close(file->fd);
    delete file;
}

bool SyncFolder(const std::string& folder) {
    const int fd = OpenRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    const int result = Retry([&] { return fsync(fd); });
    // Some file systems cannot sync a folder; the entries are there anyway.
    const bool ok = result == 0 || errno == EINVAL || errno == EROFS;
    close(fd);
    return ok;
}

}  // namespace plat
