// The tool menu's pictures: the background panel and the icon sheet.
//
// Conventions: screen pixels from the lower-left corner, y upward. The panel
// (menue/menue, 1280 wide) is drawn with its lower-left corner at the
// screen's and cut to shape by its alpha (kept where coverage > 0.4); the
// icon grid sits at x 1026..1266, y 17..257 with 60-pixel cells and 48 x 48
// icons at each cell's lower-left corner. The icon sheet (menue/groups,
// 256 x 256, opaque) holds the icons at the catalogue's rectangles.
#pragma once

#include "Canvas.h"
#include "GroundTiles.h"

#include <vector>

namespace tg {

PackEntry PaintMenuPanel();
// The ground icons show swatches of the pack's own ground tiles.
PackEntry PaintIconSheet(const std::vector<GroundTile>& ground);

}  // namespace tg
