// What a start finds of editors that have ended, and the names a session
// folder holds (the layout is in Recovery.h).
//
// Rules of a start, for every session folder whose lock can be taken:
// - a note of a map recovered at a quit: the map is named;
// - a journal that rebuilds: with unsaved work the grid becomes a recovered
//   map; the folder is removed;
// - anything else it holds (a journal that is empty, cut, damaged, missing
//   or no regular file, or a base that is gone or changed) is never
//   removed: the whole folder moves into damaged/ and is named. When the
//   journal's header is unreadable but a base snapshot reads as a whole
//   map, that snapshot is recovered as a map too, without the strokes the
//   journal held. damaged/ keeps its kKeptDamaged newest folders;
// - a session whose map cannot be written, or that cannot be moved, stays
//   as it is and the system's reason is reported, so that every start says
//   so until it can recover it.
// Maps recovered in the same start are never pruned (KeptMaps.h).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/PlatformStore.h"

namespace session {
inline constexpr char kPrefix[] = "session-";
inline constexpr char kLockName[] = "lock";
inline constexpr char kJournalName[] = "journal";
inline constexpr char kNoteName[] = "recovered";
inline constexpr char kBasePrefix[] = "base-";
inline constexpr char kRecoveredPrefix[] = "Wiederhergestellt ";
inline constexpr char kDamagedFolder[] = "damaged";
inline constexpr size_t kKeptDamaged = 10;

// The note of a map recovered at a quit: its path, a NUL, the path of the
// map it came from (empty for a new map).
std::vector<uint8_t> EncodeNote(const std::string& path, const std::string& origin);
// Every entry of a session folder but its lock, then the lock, then the
// folder.
void RemoveFolder(const std::string& session, plat::FileLock lock);
}  // namespace session

struct RecoveredMap {
    std::string path;
    std::string origin;           // the map it came from, empty for a new map
    bool strokesMissing = false;  // a base whose journal was damaged
};

struct RecoveryReport {
    std::vector<RecoveredMap> maps;    // newest first
    std::vector<std::string> damaged;  // session folders moved into damaged/
    std::string failure;               // the system's reason a session stayed, else empty
};

// Applies the rules above to every session folder of stateFolder (with its
// separator) but ownSession.
RecoveryReport RecoverEndedSessions(const std::string& stateFolder, const std::string& ownSession);

// The system's text for an errno value.
std::string SystemReason(int code);
