// mapconvert's map sizes: new (a fresh map of any size), resize (crop or
// extend from an anchor) and scale (resample to another size).
//
// Conventions: sizes are in cells, "WxH", each from 1 to
// kMaxMapCellsPerSide (the largest map the editor loads). A command returns
// mapconvert's exit status and leaves its one line in *line: 2 for a wrong
// call (nothing read or written), 1 when a file could not be read or
// written, 0 done (line empty). Outputs go through the editor's writer, so
// they appear whole or not at all. New tiles are the editor's random
// choice, seeded with --seed or, as the editor seeds it, with the time.
#pragma once

#include <string>
#include <vector>

class TerrainModel;

// The words of a size command as mapconvert's parser found them.
struct SizeCall {
    std::vector<std::string> files;  // OUT.map, or IN.map OUT.map
    std::string size, anchor, height, ground, pack, seed;
};

int NewMapCommand(const SizeCall& call, std::string* line);
int ResizeMapCommand(const SizeCall& call, std::string* line);
int ScaleMapCommand(const SizeCall& call, std::string* line);

// Where the old map lies in the resized one: the offset in cells of the old
// vertex (0, 0) in the new grid, for an anchor of nw|n|ne|w|c|e|sw|s|se
// (north is the map's last row, y = H, as in the heightmaps). Centred
// offsets round toward zero, so extending and cropping back by the same
// amount meet again. False for an unknown anchor.
bool AnchorOffset(const std::string& anchor, int oldWidth, int oldHeight, int newWidth,
                  int newHeight, int* dx, int* dy);

// The grid parts, on models whose grids are already allocated at the new
// size (out) and hold the source (in):
// out keeps every vertex of in that lies inside it, shifted by (dx, dy),
// whole records; every other vertex is flat at `height` with earth. Then the
// blocks holding a new cell are tiled and every vertex is lit.
void ResizeInto(const TerrainModel& in, int dx, int dy, float height, TerrainModel& out);
// out's heights resampled from in (bicubic, Catmull-Rom, corner vertices on
// corner vertices, clamped to the limits), its ground letters the nearest
// vertex's; then all tiled and lit.
void ScaleInto(const TerrainModel& in, TerrainModel& out);
