// Contact sheet: one PNG that shows every texture of the pack for review.
//
// Layout (top to bottom): the ground tiles in a labelled grid next to a
// mock terrain laid from them the way the editor lays them (random tile and
// orientation per 2 x 2 block, about 24 screen pixels per cell); the scene
// textures over a checkerboard that shows their alpha; the menu panel with
// its icons in place at half size, the icon sheet and the cursor enlarged.
#pragma once

#include "Pack.h"

#include <string>

namespace tg {

bool WriteContactSheet(const Pack& pack, const std::string& pngPath);

}  // namespace tg
