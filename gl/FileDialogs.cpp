// The open and save file dialogs, shown over the fullscreen window.
//
// While a dialog is open the editor's own pointer picture is not drawn, so
// the system pointer is shown for its duration. Button releases that happen
// inside the dialog never reach the editor's window, so both button levels
// are cleared afterwards: no button reads as held when editing goes on.
#include "gl/OpenGLFullscreen.h"

namespace {

using DialogFunction = char* (*)(const char*, const char*, const char*, const char*);

char* RunDialog(OpenGLFullscreen& self, DialogFunction dialog, const char* title,
                const char* defaultExtension, const char* filter) {
    plat::ShowCursor(true);
    char* path = dialog(title, defaultExtension, filter, plat::ProgramPath());
    plat::ShowCursor(false);
    self.leftButton = 0;
    self.rightButton = 0;
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
