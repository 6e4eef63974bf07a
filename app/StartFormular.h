// The start dialog: a fixed choice of screen resolution and a Start button.
#pragma once

// Shows the dialog and runs the application until it closes. Returns the
// program's exit code (non-zero only when no display could be opened).
int RunStartFormular();

// Click handler of the Start button: runs the editor at the chosen size,
// then closes the dialog.
void StartButtonClick();
