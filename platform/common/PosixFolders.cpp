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
constexpr const char* kDataBelowPrefix = "share/terrain-editor/";

}  // namespace

std::string ExecutablePath() {
    char buffer[PATH_MAX + 1];
    const ssize_t length = readlink("/proc/self/exe", buffer, PATH_MAX);
    return length > 0 ? std::string(buffer, size_t(length)) : std::string();
}

std::string FolderOf(const std::string& path) {
    if (path == "/") return path;
    const size_t end = !path.empty() && path.back() == '/' ? path.size() - 1 : path.size();
    const size_t slash = path.rfind('/', end == 0 ? 0 : end - 1);
    if (slash == std::string::npos) return std::string();
    return path.substr(0, slash + 1);
}

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return WithSeparator(home);
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/')
        return WithSeparator(found->pw_dir);
    return std::string();
}

std::string InstalledDataFolder(const std::string& programFile) {
    const std::string bin = FolderOf(programFile);
    if (bin.empty()) return std::string();
    return FolderOf(bin) + kDataBelowPrefix;
}

}  // namespace posixdir
