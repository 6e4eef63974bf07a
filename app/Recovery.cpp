// The session's life in the state folder. The session folder is made only
// when there is something to keep (the first change, or a save or load), so
// an editor that only looks at maps leaves no trace. Every file that
// replaces another goes through plat::ReplaceFileContent; the journal's
// header names the base it belongs to and is replaced in one step, so at
// every moment the session folder holds a consistent base and journal.
#include "app/Recovery.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <utility>

#include "app/MapFile.h"
#include "app/RecoveryJournal.h"
#include "platform/Platform.h"
#include "platform/PlatformFiles.h"
#include "terrain/EditHistory.h"
#include "terrain/TerrainModel.h"

namespace {

const char* const kSessionPrefix = "session-";
const char* const kLockName = "lock";
const char* const kJournalName = "journal";
const char* const kNoteName = "recovered";
const char* const kBasePrefix = "base-";
const char* const kRecoveredPrefix = "Wiederhergestellt ";
const char* const kMapSuffix = ".map";
const char* const kWriteFailed = "Die Wiederherstellungsdaten k\xC3\xB6nnen nicht geschrieben werden.";
// The note is one path; anything longer is no note of ours.
const size_t kMaxNoteBytes = 1 << 16;

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool Exists(const std::string& path) {
    plat::FileIdentity identity;
    return plat::GetFileIdentity(path, &identity) || plat::IsFolder(path);
}

bool WriteBytes(std::FILE* file, const void* user) {
    const std::vector<uint8_t>& bytes = *static_cast<const std::vector<uint8_t>*>(user);
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    return plat::ReplaceFileContent(path.c_str(), &WriteBytes, &bytes, true);
}

std::string ReadNote(const std::string& path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        plat::OpenRegularFile(path.c_str(), "rb", nullptr), &std::fclose);
    if (!file) return std::string();
    std::string text(kMaxNoteBytes, '\0');
    const size_t got = std::fread(&text[0], 1, text.size(), file.get());
    text.resize(got < kMaxNoteBytes ? got : 0);
    return text;
}

// The absolute form of a path, so that a journal still names the file when
// the working folder has changed; the path as given where that fails.
std::string Absolute(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::u8path(path), error);
    return error ? path : absolute.u8string();
}

// Every entry of a session folder but its lock, then the lock, then the
// folder. The lock goes last so no other editor takes the folder for ended
// while it still holds data.
void RemoveSessionFolder(const std::string& session, plat::FileLock lock) {
    for (const std::string& name : plat::ListFolder(session))
        if (name != kLockName) plat::RemoveFile(session + name);
    plat::ReleaseLock(lock);
    plat::RemoveFile(session + kLockName);
    plat::RemoveFolder(session);
}

}  // namespace

RecoveryKeeper::RecoveryKeeper(const std::string& folder, uint64_t compactBytes)
    : folder_(folder), compactBytes_(compactBytes) {}

RecoveryKeeper::~RecoveryKeeper() {
    plat::CloseAppend(journal_);
    plat::ReleaseLock(lock_);
}

void RecoveryKeeper::Failed() {
    if (failed_) return;
    failed_ = true;
    plat::MessageBox(nullptr, kWriteFailed, "Fehler", plat::MB_ICONEXCLAMATION);
}

bool RecoveryKeeper::Begin() {
    if (!session_.empty()) return true;
    if (folder_.empty()) return false;
    if (plat::MakeFolders(folder_)) session_ = plat::MakeUniqueFolder(folder_, kSessionPrefix);
    if (!session_.empty()) lock_ = plat::CreateLock(session_ + kLockName);
    if (lock_ == nullptr) {
        if (!session_.empty()) plat::RemoveFolder(session_);
        session_.clear();
        Failed();
        return false;
    }
    return true;
}

void RecoveryKeeper::Collect(void* user, const GridChange& change) {
    RecoveryKeeper& keeper = *static_cast<RecoveryKeeper*>(user);
    keeper.gridChanged_ = true;
    if (keeper.journal_ != nullptr && change.gridWidth == keeper.width_ &&
        change.gridHeight == keeper.height_) {
        AppendJournalChange(change, &keeper.pending_);
    } else {
        // No journal to add to: the next Flush writes the grid whole.
        plat::CloseAppend(keeper.journal_);
        keeper.journal_ = nullptr;
        keeper.pending_.clear();
    }
}

bool RecoveryKeeper::StartJournal(const JournalHeader& header) {
    const std::string path = session_ + kJournalName;
    plat::CloseAppend(journal_);
    journal_ = nullptr;
    if (!WriteFile(path, EncodeJournalHeader(header))) return false;
    journal_ = plat::OpenAppend(path);
    journalBytes_ = 0;
    width_ = header.width;
    height_ = header.height;
    if (journal_ != nullptr) RemoveOldBases(header.snapshotName);
    return journal_ != nullptr;
}

void RecoveryKeeper::RemoveOldBases(const std::string& keep) {
    for (const std::string& name : plat::ListFolder(session_))
        if (StartsWith(name, kBasePrefix) && name != keep) plat::RemoveFile(session_ + name);
}

bool RecoveryKeeper::WriteSnapshotBase(const TerrainModel& terrain, bool unsaved) {
    JournalHeader header;
    header.width = terrain.width;
    header.height = terrain.height;
    header.unsaved = unsaved;
    header.snapshotName = kBasePrefix + std::to_string(++baseNumber_) + kMapSuffix;
    const std::string path = session_ + header.snapshotName;
    return WriteMapFile(path.c_str(), terrain, true) &&
           plat::GetFileIdentity(path, &header.base) && StartJournal(header);
}

void RecoveryKeeper::Rebase(const TerrainModel& terrain, const std::string& path) {
    pending_.clear();
    gridChanged_ = false;
    plat::CloseAppend(journal_);
    journal_ = nullptr;
    if (!Begin()) return;
    JournalHeader header;
    header.width = terrain.width;
    header.height = terrain.height;
    header.originalPath = Absolute(path);
    // Without the file's identity the next change writes the grid whole;
    // until then the map is saved, and the old journal tells of nothing.
    if (!plat::GetFileIdentity(path, &header.base)) {
        plat::RemoveFile(session_ + kJournalName);
        return;
    }
    // A second name for the file keeps its content even when the user's
    // name is later replaced by another map.
    header.snapshotName = kBasePrefix + std::to_string(++baseNumber_) + kMapSuffix;
    if (!plat::LinkFile(path, session_ + header.snapshotName)) header.snapshotName.clear();
    if (!StartJournal(header)) Failed();
}

void RecoveryKeeper::Flush(const TerrainModel& terrain, bool unsaved) {
    if (!gridChanged_) return;
    gridChanged_ = false;
    if (!Begin()) {
        pending_.clear();
        return;
    }
    AppendJournalState(unsaved, &pending_);
    journalBytes_ += pending_.size();
    const uint64_t gridBytes = (uint64_t(terrain.width) + 1) * (uint64_t(terrain.height) + 1) *
                               uint64_t(kMapRecordBytes);
    const bool compact =
        journalBytes_ > compactBytes_ && journalBytes_ > 2 * gridBytes;
    const bool ok = journal_ != nullptr && !compact
                        ? plat::Append(journal_, pending_.data(), pending_.size(), true)
                        : WriteSnapshotBase(terrain, unsaved);
    pending_.clear();
    if (ok) return;
    // The journal lacks this change now: it is given up, and the next
    // change writes the grid whole.
    plat::CloseAppend(journal_);
    journal_ = nullptr;
    Failed();
}

void RecoveryKeeper::Finish(const TerrainModel& terrain, bool unsaved) {
    if (!unsaved) {
        RemoveSession();
        return;
    }
    if (folder_.empty() || !Begin()) return;
    const std::string path = NewRecoveredPath(int64_t(std::time(nullptr)));
    if (!WriteMapFile(path.c_str(), terrain, true) ||
        !WriteFile(session_ + kNoteName, std::vector<uint8_t>(path.begin(), path.end()))) {
        // The next start rebuilds the map from the journal instead.
        Flush(terrain, unsaved);
        Failed();
        return;
    }
    recovered_ = path;
    plat::CloseAppend(journal_);
    journal_ = nullptr;
    for (const std::string& name : plat::ListFolder(session_))
        if (name != kLockName && name != kNoteName) plat::RemoveFile(session_ + name);
    PruneRecoveredMaps();
}

void RecoveryKeeper::RemoveSession() {
    if (session_.empty()) return;
    plat::CloseAppend(journal_);
    journal_ = nullptr;
    RemoveSessionFolder(session_, lock_);
    lock_ = nullptr;
    session_.clear();
}

std::string RecoveryKeeper::NewRecoveredPath(int64_t secondsSince1970) const {
    const std::time_t when = std::time_t(secondsSince1970);
    char stamp[32] = "";
    if (const std::tm* local = std::localtime(&when))
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H-%M", local);
    const std::string stem = folder_ + kRecoveredPrefix + stamp;
    std::string path = stem + kMapSuffix;
    for (int n = 2; Exists(path); ++n) path = stem + " (" + std::to_string(n) + ")" + kMapSuffix;
    return path;
}

void RecoveryKeeper::PruneRecoveredMaps() const {
    std::vector<std::pair<int64_t, std::string>> maps;
    for (const std::string& name : plat::ListFolder(folder_)) {
        plat::FileIdentity identity;
        if (StartsWith(name, kRecoveredPrefix) && EndsWith(name, kMapSuffix) &&
            plat::GetFileIdentity(folder_ + name, &identity))
            maps.emplace_back(identity.modified, folder_ + name);
    }
    std::sort(maps.begin(), maps.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    for (size_t i = kKeptRecoveredMaps; i < maps.size(); ++i) plat::RemoveFile(maps[i].second);
}

std::vector<std::string> RecoveryKeeper::RecoverEnded() {
    std::vector<std::string> recovered;
    if (folder_.empty()) return recovered;
    const char separator = folder_.back();
    for (const std::string& name : plat::ListFolder(folder_)) {
        const std::string session = folder_ + name + separator;
        if (!StartsWith(name, kSessionPrefix) || session == session_ || !plat::IsFolder(session))
            continue;
        // A lock that can be taken belongs to an editor that has ended.
        const plat::FileLock lock = plat::TryLock(session + kLockName);
        if (lock == nullptr) continue;
        std::string path = ReadNote(session + kNoteName);
        plat::FileIdentity journal;
        if (path.empty() && plat::GetFileIdentity(session + kJournalName, &journal)) {
            TerrainModel grid(nullptr, 0, 0);
            std::string reason;
            bool unsaved = false;
            if (RebuildFromJournal(session + kJournalName, session, grid, &unsaved, &reason) &&
                unsaved) {
                path = NewRecoveredPath(journal.modified / plat::kNanosecondsPerSecond);
                if (!WriteMapFile(path.c_str(), grid, true)) {
                    // Kept for the next start, which may find room to write.
                    plat::ReleaseLock(lock);
                    continue;
                }
            }
        }
        if (!path.empty() && Exists(path)) recovered.push_back(path);
        RemoveSessionFolder(session, lock);
    }
    PruneRecoveredMaps();
    recovered.erase(std::remove_if(recovered.begin(), recovered.end(),
                                   [](const std::string& p) { return !Exists(p); }),
                    recovered.end());
    return recovered;
}
