// The open and save file dialogs, shown over the fullscreen window.
//
// While a dialog is open the editor's own pointer picture is not drawn, so
// the system pointer is shown for its duration. Button releases that happen
// inside the dialog never reach the editor's window, so both button levels
// are cleared afterwards: no button reads as held when editing goes on.
// The keys of the Ctrl shortcuts (Ctrl, Shift, S, O) are cleared likewise;
// other keys keep their flags.
//
// A dialog starts where the user works (gl/DialogFolder.h).
#include "gl/OpenGLFullscreen.h"

#include <initializer_list>
#include <string>

#include "gl/DialogFolder.h"

namespace {

using DialogFunction = char* (*)(const char*, const char*, const char*, const char*);

char* RunDialog(OpenGLFullscreen& self, DialogFunction dialog, const char* title,
                const char* defaultExtension, const char* filter) {
    const std::string start = DialogStartPath(plat::StateFolder());
    plat::ShowCursor(true);
    char* path = dialog(title, defaultExtension, filter, start.c_str());
    plat::ShowCursor(false);
    self.leftButton = 0;
    self.rightButton = 0;
    // The same holds for the keys of the Ctrl+S and Ctrl+O shortcuts that
    // open the dialogs: a Ctrl left set would turn a later plain Z into an
    // undo, and an S or O left set would swallow the next press of it.
    for (unsigned key : {plat::VK_CONTROL, plat::VK_SHIFT, unsigned('S'), unsigned('O')})
        self.keys[key] = false;
    plat::SetForegroundWindow(self.window);
    plat::SetFocus(self.window);
    return path;
}

}  // namespace

char* OpenGLFullscreen::OpenFileDialog(const char* title, const char* defaultExtension,
                                       const char* filter) {
    return RunDialog(*this, &plat::OpenFileDialog, title, defaultExtension, filter);
}

char* OpenGLFullscreen::SaveFileDialog(const char* title, const char* defaultExtension,
                                       const char* filter) {
    return RunDialog(*this, &plat::SaveFileDialog, title, defaultExtension, filter);
}
