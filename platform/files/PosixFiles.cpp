// POSIX implementation of PlatformFiles.h (Linux desktop and headless
// builds, and the command-line tools).
//
// Conventions: paths are used as the bytes they are (UTF-8 by convention);
// folders are the part of a path up to and including its last '/', or the
// working directory when it has none. Descriptors are opened close-on-exec.
#include "platform/PlatformFiles.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {
namespace {

// As many link hops as the kernel itself follows before it gives up.
const int kMaxLinkHops = 40;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a chain of symbolic links ends at (path itself when it is no
// link, or when nothing exists there yet). A link may point to a file that
// does not exist yet: the save then creates it there. False on a loop or a
// link that cannot be read.
bool FollowLinks(const std::string& path, std::string* target) {
    std::string current = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st;
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *target = current;
            return true;
        }
        std::string link(size_t(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t got = readlink(current.c_str(), &link[0], link.size());
        if (got <= 0 || size_t(got) >= link.size()) return false;  // changed meanwhile
        link.resize(size_t(got));
        current = link[0] == '/' ? link : FolderOf(current) + link;
    }
    return false;
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
    if (!exists) return fchmod(fd, 0666 & ~CurrentUmask()) == 0;
    if (fchown(fd, old.st_uid, old.st_gid) != 0) {
        if (fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // Keep the user's own group; nothing more to do.
        }
    }
    // After fchown, which clears set-id bits.
    return fchmod(fd, old.st_mode & 07777) == 0;
}

void SyncFolder(const std::string& folder) {
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    // The rename has happened either way; a folder that cannot be synced
    // (some file systems refuse) does not make the save a failure.
    (void)fsync(fd);
    close(fd);
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

bool ReplaceFileContent(const char* path, ContentWriter write, const void* user, bool syncToDisk) {
    if (path == nullptr || path[0] == '\0' || write == nullptr) return false;
    std::string target;
    if (!FollowLinks(path, &target)) return false;

    struct stat old {};
    const bool exists = stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists) {
        if (!S_ISREG(old.st_mode)) return false;
        // A file without any write bit is read-only by the owner's choice,
        // also for a privileged user who could write it anyway.
        if ((old.st_mode & 0222) == 0) return false;
        if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;
    }

    // A short name in the target's own folder (so the rename stays on one
    // file system), created exclusively with a unique suffix.
    const std::string folder = FolderOf(target);
    std::string temp = folder + ".mapXXXXXX";
    const int fd = mkstemp(&temp[0]);
    if (fd < 0) return false;
    fcntl(fd, F_SETFD, FD_CLOEXEC);

    bool ok = TakeOverAttributes(fd, exists, old);
    std::FILE* file = ok ? fdopen(fd, "wb") : nullptr;
    if (file == nullptr) {
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    ok = write(file, user) && ok;
    ok = std::fflush(file) == 0 && ok;
    if (syncToDisk) ok = fsync(fd) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    if (syncToDisk) SyncFolder(folder);
    return true;
}

}  // namespace plat
