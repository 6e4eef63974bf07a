// The recovery journal: a base map and the changes made to it since, as the
// editor appends them, so that the map on screen can be rebuilt exactly
// after the editor ended in any way.
//
// File layout (all integers little-endian):
//   header   "TEJ2", int32 width, int32 height of the grid, uint32 1 when
//            the base differs from the map last saved or loaded (0 when it
//            is that map);
//            the snapshot: a uint32 byte length and that many bytes of
//            UTF-8 name of a file inside the session folder (may be empty),
//            uint64 its size in bytes, uint64 checksum of its bytes;
//            the map file: a uint32 byte length and that many bytes of
//            UTF-8 absolute path of the map last saved or loaded (empty for
//            a new map), uint32 1 when that file is itself a base, and its
//            identity: uint64 size, int64 time last written (ns since
//            1970), uint64 file, uint64 volume;
//            uint64 checksum of all of the above.
//   change   "TEC1", uint32 count, count entries of a uint32 vertex index
//            (column-major, x * (height + 1) + y) and the vertex's 68-byte
//            map record, then a uint64 checksum of the change so far.
//   state    "TES1", uint32 1 when the grid now differs from the map last
//            saved or loaded, else 0, uint64 checksum; after the changes of
//            each write.
// The base is the snapshot when its bytes still have the recorded size and
// checksum (a file of the session's own, a copy or a hard link, checked by
// content so that a state folder copied, restored or moved elsewhere still
// recovers), else the map file when it is a base and still has the
// recorded identity (the user's file, which another program may replace);
// it is read as a .map file. Changes hold the records a step left in the
// grid, so applying them in order gives back the grid after the last one;
// the last state tells whether that grid was unsaved work. A record cut
// short by a crash, one whose checksum fails, or a change that would put a
// height that is not a finite number into the grid, ends the journal:
// everything before it stands.
// Checksums are 64-bit FNV-1a; a snapshot's is taken over eight FNV-1a
// sums, sum k of the bytes at offsets k, k + 8, k + 16 ..., as their 64
// little-endian bytes.
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
    uint64_t snapshotSize = 0, snapshotSum = 0;
    std::string originalPath;  // the map last saved or loaded, or empty
    bool originalIsBase = false;
    plat::FileIdentity base;  // the identity of originalPath
};

// What reading a journal found: whether its header was whole, whether the
// grid was rebuilt, the last state, the map file it names, and the reason
// when it was not rebuilt.
struct JournalRead {
    bool headerRead = false;
    bool rebuilt = false;
    bool unsaved = false;
    std::string mapPath;
    std::string reason;
};

// The bytes of a header, of one change and of a state.
std::vector<uint8_t> EncodeJournalHeader(const JournalHeader& header);
void AppendJournalChange(const GridChange& change, std::vector<uint8_t>* out);
void AppendJournalState(bool unsaved, std::vector<uint8_t>* out);

// Size and checksum of a file's bytes, read as a stream; false when it is no
// regular file, cannot be read, or is longer than limit bytes.
bool FileChecksum(const std::string& path, uint64_t limit, uint64_t* size, uint64_t* sum);
// Bytes of a map file of the grid's size.
uint64_t MapFileBytes(int32_t width, int32_t height);

// Rebuilds the grid a journal describes into terrain: the base (see above),
// then every whole change in order.
JournalRead ReadJournal(const std::string& journalPath, const std::string& sessionFolder,
                        TerrainModel& terrain);
// The same, true when rebuilt; *unsaved is the last state.
bool RebuildFromJournal(const std::string& journalPath, const std::string& sessionFolder,
                        TerrainModel& terrain, bool* unsaved, std::string* reason);
