// Program entry: the start dialog runs the editor; the program ends when the
// dialog closes.
#include "app/StartFormular.h"

int main() { return RunStartFormular(); }
