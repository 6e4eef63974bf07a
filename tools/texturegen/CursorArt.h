// The wooden mouse pointer (cursor/cursor_wood, 256 x 256 with alpha).
//
// Conventions: y upward. The pointer fills the 64 x 64 rectangle whose
// lower-left corner is (0, 192); its tip, the hot spot, lies 14 pixels right
// of the rectangle's left edge and 12 pixels below its top edge: the editor
// puts rectangle pixel (14, 52), image pixel (14, 244), under the mouse, so
// the tip point is that pixel's top-left corner (14, 245) and the arrow
// covers the pixel fully. The rest of the picture is
// transparent. The alpha is soft at the outline and in the drop shadow,
// since the cursor is blended.
#pragma once

#include "Canvas.h"

namespace tg {

constexpr int kCursorHotX = 14;             // hot-spot pixel in the image
constexpr int kCursorHotY = 192 + 64 - 12;  // 244, from the bottom

PackEntry PaintCursor();

}  // namespace tg
