// POSIX implementation of PlatformFiles.h (Linux desktop and headless
// builds, and the command-line tools).
//
// Conventions: paths are used as the bytes they are (UTF-8 by convention);
// folders are the part of a path up to and including its last '/', or the
// working directory when it has none. Descriptors are opened close-on-exec.
// Every call of the save path goes through Retry, which repeats it while the
// system answers EINTR; each step leaves errno at the reason of a failure.
//
// A temporary is ".map" and six characters of mkstemp. Its writer holds an
// exclusive flock on it from creation until the rename (or the removal) is
// done, through a second descriptor of the same open file, so that closing
// the written descriptor (which reports the late write errors of network
// file systems) does not yet let the lock go.
#include "platform/PlatformFiles.h"
#include "platform/files/PosixRetry.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

struct PreparedFile {
    std::string target;  // the file the links end at
    std::string folder;
    std::string temp;
    int lock = -1;  // holds the temporary's flock until the commit or discard
    bool sync = false;
};

namespace {

// As many link hops as the kernel itself follows before it gives up.
const int kMaxLinkHops = 40;
// Fresh names to try when a cleaner removed a new temporary between its
// creation and its lock (each try is a new mkstemp name).
const int kTempAttempts = 8;
// Stream buffer of the content writer: large writes go straight through,
// small ones (a PNG encoder's chunks) are gathered into few system calls.
const size_t kStreamBufferBytes = size_t(64) << 10;
const char kTempPrefix[] = ".map";
const size_t kTempRandomChars = 6;  // mkstemp's XXXXXX

// The temporaries this process holds right now (prepared, not yet committed
// or discarded), by device and inode: where flock is emulated with
// process-wide record locks (NFS), the process's own locks do not stop its
// own cleaner, so it skips them by name of file.
struct HeldTemporaries {
    std::vector<std::pair<dev_t, ino_t>> files;
};
HeldTemporaries sHeld;

using posixretry::Retry;

bool Fail(int error) {
    errno = error;
    return false;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsHeld(const struct stat& st) {
    for (const auto& file : sHeld.files)
        if (file.first == st.st_dev && file.second == st.st_ino) return true;
    return false;
}

void SetHeld(int fd, bool held) {
    struct stat st;
    if (fstat(fd, &st) != 0) return;
    auto& files = sHeld.files;
    for (size_t i = 0; i < files.size(); ++i) {
        if (files[i].first == st.st_dev && files[i].second == st.st_ino) {
            files.erase(files.begin() + std::ptrdiff_t(i));
            break;
        }
    }
    if (held) files.emplace_back(st.st_dev, st.st_ino);
}

// The file a chain of symbolic links ends at (path itself when it is no
// link, or when nothing exists there yet). A link may point to a file that
// does not exist yet: the save then creates it there. False on a loop, a
// link that cannot be read, or a name that cannot be looked at.
bool FollowLinks(const std::string& path, std::string* target) {
    std::string current = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st;
        if (Retry([&] { return lstat(current.c_str(), &st); }) != 0) {
            if (errno != ENOENT) return false;
            *target = current;
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            *target = current;
            return true;
        }
        std::string link(size_t(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t got =
            Retry([&] { return readlink(current.c_str(), &link[0], link.size()); });
        if (got < 0) return false;
        if (got == 0 || size_t(got) >= link.size()) return Fail(EAGAIN);  // changed meanwhile
        link.resize(size_t(got));
        current = link[0] == '/' ? link : FolderOf(current) + link;
    }
    return Fail(ELOOP);
}

// Whether target may be replaced, and what it is now (*exists, *old).
bool MayReplace(const std::string& target, struct stat* old, bool* exists) {
    *exists = Retry([&] { return stat(target.c_str(), old); }) == 0;
    if (!*exists) return errno == ENOENT;
    if (S_ISDIR(old->st_mode)) return Fail(EISDIR);
    if (!S_ISREG(old->st_mode)) return Fail(EINVAL);
    // A file without any write bit is read-only by the owner's choice,
    // also for a privileged user who could write it anyway.
    if ((old->st_mode & 0222) == 0) return Fail(EACCES);
    return Retry([&] { return faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS); }) == 0;
}

bool IsTempName(const char* name) {
    const size_t prefix = sizeof kTempPrefix - 1;
    if (std::strncmp(name, kTempPrefix, prefix) != 0) return false;
    if (std::strlen(name) != prefix + kTempRandomChars) return false;
    for (const char* c = name + prefix; *c; ++c) {
        const bool alnum = (*c >= '0' && *c <= '9') || (*c >= 'a' && *c <= 'z') ||
                           (*c >= 'A' && *c <= 'Z');
        if (!alnum) return false;
    }
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes path when it is a temporary whose writer is gone: a regular file
// that nobody holds locked. It is removed while this call holds the lock, so
// a writer that created it a moment ago finds it gone after its own lock
// and takes a new name.
void RemoveIfDead(const std::string& path) {
    struct stat seen;
    if (Retry([&] { return lstat(path.c_str(), &seen); }) != 0 || !S_ISREG(seen.st_mode)) return;
    if (IsHeld(seen)) return;
    const int fd = Retry([&] {
        return open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    });
    if (fd < 0) return;  // another user's, or gone: not ours to judge
    struct stat opened, now;
    if (fstat(fd, &opened) == 0 && SameFile(opened, seen) &&
        Retry([&] { return flock(fd, LOCK_EX | LOCK_NB); }) == 0 &&
        Retry([&] { return lstat(path.c_str(), &now); }) == 0 && SameFile(now, opened)) {
        (void)Retry([&] { return unlink(path.c_str()); });
    }
    close(fd);
}

// Best effort: a folder that cannot be listed keeps its temporaries, and the
// save goes on. errno is left as it was.
void RemoveDeadTemporaries(const std::string& folder) {
    const int saved = errno;
    DIR* dir = Retry([&] { return opendir(folder.empty() ? "." : folder.c_str()); });
    if (dir != nullptr) {
        for (;;) {
            errno = 0;
            const dirent* entry = readdir(dir);
            if (entry == nullptr && errno == EINTR) continue;  // the stream is as it was
            if (entry == nullptr) break;
            if (IsTempName(entry->d_name)) RemoveIfDead(folder + entry->d_name);
        }
        closedir(dir);
    }
    errno = saved;
}

// A new temporary in folder, locked; -1 on failure. Without lock support
// (flock refused) the temporary is written unlocked: no cleaner can lock it
// either, so none removes it.
int CreateLockedTemp(const std::string& folder, std::string* temp) {
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        *temp = folder + kTempPrefix + std::string(kTempRandomChars, 'X');
        const int fd = mkostemp(&(*temp)[0], O_CLOEXEC);
        if (fd < 0 && errno == EINTR) continue;
        if (fd < 0) return -1;
        if (Retry([&] { return flock(fd, LOCK_EX); }) != 0) return fd;
        struct stat st;
        if (Retry([&] { return fstat(fd, &st); }) != 0) {
            const int error = errno;
            (void)Retry([&] { return unlink(temp->c_str()); });
            close(fd);
            errno = error;
            return -1;
        }
        if (st.st_nlink > 0) return fd;
        close(fd);  // removed by a cleaner before the lock: take a new name
    }
    errno = EEXIST;
    return -1;
}

mode_t CurrentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

// Gives the temporary file the owner, group and permission bits the file it
// replaces has (or those of a newly created file). The owner can only be set
// by a privileged process, the group only to one the user belongs to: what
// may not be set stays the user's own, as with any file the user creates.
bool TakeOverAttributes(int fd, bool exists, const struct stat& old) {
    if (!exists) return Retry([&] { return fchmod(fd, 0666 & ~CurrentUmask()); }) == 0;
    if (Retry([&] { return fchown(fd, old.st_uid, old.st_gid); }) != 0) {
        if (Retry([&] { return fchown(fd, static_cast<uid_t>(-1), old.st_gid); }) != 0) {
            // Keep the user's own group; nothing more to do.
        }
    }
    // After fchown, which clears set-id bits.
    return Retry([&] { return fchmod(fd, old.st_mode & 07777); }) == 0;
}

// The content writer's stream: every write goes to the descriptor whole,
// repeated after interruptions and partial writes; the first failure's errno
// is kept, since the writer only learns that a write failed.
struct Sink {
    int fd = -1;
    int error = 0;
};

ssize_t SinkWrite(void* cookie, const char* data, size_t size) {
    Sink& sink = *static_cast<Sink*>(cookie);
    for (size_t done = 0; done < size;) {
        const ssize_t wrote = write(sink.fd, data + done, size - done);
        if (wrote > 0) {
            done += size_t(wrote);
        } else if (wrote < 0 && errno == EINTR) {
            continue;
        } else {
            if (sink.error == 0) sink.error = wrote < 0 ? errno : EIO;
            return 0;  // a cookie stream's failure
        }
    }
    return ssize_t(size);
}

// Runs write on a stream over fd, then flushes, syncs (when asked) and closes
// fd. lock is the second descriptor of the same file that stays open.
bool WriteContent(int fd, int lock, ContentWriter write, const void* user, bool sync) {
    Sink sink;
    sink.fd = fd;
    const cookie_io_functions_t io = {nullptr, SinkWrite, nullptr, nullptr};
    std::FILE* stream = fopencookie(&sink, "wb", io);
    bool ok = stream != nullptr;
    int error = ok ? 0 : errno;
    std::vector<char> buffer(ok ? kStreamBufferBytes : 0);
    if (ok) {
        setvbuf(stream, buffer.data(), _IOFBF, buffer.size());
        ok = write(stream, user);
        ok = std::fflush(stream) == 0 && ok;
        std::fclose(stream);  // leaves fd open: the cookie has no close
        error = sink.error;   // 0 when the writer failed on its own
    }
    if (ok && sync && Retry([&] { return fsync(fd); }) != 0) {
        ok = false;
        error = errno;
    }
    // Linux releases the descriptor also when close reports EINTR; what the
    // interrupted close was flushing is then synced through the lock's
    // descriptor instead.
    if (close(fd) != 0 && ok) {
        ok = errno == EINTR && Retry([&] { return fsync(lock); }) == 0;
        error = errno;
    }
    errno = error;
    return ok;
}

void SyncFolder(const std::string& folder) {
    const int fd = Retry([&] {
        return open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    });
    if (fd < 0) return;
    // The rename has happened either way; a folder that cannot be synced
    // (some file systems refuse) does not make the save a failure.
    (void)Retry([&] { return fsync(fd); });
    close(fd);
}

// Removes the temporary and ends prepared, keeping errno.
void Abandon(PreparedFile* prepared) {
    const int saved = errno;
    (void)Retry([&] { return unlink(prepared->temp.c_str()); });
    if (prepared->lock >= 0) {
        SetHeld(prepared->lock, false);
        close(prepared->lock);
    }
    delete prepared;
    errno = saved;
}

}  // namespace

std::FILE* OpenRegularFile(const char* path, const char* mode, bool* notRegular) {
    if (notRegular) *notRegular = false;
    if (path == nullptr || mode == nullptr || mode[0] != 'r' || std::strchr(mode, '+')) return nullptr;
    // Looked at before the open, so that opening a device has no effect on
    // it, and again on the open descriptor, in case the name was changed in
    // between. O_NONBLOCK keeps the open of a FIFO from waiting for a writer.
    struct stat st;
    if (stat(path, &st) == 0 && !S_ISREG(st.st_mode)) {
        if (notRegular) *notRegular = true;
        return nullptr;
    }
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (notRegular) *notRegular = !S_ISREG(st.st_mode);
        close(fd);
        return nullptr;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags != -1) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* file = fdopen(fd, mode);
    if (file == nullptr) close(fd);
    return file;
}

PreparedFile* PrepareFileContent(const char* path, ContentWriter write, const void* user,
                                 bool syncToDisk) {
    if (path == nullptr || path[0] == '\0' || write == nullptr) {
        errno = EINVAL;
        return nullptr;
    }
    PreparedFile* prepared = new PreparedFile;
    prepared->sync = syncToDisk;
    struct stat old {};
    bool exists = false;
    if (!FollowLinks(path, &prepared->target) || !MayReplace(prepared->target, &old, &exists)) {
        delete prepared;
        return nullptr;
    }
    // A short name in the target's own folder (so the rename stays on one
    // file system), created exclusively with a unique suffix.
    prepared->folder = FolderOf(prepared->target);
    RemoveDeadTemporaries(prepared->folder);
    const int fd = CreateLockedTemp(prepared->folder, &prepared->temp);
    if (fd < 0) {
        delete prepared;
        return nullptr;
    }
    prepared->lock = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (prepared->lock < 0 || !TakeOverAttributes(fd, exists, old)) {
        const int error = errno;
        close(fd);
        errno = error;
        Abandon(prepared);
        return nullptr;
    }
    SetHeld(fd, true);
    if (!WriteContent(fd, prepared->lock, write, user, syncToDisk)) {
        Abandon(prepared);
        return nullptr;
    }
    return prepared;
}

bool CommitFileContent(PreparedFile* prepared) {
    if (prepared == nullptr) return Fail(EINVAL);
    if (Retry([&] { return rename(prepared->temp.c_str(), prepared->target.c_str()); }) != 0) {
        Abandon(prepared);
        return false;
    }
    if (prepared->sync) SyncFolder(prepared->folder);
    SetHeld(prepared->lock, false);
    close(prepared->lock);
    delete prepared;
    return true;
}

void DiscardFileContent(PreparedFile* prepared) {
    if (prepared != nullptr) Abandon(prepared);
}

bool ReplaceFileContent(const char* path, ContentWriter write, const void* user, bool syncToDisk) {
    PreparedFile* prepared = PrepareFileContent(path, write, user, syncToDisk);
    return prepared != nullptr && CommitFileContent(prepared);
}

}  // namespace plat
