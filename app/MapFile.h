// Map files: the terrain grid on disk, and the two main-loop steps that load
// and save it through the open and save dialogs.
//
// Layout of a .map file (all integers 32-bit little-endian): width, height,
// then the 68-byte TerrainVertex record of every vertex, row by row (y outer,
// 0..height; x inner, 0..width). A record holds exactly the bytes of the
// vertex in memory, padding included; fields are written and read one by one
// in little-endian order, so the file is the same on any machine. No magic,
// version or checksum. A 256 x 256 map is 8 + 68 * 257 * 257 = 4,491,340
// bytes.
//
// Ownership: MapSave and MapLoad work on gWindow and gTerrain; they release
// the path the dialog hands them. Failures never cost the user data; a
// failed save and a refused load are told in a message box: see MapFile.cpp
// for the rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class TerrainModel;
struct TerrainVertex;

// Bytes of one vertex record and of the header.
const size_t kMapRecordBytes = 68;
const size_t kMapHeaderBytes = 8;
// Largest width or height a map file may declare. The editor itself only
// writes 256 x 256; anything beyond this is taken as a damaged or foreign
// file and refused before any memory is reserved for it.
// Fuzz builds lower it (MAP_MAX_CELLS_PER_SIDE) so that every input stays
// quick; the refusal paths are the same.
#ifndef MAP_MAX_CELLS_PER_SIDE
#define MAP_MAX_CELLS_PER_SIDE 4096
#endif
const int32_t kMaxMapCellsPerSide = MAP_MAX_CELLS_PER_SIDE;

// Writes the grid of terrain to path with plat::ReplaceFileContent: the map
// replaces path in one step only once every byte was written (and, with
// syncToDisk, reached the disk), keeping the file's links, permission bits
// and owner; a read-only or non-regular target is refused. On any failure
// path is left as it was, no temporary file remains, and the result is false.
bool WriteMapFile(const char* path, const TerrainModel& terrain, bool syncToDisk = true);

// Loads path into terrain. Returns false, leaving the grid untouched, when
// the file does not open, is not a regular file (never read then), declares a negative size or one beyond
// kMaxMapCellsPerSide, or Resize refuses the size. Otherwise the grid is
// re-created at the declared size, filled from the records the file holds
// (records past the end keep their initial values, a record cut by the end
// is overwritten as far as the file goes), and the result is true. Header
// values the file is too short to hold count as 0.
bool ReadMapFile(const char* path, TerrainModel& terrain);

// One vertex record in its file form (kMapRecordBytes bytes), and back.
void EncodeMapRecord(const TerrainVertex& vertex, uint8_t* out);
void DecodeMapRecord(const uint8_t* in, TerrainVertex& vertex);

// What a load or save step did: done when a map was read or written, path
// then naming the file; not done when the dialog was cancelled or the file
// was refused or could not be written.
struct MapStep {
    bool done = false;
    std::string path;
};

// Main-loop steps for the load (gEditMode 1) and save (gEditMode 2)
// requests: dialog, file, then gEditMode = 0 whatever happened. A step that
// is done marks the grid as saved in gEditHistory (a load also forgets the
// steps) and makes its file the current map.
// A save first keeps the map it replaces in the state folder (KeptMaps.h).
MapStep MapSave();
MapStep MapLoad();
// The load step's file part, for a path chosen without the dialog (gTerrain
// must exist).
MapStep MapLoadPath(const char* path);

// The file of the map on screen: the one last loaded or saved, empty for
// the map the editor started with.
const std::string& CurrentMapPath();
// The map on screen is the editor's start map: no file, nothing to undo,
// saved.
void StartNewMap();
