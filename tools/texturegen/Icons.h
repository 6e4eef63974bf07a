// The 48 x 48 tool icons of the menu, painted as simple vector pictures on
// a parchment button. All icons are opaque; y upward.
#pragma once

#include "Canvas.h"

namespace tg {

constexpr int kIconSize = 48;

Canvas IconLoad();     // folder with an arrow coming out
Canvas IconSave();     // floppy disk
Canvas IconRaise();    // hill with an up arrow
Canvas IconLower();    // hill with a down arrow
Canvas IconPlateau();  // hill with a flat top and a level line
Canvas IconSmooth();   // rough line turning into a smooth wave
Canvas IconBrushSize(int size);  // brush footprint and its digit
// Swatch of a ground, cut from a uniform ground tile (null: plain grey).
Canvas IconGround(const Canvas* tile);

}  // namespace tg
