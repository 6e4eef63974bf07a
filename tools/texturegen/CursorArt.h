// The wooden mouse pointer (cursor/cursor_wood, 256 x 256 with alpha).
//
// Conventions: y upward. The pointer fills the 64 x 64 rectangle whose
// lower-left corner is (0, 192); its tip, the hot spot, lies 14 pixels right
// of the rectangle's left edge and 12 pixels below its top edge, at image
// pixel (14, 243) (the pixel whose top-left corner is the tip). The rest of
// the picture is transparent. The alpha is soft at the outline and in the
// drop shadow, since the cursor is blended.
#pragma once

#include "Canvas.h"

namespace tg {

constexpr int kCursorTipX = 14;
constexpr int kCursorTipY = 192 + 64 - 12;  // y of the tip point from the bottom

PackEntry PaintCursor();

}  // namespace tg
