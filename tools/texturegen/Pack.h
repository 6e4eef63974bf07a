// The whole texture pack in memory, and writing it below a textures folder.
//
// Conventions: entry paths are relative to the textures folder and carry no
// extension ("menue/groups", "cursor/cursor_wood"); ground tiles go to
// "ground/<name>.bmp" and are listed in "ground/_ground.txt" (one name per
// line, LF endings, list order = tile order). A picture with alpha also gets
// "<path>_alpha.bmp". Scrambled entries are written as plain bitmaps into a
// separate raw folder, from which the build converts them to ".cbm".
#pragma once

#include "Canvas.h"
#include "GroundTiles.h"

#include <string>
#include <vector>

namespace tg {

struct Pack {
    std::vector<GroundTile> ground;
    std::vector<PackEntry> entries;
};

Pack PaintPack();
// Writes every file; false when any file could not be written.
bool WritePack(const Pack& pack, const std::string& outDir, const std::string& rawDir);

}  // namespace tg
