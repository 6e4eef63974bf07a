// The map seen from straight above, one colour per block of cells, for the
// minimap: each cell in its ground's colour times its brightness, and the
// colour of water where the ground lies below the water level.
//
// Conventions: cell (x, y) is shown by its lower-left vertex (x, y), whose
// ground letter its tile quarter shows and whose brightness lights it;
// brightness is clamped to [0, 1] as OpenGL clamps colours. Colours are
// 8-bit R, G, B.
#pragma once

#include <cstdint>

class TerrainModel;

// At most this many samples per side of a block: a block of many cells is
// shown by an even grid of them, so its cost stays bounded.
constexpr int kMapColourSamples = 4;

// The mean colour of the cells [x0, x1) x [y0, y1) of the terrain (`terrain`
// is a TerrainModel*); the block lies inside the grid and is not empty. The
// signature is that of a minimap colour source.
void MapCellColour(void* terrain, int x0, int y0, int x1, int y1, uint8_t rgb[3]);
