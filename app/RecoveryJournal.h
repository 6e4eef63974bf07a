// The recovery journal: a base map and the changes made to it since, as the
// editor appends them, so that the map on screen can be rebuilt exactly
// after the editor ended in any way.
//
// File layout (all integers little-endian):
//   header   "TEJ1", int32 width, int32 height of the grid, uint32 1 when
//            the base differs from the map last saved or loaded (0 when it
//            is that map); the base as two
//            candidate files, each a uint32 byte length and that many bytes
//            of UTF-8 path (the first a name inside the session folder, the
//            second an absolute path; either may be empty); the base's
//            identity: uint64 size, int64 time last written (ns since 1970),
//            uint64 file, uint64 volume; uint64 checksum of all of the above.
//   change   "TEC1", uint32 count, count entries of a uint32 vertex index
//            (column-major, x * (height + 1) + y) and the vertex's 68-byte
//            map record, then a uint64 checksum of the change so far.
//   state    "TES1", uint32 1 when the grid now differs from the map last
//            saved or loaded, else 0, uint64 checksum; after the changes of
//            each write.
// The base is the first candidate whose file still has the recorded
// identity (a hard link or snapshot kept in the session folder, else the
// map file the user loaded or saved); it is read as a .map file. Changes
// hold the records a step left in the grid, so applying them in order gives
// back the grid after the last one; the last state tells whether that grid
// was unsaved work. A record cut short by a crash, or one whose checksum
// fails, ends the journal: everything before it stands.
// Checksums are 64-bit FNV-1a.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/PlatformStore.h"

class TerrainModel;
struct GridChange;

struct JournalHeader {
    int32_t width = 0, height = 0;
    bool unsaved = false;
    std::string snapshotName;  // file inside the session folder, or empty
    std::string originalPath;  // the user's map file, or empty
    plat::FileIdentity base;
};

// The bytes of a header, of one change and of a state.
std::vector<uint8_t> EncodeJournalHeader(const JournalHeader& header);
void AppendJournalChange(const GridChange& change, std::vector<uint8_t>* out);
void AppendJournalState(bool unsaved, std::vector<uint8_t>* out);

// Rebuilds the grid a journal describes into terrain: the base read from the
// first candidate with the recorded identity, then every whole change in
// order; *unsaved is the last state. False (with the reason) when the
// journal cannot be read, its header is damaged, or no base candidate is
// the recorded file.
bool RebuildFromJournal(const std::string& journalPath, const std::string& sessionFolder,
                        TerrainModel& terrain, bool* unsaved, std::string* reason);
