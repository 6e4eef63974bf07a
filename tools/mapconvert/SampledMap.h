// A map read for a picture that has fewer pixels than the map has cells:
// the grid a preview draws, at most one cell per pixel.
//
// Conventions: the sampled grid has columns x rows cells; its vertex (i, j)
// is the map's vertex (round(i * W / columns), round(j * H / rows)) of a
// map of W x H cells, with all that its record holds, so a sampled cell
// shows the tile and texture corners of the map cell at its lower-left
// corner, lit as that cell is lit. Drawn one cell per pixel, each pixel
// shows what the editor shows at one point of the area it covers. The
// grid's spacing grows by W / columns, so it covers the same ground and the
// water drawn over it waves as at those points. Only the sampled rows are
// read; a record that a cut file lacks, or that its end cuts, keeps the
// grid's initial values.
#pragma once

#include <string>

#include "tools/mapconvert/MapFacts.h"

class TerrainModel;

// Re-creates terrain as the sampled grid of the map at path, whose header
// ReadMapHeader gave (1 <= columns <= width, 1 <= rows <= height). False with
// one line naming the file and the reason when it cannot be read or memory
// runs out.
bool ReadSampledMap(const std::string& path, const MapFacts& header, int columns, int rows,
                    TerrainModel& terrain, std::string* error);
