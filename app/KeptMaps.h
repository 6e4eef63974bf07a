// Maps the editor keeps in its state folder (plat::StateFolder) for the
// user: maps recovered from unsaved work, and the maps a save replaced.
// Both are plain .map files named by the time they were kept, in the folder
// the load dialog lists among its places, so that either loads like any
// other map. Of each kind the kKeptMaps newest stay; older ones are removed
// when a new one is kept, never one kept in the same start.
//
//   Wiederhergestellt YYYY-MM-DD HH-MM.map   recovered (Recovery.h)
//   Ersetzt YYYY-MM-DD HH-MM NAME.map        the map NAME.map as it was
//                                            before a save replaced it
// A name that is taken gets " (2)", " (3)" ... before ".map".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TerrainModel;

constexpr size_t kKeptMaps = 10;

// A free path folder + prefix + "YYYY-MM-DD HH-MM" (local time) + tail +
// ".map".
std::string NewDatedMapPath(const std::string& folder, const std::string& prefix,
                            const std::string& tail, int64_t secondsSince1970);
// Removes the maps of folder whose names start with prefix and end in .map,
// but for the kKeptMaps last written and those named in spared.
void PruneDatedMaps(const std::string& folder, const std::string& prefix,
                    const std::vector<std::string>& spared);

// Writes the grid to path as WriteMapFile does; an existing map there is
// first kept in stateFolder (a hard link where the file system allows, else
// a copy). A keep that fails does not stop the save; a save that fails
// takes its keep back. Null stateFolder: nothing is kept.
bool SaveKeepingReplaced(const char* stateFolder, const char* path, const TerrainModel& terrain);
