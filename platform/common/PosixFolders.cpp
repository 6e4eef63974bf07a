// The POSIX folder facts: /proc/self/exe, $HOME or getpwuid_r.
#include "platform/common/PosixFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

namespace posixdir {

namespace {

// Below the installation prefix (/usr, /usr/local or wherever a package's
// tree was unpacked), as the Debian package lays it out.
constexpr const char* kDataBelowPrefix = "/share/terrain-editor";

}  // namespace

std::string ExecutablePath() {
    char buffer[PATH_MAX + 1];
    const ssize_t length = readlink("/proc/self/exe", buffer, PATH_MAX);
    return length > 0 ? std::string(buffer, size_t(length)) : std::string();
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/')
        return found->pw_dir;
    return std::string();
}

std::string InstalledDataFolder(const std::string& programFile) {
    const std::string bin = FolderOf(programFile);
    if (bin.empty()) return std::string();
    const std::string prefix = FolderOf(bin);
    return (prefix == "/" ? std::string() : prefix) + kDataBelowPrefix;
}

}  // namespace posixdir
