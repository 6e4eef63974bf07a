// Textures of the two buildings: the half-timbered house (walls and gables,
// thatched roof) and the wooden water tower (tank wall, tank roof, legs).
//
// Conventions: pictures are square power-of-two tiles, y upward, painted for
// the texture coordinates of the scene drawing (see SceneTextures.h).
// Pictures drawn with repeat wrap (tank wall, legs) are periodic.
#pragma once

#include "Canvas.h"

namespace tg {

Canvas PaintHalfTimberedWall();  // fachwerk_alt, 256
Canvas PaintThatch();            // strohdach, 256
Canvas PaintTankPlanks();        // wasserturm_holzseite, 256
Canvas PaintTankRoof();          // wasserturm_dach, 256
Canvas PaintLegWood();           // wasserturm_holz, 128

}  // namespace tg
