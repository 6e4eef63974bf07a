// The folders of the desktop backend: whether the program's folder can be
// written and where its data lies follow from its own file (ProgramPath);
// the user's folder is the home folder. Both names are looked up once.
#include <string>

#include "platform/Platform.h"
#include "platform/common/PosixFolders.h"

namespace {

struct Folders {
    std::string user = posixdir::HomeFolder();
    std::string data = posixdir::InstalledDataFolder(plat::ProgramPath());
};

const Folders& Known() {
    static const Folders folders;
    return folders;
}

}  // namespace

namespace plat {

bool ProgramFolderWritable() { return posixdir::CanWriteIn(posixdir::FolderOf(ProgramPath())); }

const char* UserFolder() { return Known().user.c_str(); }

const char* DataFolder() { return Known().data.c_str(); }

}  // namespace plat
