// Keeping the map on screen recoverable, whatever ends the editor.
//
// Layout of the state folder (plat::StateFolder):
//   session-XXXXXX/        one per running editor, its own and locked:
//     lock                 held (plat::CreateLock) while the editor runs
//     journal              base and changes (RecoveryJournal.h)
//     base-N.map           a snapshot of the grid, or a hard link to the
//                          map file the user loaded or saved
//     recovered            after a quit with unsaved work: the path of the
//                          recovered map and of the map it came from, not
//                          yet told to the user
//   Wiederhergestellt YYYY-MM-DD HH-MM.map
//                          recovered maps, the newest kKeptRecoveredMaps kept
//   damaged/YYYY-MM-DD HH-MM-SS session-XXXXXX/
//                          sessions a start could not read, kept as they were
//                          (EndedSessions.h)
//
// While the map is unsaved every finished step is appended to the journal
// and synced at the end of the main-loop pass that finished it, before the
// next frame is drawn; nothing is written while a stroke goes on. A save or
// a load makes the file the new base (linked into the session folder where
// the file system allows, else named by its path and checked by its
// identity); a base in the session folder is checked by its content, so
// the state folder may be copied or moved while no editor runs. Where no
// journal stands (at the first change of the start map, or after a write
// failed) the grid is written whole as the base instead;
// so it is too when the journal has grown past kJournalCompactBytes and
// past twice the grid's own size, which bounds what a long session keeps
// and what the next start must replay.
// A quit with unsaved work writes the recovered map at once; a clean quit
// leaves nothing. At the next start, every session whose lock can be taken
// belongs to an editor that has ended: its journal becomes a recovered map
// when its last state was unsaved work (EndedSessions.h).
//
// Ownership: one RecoveryKeeper per editor run, owned by RunEditor; it
// holds its session's lock until it is destroyed. Failures to write never
// stop the editing: they are told once per session in a message box; a
// quit whose recovered map cannot be written reports it (Finish) so that
// the user can still save.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/EndedSessions.h"
#include "app/KeptMaps.h"
#include "platform/PlatformStore.h"

class TerrainModel;
struct GridChange;
struct JournalHeader;

class RecoveryKeeper {
public:
    static constexpr size_t kKeptRecoveredMaps = kKeptMaps;
    static constexpr uint64_t kJournalCompactBytes = uint64_t(64) << 20;

    // folder: the state folder with its separator; empty keeps nothing.
    // compactBytes: the journal size beyond which the grid is written whole.
    explicit RecoveryKeeper(const std::string& folder,
                            uint64_t compactBytes = kJournalCompactBytes);
    ~RecoveryKeeper();
    RecoveryKeeper(const RecoveryKeeper&) = delete;
    RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;

    // Turns the data of every editor that has ended into recovered maps or
    // moves it aside, and reports the maps (the ones already written at a
    // quit included), the folders moved and what could not be done.
    RecoveryReport RecoverEnded();

    // The history's change sink (user: the keeper): collects the change for
    // the next Flush.
    static void Collect(void* keeper, const GridChange& change);
    // The grid is now the map file at path (it was just saved or loaded).
    void Rebase(const TerrainModel& terrain, const std::string& path);
    // Has every change collected so far on the disk, with whether the grid
    // is now unsaved work; at the end of a pass.
    void Flush(const TerrainModel& terrain, bool unsaved);
    // The editor ends: with unsaved work the grid becomes a recovered map,
    // otherwise the session's data is removed. False when unsaved work
    // could not be written (FailureReason tells why).
    bool Finish(const TerrainModel& terrain, bool unsaved);

    // The recovered map's path after Finish wrote one, else empty.
    const std::string& RecoveredPath() const { return recovered_; }
    // True once a write failed in this session, and the system's reason
    // of the last failure.
    bool HasFailed() const { return failed_; }
    const std::string& FailureReason() const { return reason_; }

private:
    // Opens this editor's own session folder and lock, once. False when it
    // cannot (told once) or when there is no state folder.
    bool Begin();
    bool WriteSnapshotBase(const TerrainModel& terrain, bool unsaved);
    bool StartJournal(const JournalHeader& header);
    void RemoveOldBases(const std::string& keep);
    void Failed(int code, bool tell = true);
    void RemoveSession();

    std::string folder_;   // state folder, empty: keep nothing
    uint64_t compactBytes_;
    std::string session_;  // this editor's session folder, empty until Begin
    plat::FileLock lock_ = nullptr;
    plat::AppendFile journal_ = nullptr;  // null: no journal stands
    int32_t width_ = 0, height_ = 0;      // grid the journal belongs to
    unsigned baseNumber_ = 0;
    uint64_t journalBytes_ = 0;     // changes appended since the base
    std::vector<uint8_t> pending_;  // changes collected since the last Flush
    bool gridChanged_ = false;      // a change arrived that the journal lacks
    bool failed_ = false;
    std::string reason_;
    std::string mapPath_;  // the map last saved or loaded, empty for a new map
    std::string recovered_;
};
