// Textures of the terrain's water and of the three scene objects (conifer,
// half-timbered house, water tower), plus the plant and the head that the
// catalogue loads without drawing.
//
// Conventions: every picture is one power-of-two square tile (128 or 256
// pixels), y upward, painted for the texture coordinates the scene uses:
// the conifer crown lies on its square seen from above, the house wall
// fills v 0..0.5 (u 0.1..0.9) and its gable triangle v 0.5..1, the tank
// wall repeats u 0..1 and v 0..4 per segment, the tank roof is a disc around
// (0.5, 0.5). Textures drawn with repeat wrap are periodic.
#pragma once

#include "Canvas.h"

#include <vector>

namespace tg {

std::vector<PackEntry> PaintSceneTextures();

}  // namespace tg
