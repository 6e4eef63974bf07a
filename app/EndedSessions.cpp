// A session is taken apart only while its lock is held, so no other start
// works on it at the same time; the lock is let go before the folder is
// moved, as Windows moves no folder that holds an open file.
#include "app/EndedSessions.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>

#include "app/KeptMaps.h"
#include "app/MapFile.h"
#include "app/RecoveryJournal.h"
#include "platform/PlatformFiles.h"
#include "terrain/TerrainModel.h"

namespace {

// The note is two paths; anything longer is no note of ours.
const size_t kMaxNoteBytes = 1 << 17;

bool Exists(const std::string& path) {
    plat::FileIdentity identity;
    return plat::GetFileIdentity(path, &identity) || plat::IsFolder(path);
}

std::string ReadNote(const std::string& path, std::string* origin) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        plat::OpenRegularFile(path.c_str(), "rb", nullptr), &std::fclose);
    if (!file) return std::string();
    std::string text(kMaxNoteBytes, '\0');
    const size_t got = std::fread(&text[0], 1, text.size(), file.get());
    text.resize(got < kMaxNoteBytes ? got : 0);
    const size_t end = text.find('\0');
    if (end != std::string::npos) *origin = text.substr(end + 1);
    return text.substr(0, end);
}

// The newest snapshot of the session that reads as a whole map, read into
// grid; its time last written in seconds.
bool LoadWholeSnapshot(const std::string& session, TerrainModel& grid, int64_t* when) {
    std::vector<std::pair<unsigned long, std::string>> snapshots;
    const size_t prefix = std::strlen(session::kBasePrefix);
    for (const std::string& name : plat::ListFolder(session))
        if (name.compare(0, prefix, session::kBasePrefix) == 0)
            snapshots.emplace_back(std::strtoul(name.c_str() + prefix, nullptr, 10), name);
    std::sort(snapshots.rbegin(), snapshots.rend());
    for (const auto& snapshot : snapshots) {
        const std::string path = session + snapshot.second;
        plat::FileIdentity identity;
        if (plat::GetFileIdentity(path, &identity) && ReadMapFile(path.c_str(), grid) &&
            identity.size == MapFileBytes(grid.width, grid.height)) {
            *when = identity.modified / plat::kNanosecondsPerSecond;
            return true;
        }
    }
    return false;
}

std::string Stamp(const char* format) {
    const std::time_t now = std::time(nullptr);
    char stamp[32] = "";
    if (const std::tm* local = std::localtime(&now))
        std::strftime(stamp, sizeof stamp, format, local);
    return stamp;
}

// Moves the session folder name into damaged/: its new path (with
// separator), or empty with the system's reason.
std::string MoveToDamaged(const std::string& stateFolder, const std::string& name,
                          std::string* reason) {
    const char separator = stateFolder.back();
    const std::string damaged = stateFolder + session::kDamagedFolder + separator;
    const std::string stem = damaged + Stamp("%Y-%m-%d %H-%M-%S ") + name;
    std::string target = stem;
    for (int n = 2; Exists(target); ++n) target = stem + " (" + std::to_string(n) + ")";
    std::error_code error;
    if (!plat::MakeFolders(damaged)) {
        *reason = SystemReason(errno);
        return std::string();
    }
    std::filesystem::rename(std::filesystem::u8path(stateFolder + name),
                            std::filesystem::u8path(target), error);
    if (error) {
        *reason = error.message();
        return std::string();
    }
    return target + separator;
}

void PruneDamaged(const std::string& stateFolder, const std::vector<std::string>& spared) {
    const std::string damaged = stateFolder + session::kDamagedFolder + stateFolder.back();
    std::vector<std::string> names = plat::ListFolder(damaged);
    std::sort(names.rbegin(), names.rend());  // newest first: the names start with the time
    for (size_t i = session::kKeptDamaged; i < names.size(); ++i) {
        if (std::find(spared.begin(), spared.end(), damaged + names[i] + stateFolder.back()) !=
            spared.end())
            continue;
        std::error_code error;
        std::filesystem::remove_all(std::filesystem::u8path(damaged + names[i]), error);
    }
}

std::string NewRecoveredPath(const std::string& stateFolder, int64_t when) {
    return NewDatedMapPath(stateFolder, session::kRecoveredPrefix, "", when);
}

// Applies the rules to one ended session whose lock is held.
void RecoverSession(const std::string& stateFolder, const std::string& name, plat::FileLock lock,
                    RecoveryReport* report) {
    const std::string folder = stateFolder + name + stateFolder.back();
    std::string origin;
    const std::string noted = ReadNote(folder + session::kNoteName, &origin);
    std::vector<std::string> entries = plat::ListFolder(folder);
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [](const std::string& entry) {
                                     return entry == session::kLockName ||
                                            entry == session::kNoteName;
                                 }),
                  entries.end());
    if (!noted.empty() || entries.empty()) {
        if (Exists(noted)) report->maps.push_back({noted, origin, false});
        session::RemoveFolder(folder, lock);
        return;
    }
    TerrainModel grid(nullptr, 0, 0);
    const std::string journal = folder + session::kJournalName;
    const JournalRead read = ReadJournal(journal, folder, grid);
    RecoveredMap map;
    int64_t when = std::time(nullptr);
    plat::FileIdentity identity;
    if (plat::GetFileIdentity(journal, &identity)) when = identity.modified / plat::kNanosecondsPerSecond;
    if (read.rebuilt && !read.unsaved) {
        session::RemoveFolder(folder, lock);
        return;
    }
    const bool fromBase =
        !read.rebuilt && !read.headerRead && LoadWholeSnapshot(folder, grid, &when);
    if (read.rebuilt || fromBase) {
        map = {NewRecoveredPath(stateFolder, when), fromBase ? std::string() : read.mapPath,
               fromBase};
        if (!WriteMapFile(map.path.c_str(), grid, true)) {
            // Kept for the next start, which may find room to write.
            report->failure = SystemReason(errno);
            plat::ReleaseLock(lock);
            return;
        }
    }
    if (read.rebuilt) {
        report->maps.push_back(map);
        session::RemoveFolder(folder, lock);
        return;
    }
    plat::ReleaseLock(lock);
    const std::string moved = MoveToDamaged(stateFolder, name, &report->failure);
    if (moved.empty()) {
        // Left in place, as it was: the next start tries again.
        if (fromBase) plat::RemoveFile(map.path);
        return;
    }
    report->damaged.push_back(moved);
    if (fromBase) report->maps.push_back(map);
}

}  // namespace

namespace session {

std::vector<uint8_t> EncodeNote(const std::string& path, const std::string& origin) {
    std::vector<uint8_t> note(path.begin(), path.end());
    note.push_back(0);
    note.insert(note.end(), origin.begin(), origin.end());
    return note;
}

void RemoveFolder(const std::string& folder, plat::FileLock lock) {
    // The lock goes last so no other editor takes the folder for ended
    // while it still holds data.
    for (const std::string& name : plat::ListFolder(folder))
        if (name != kLockName) plat::RemoveFile(folder + name);
    plat::ReleaseLock(lock);
    plat::RemoveFile(folder + kLockName);
    plat::RemoveFolder(folder);
}

}  // namespace session

RecoveryReport RecoverEndedSessions(const std::string& stateFolder, const std::string& ownSession) {
    RecoveryReport report;
    if (stateFolder.empty()) return report;
    for (const std::string& name : plat::ListFolder(stateFolder)) {
        const std::string folder = stateFolder + name + stateFolder.back();
        if (name.compare(0, std::strlen(session::kPrefix), session::kPrefix) != 0 ||
            folder == ownSession || !plat::IsFolder(folder))
            continue;
        // A lock that can be taken belongs to an editor that has ended.
        if (const plat::FileLock lock = plat::TryLock(folder + session::kLockName))
            RecoverSession(stateFolder, name, lock, &report);
    }
    std::vector<std::string> spared;
    for (const RecoveredMap& map : report.maps) spared.push_back(map.path);
    PruneDatedMaps(stateFolder, session::kRecoveredPrefix, spared);
    PruneDamaged(stateFolder, report.damaged);
    // Newest first, by the time each map was last written.
    std::vector<std::pair<int64_t, RecoveredMap>> dated;
    for (const RecoveredMap& map : report.maps) {
        plat::FileIdentity identity;
        if (plat::GetFileIdentity(map.path, &identity)) dated.emplace_back(identity.modified, map);
    }
    std::stable_sort(dated.begin(), dated.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    report.maps.clear();
    for (const auto& entry : dated) report.maps.push_back(entry.second);
    return report;
}

std::string SystemReason(int code) {
    return code != 0 ? std::strerror(code) : "unbekannte Ursache";
}
