// Program entry: the start dialog runs the editor; the program ends when the
// dialog closes. The editor's own code reports failures where they happen
// and throws nothing; anything thrown from below it (running out of memory)
// is shown in an error box instead of ending the program without a word.
#include <exception>

#include "app/StartFormular.h"
#include "platform/Platform.h"

int main() {
    try {
        return RunStartFormular();
    } catch (const std::exception& error) {
        plat::MessageBox(nullptr, error.what(), "OpenGL", plat::MB_OK | plat::MB_ICONHAND);
    } catch (...) {
        plat::MessageBox(nullptr, "Unbekannter Fehler.", "OpenGL",
                         plat::MB_OK | plat::MB_ICONHAND);
    }
    return 0;
}
