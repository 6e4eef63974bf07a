// The session's life in the state folder. The session folder is made only
// when there is something to keep (the first change, or a save or load), so
// an editor that only looks at maps leaves no trace. Every file that
// replaces another goes through plat::ReplaceFileContent; the journal's
// header names the base it belongs to and is replaced in one step, so at
// every moment the session folder holds a consistent base and journal.
#include "app/Recovery.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "app/MapFile.h"
#include "app/RecoveryJournal.h"
#include "platform/Platform.h"
#include "platform/PlatformFiles.h"
#include "terrain/EditHistory.h"
#include "terrain/TerrainModel.h"

namespace {

const char* const kMapSuffix = ".map";
const char* const kWriteFailed =
    "Die Wiederherstellungsdaten k\xC3\xB6nnen nicht geschrieben werden.";

bool WriteBytes(std::FILE* file, const void* user) {
    const std::vector<uint8_t>& bytes = *static_cast<const std::vector<uint8_t>*>(user);
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    return plat::ReplaceFileContent(path.c_str(), &WriteBytes, &bytes, true);
}

// The absolute form of a path, so that a journal still names the file when
// the working folder has changed; the path as given where that fails.
std::string Absolute(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::u8path(path), error);
    return error ? path : absolute.u8string();
}

}  // namespace

RecoveryKeeper::RecoveryKeeper(const std::string& folder, uint64_t compactBytes)
    : folder_(folder), compactBytes_(compactBytes) {}

RecoveryKeeper::~RecoveryKeeper() {
    plat::CloseAppend(journal_);
    plat::ReleaseLock(lock_);
}

void RecoveryKeeper::Failed(int code, bool tell) {
    reason_ = SystemReason(code);
    if (failed_) return;
    failed_ = true;
    if (tell) plat::MessageBox(nullptr, kWriteFailed, "Fehler", plat::MB_ICONEXCLAMATION);
}

bool RecoveryKeeper::Begin() {
    if (!session_.empty()) return true;
    if (folder_.empty()) return false;
    if (plat::MakeFolders(folder_)) session_ = plat::MakeUniqueFolder(folder_, session::kPrefix);
    if (!session_.empty()) lock_ = plat::CreateLock(session_ + session::kLockName);
    if (lock_ == nullptr) {
        const int code = errno;
        if (!session_.empty()) plat::RemoveFolder(session_);
        session_.clear();
        Failed(code);
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
    const std::string path = session_ + session::kJournalName;
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
        if (name.rfind(session::kBasePrefix, 0) == 0 && name != keep)
            plat::RemoveFile(session_ + name);
}

bool RecoveryKeeper::WriteSnapshotBase(const TerrainModel& terrain, bool unsaved) {
    JournalHeader header;
    header.width = terrain.width;
    header.height = terrain.height;
    header.unsaved = unsaved;
    header.originalPath = mapPath_;
    header.snapshotName = session::kBasePrefix + std::to_string(++baseNumber_) + kMapSuffix;
    const std::string path = session_ + header.snapshotName;
    return WriteMapFile(path.c_str(), terrain, true) &&
           FileChecksum(path, MapFileBytes(terrain.width, terrain.height), &header.snapshotSize,
                        &header.snapshotSum) &&
           StartJournal(header);
}

void RecoveryKeeper::Rebase(const TerrainModel& terrain, const std::string& path) {
    pending_.clear();
    gridChanged_ = false;
    plat::CloseAppend(journal_);
    journal_ = nullptr;
    mapPath_ = Absolute(path);
    if (!Begin()) return;
    JournalHeader header;
    header.width = terrain.width;
    header.height = terrain.height;
    header.originalPath = mapPath_;
    header.originalIsBase = true;
    // Without the file's identity the next change writes the grid whole;
    // until then the map is saved, and the old journal and bases tell of
    // nothing.
    if (!plat::GetFileIdentity(path, &header.base)) {
        plat::RemoveFile(session_ + session::kJournalName);
        RemoveOldBases(std::string());
        return;
    }
    // A second name for the file keeps its content even when the user's
    // name is later replaced by another map; its bytes are checked by
    // content like a snapshot's.
    header.snapshotName = session::kBasePrefix + std::to_string(++baseNumber_) + kMapSuffix;
    const std::string link = session_ + header.snapshotName;
    if (!plat::LinkFile(path, link) ||
        !FileChecksum(link, MapFileBytes(terrain.width, terrain.height), &header.snapshotSize,
                      &header.snapshotSum))
        header.snapshotName.clear();
    if (!StartJournal(header)) Failed(errno);
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
    const int code = errno;
    pending_.clear();
    if (ok) return;
    // The journal lacks this change now: it is given up, and the next
    // change writes the grid whole.
    plat::CloseAppend(journal_);
    journal_ = nullptr;
    Failed(code);
}

bool RecoveryKeeper::Finish(const TerrainModel& terrain, bool unsaved) {
    if (!unsaved) {
        RemoveSession();
        return true;
    }
    if (folder_.empty()) return true;
    if (!Begin()) return false;
    const std::string path =
        NewDatedMapPath(folder_, session::kRecoveredPrefix, "", int64_t(std::time(nullptr)));
    if (!WriteMapFile(path.c_str(), terrain, true) ||
        !WriteFile(session_ + session::kNoteName, session::EncodeNote(path, mapPath_))) {
        const int code = errno;
        plat::RemoveFile(path);
        // The next start rebuilds the map from the journal where it stands;
        // the caller asks the user to save.
        Flush(terrain, unsaved);
        Failed(code, false);
        return false;
    }
    recovered_ = path;
    plat::CloseAppend(journal_);
    journal_ = nullptr;
    for (const std::string& name : plat::ListFolder(session_))
        if (name != session::kLockName && name != session::kNoteName)
            plat::RemoveFile(session_ + name);
    PruneDatedMaps(folder_, session::kRecoveredPrefix, {path});
    return true;
}

void RecoveryKeeper::RemoveSession() {
    if (session_.empty()) return;
    plat::CloseAppend(journal_);
    journal_ = nullptr;
    session::RemoveFolder(session_, lock_);
    lock_ = nullptr;
    session_.clear();
}

RecoveryReport RecoveryKeeper::RecoverEnded() { return RecoverEndedSessions(folder_, session_); }
