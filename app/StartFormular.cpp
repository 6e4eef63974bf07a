// The start dialog `MainForm`. Its layout is fixed (pixels at 96 dpi): client
// area 115 x 109, a disabled radio group showing the three resolutions with
// the third selected, and the Start button. Because the group is disabled,
// every run uses 1280 x 1024; the mapping still covers all three items.
#include "app/StartFormular.h"

#include "app/Editor.h"
#include "platform/Platform.h"

namespace {

const char* const kResolutions[] = {"800 x 600", "1024 x 768", "1280 x 1024"};

}  // namespace

plat::FormDescription MainFormDescription() {
    plat::FormDescription form;
    form.caption = "OpenGL";
    form.clientWidth = 115;
    form.clientHeight = 109;
    form.groupCaption = "Auflösung:";
    form.items = kResolutions;
    form.itemCount = 3;
    form.itemIndex = 2;
    form.groupEnabled = false;
    form.groupLeft = 8;
    form.groupTop = 8;
    form.groupWidth = 97;
    form.groupHeight = 65;
    form.buttonCaption = "Start";
    form.buttonLeft = 32;
    form.buttonTop = 80;
    form.buttonWidth = 41;
    form.buttonHeight = 25;
    return form;
}

void StartButtonClick() {
    const int index = plat::FormItemIndex();
    if (index == -1) return;
    int width = 0;
    int height = 0;
    switch (index) {
    case 0:
        width = 800;
        height = 600;
        break;
    case 1:
        width = 1024;
        height = 768;
        break;
    case 2:
        width = 1280;
        height = 1024;
        break;
    default:
        break;
    }
    plat::SetFormVisible(false);
    RunEditor(width, height);
    plat::CloseForm();
}

int RunStartFormular() { return plat::RunForm(MainFormDescription(), &StartButtonClick); }
