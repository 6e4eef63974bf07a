// Where the open and save dialogs start: where the user works.
//
// In this order: the folder of the map last loaded or saved, remembered
// across runs in the state folder (while it still exists); else, when the
// program runs from a folder that holds its texture pack (a build folder,
// the unpacked Windows zip: maps are kept beside the program there), the
// program's own path; else the user's own folder (home, or Documents on
// Windows); else the program's path.
//
// Conventions: paths are UTF-8; a state folder ends with its separator and
// may be null (the system names none: nothing is remembered). The folder is
// kept as the whole content of the state folder's file kDialogFolderFile,
// replaced with plat::ReplaceFileContent, so a crash leaves the old or the
// new name, never a part of one.
#pragma once

#include <string>

constexpr const char* kDialogFolderFile = "dialog-folder";

// The path a dialog starts at (a folder, or the program's file).
std::string DialogStartPath(const char* stateFolder);

// Remembers the folder that holds mapPath for the dialogs of this and later
// runs. False when it could not be written (the dialogs then start as
// before; nothing else depends on it).
bool RememberMapFolder(const char* stateFolder, const std::string& mapPath);
