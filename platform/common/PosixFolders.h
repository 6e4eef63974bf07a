// Folder facts shared by the two POSIX backends (the desktop and the
// headless one): the program's own file, the user's home folder and the
// installed data folder.
//
// Conventions: paths are absolute, UTF-8, without a trailing '/' (except
// the root "/"); an empty string means "not known".
#pragma once

#include <string>

namespace posixdir {

// The running program's file as the kernel names it (/proc/self/exe).
std::string ExecutablePath();
// The folder that holds a file: everything before its last '/', "/" for a
// file at the root, empty for a path without a '/'.
std::string FolderOf(const std::string& path);
// $HOME when it is an absolute path, else the home folder of the user's
// entry in the password database.
std::string HomeFolder();
// <folder of the program's folder>/share/terrain-editor: the data folder of
// a program installed as <prefix>/bin/<program>.
std::string InstalledDataFolder(const std::string& programFile);

}  // namespace posixdir
