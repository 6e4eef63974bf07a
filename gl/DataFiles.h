// Where the program's data files are found: every picture and list of the
// texture pack is named by its path below the pack's folder
// ("textures/menue/schrift.bmp", "textures/ground/_ground.txt") and opened
// through DataFilePath, the one place that decides which folder that is, so
// no file of the pack is looked for in a second way.
//
// The pack's folder, in this order: the folder a program names with
// UseDataFolder (mapconvert's --pack); else the working folder when it holds
// a pack (a build folder, the unpacked Windows zip: the layout the editor
// was made for); else the installed data folder plat::DataFolder() when
// that holds one (an installed editor started from the desktop's menu, whose
// working folder is the user's home). When none does, the working folder
// stays the place, so a missing file is missing as before. A folder holds a
// pack when kPackMark lies below it. The choice is made for every file, so
// it follows the working folder as it is at that moment.
#pragma once

#include <string>

// The file that marks a folder as holding a texture pack.
constexpr const char* kPackMark = "textures/ground/_ground.txt";

// True when folder (UTF-8, empty for the working folder) holds a pack.
bool HoldsTexturePack(const std::string& folder);

// The path to open for a data file. A path that is already absolute (or
// names a drive) is returned as it is.
std::string DataFilePath(const std::string& relative);

// Reads the pack from folder from now on; an empty folder goes back to the
// rule above.
void UseDataFolder(const std::string& folder);
