// The folders of the user's own that the desktop backend names: the state
// folder after the XDG base directory rules (an XDG_STATE_HOME that is not
// an absolute path is ignored, as those rules ask).
#include <cstdlib>
#include <string>

#include "platform/Platform.h"

namespace plat {

const char* StateFolder() {
    static std::string folder;
    if (folder.empty()) {
        const char* state = std::getenv("XDG_STATE_HOME");
        const char* home = std::getenv("HOME");
        if (state != nullptr && state[0] == '/') {
            folder = state;
        } else if (home != nullptr && home[0] == '/') {
            folder = std::string(home) + "/.local/state";
        } else {
            return nullptr;
        }
        if (folder.back() != '/') folder += '/';
        folder += "terrain-editor/";
    }
    return folder.c_str();
}

}  // namespace plat
