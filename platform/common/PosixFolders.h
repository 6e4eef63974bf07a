// Folder facts shared by the two POSIX backends (the desktop and the
// headless one): the program's own file, the user's home folder and the
// installed data folder.
//
// Conventions: paths are absolute, UTF-8; a folder path ends with its '/',
// as everywhere in the platform layer (PlatformStore.h); an empty string
// means "not known".
#pragma once

#include <string>

namespace posixdir {

// The running program's file as the kernel names it (/proc/self/exe).
std::string ExecutablePath();
// The folder that holds a file or folder: everything up to and including
// the '/' before its last name, "/" for the root itself, empty for a path
// without a '/'.
std::string FolderOf(const std::string& path);
// The folder path with its '/' (nothing added to an empty one).
std::string WithSeparator(std::string folder);
// $HOME when it is an absolute path, else the home folder of the user's
// entry in the password database.
std::string HomeFolder();
// <folder of the program's folder>/share/terrain-editor/: the data folder
// of a program installed as <prefix>/bin/<program>.
std::string InstalledDataFolder(const std::string& programFile);

}  // namespace posixdir
