// The start dialog: a fixed choice of screen resolution and a Start button.
#pragma once

#include "platform/Platform.h"

// The dialog's fixed layout: caption, client size, the disabled radio
// group with the third resolution selected, and the Start button.
plat::FormDescription MainFormDescription();

// Shows the dialog and runs the application until it closes. Returns the
// program's exit code (non-zero only when no display could be opened).
int RunStartFormular();

// Click handler of the Start button: runs the editor at the chosen size,
// then closes the dialog.
void StartButtonClick();
