// The folders of the desktop backend: where the program's data lies follows
// from its own file (ProgramPath);
// the user's folder is the home folder; the state folder follows the XDG
// base directory rules (an XDG_STATE_HOME that is not an absolute path is
// ignored, as those rules ask). The names are looked up once.
#include <cstdlib>
#include <string>

#include "platform/Platform.h"
#include "platform/common/PosixFolders.h"

namespace {

std::string StateFolderOf(const std::string& home) {
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string folder;
    if (state != nullptr && state[0] == '/') {
        folder = posixdir::WithSeparator(state);
    } else if (!home.empty() && home[0] == '/') {
        folder = home + ".local/state/";
    } else {
        return std::string();
    }
    return folder + "terrain-editor/";
}

struct Folders {
    std::string user = posixdir::HomeFolder();
    std::string data = posixdir::InstalledDataFolder(plat::ProgramPath());
    std::string state = StateFolderOf(user);
};

const Folders& Known() {
    static const Folders folders;
    return folders;
}

}  // namespace

namespace plat {

const char* UserFolder() { return Known().user.c_str(); }

const char* DataFolder() { return Known().data.c_str(); }

const char* StateFolder() { return Known().state.empty() ? nullptr : Known().state.c_str(); }

}  // namespace plat
