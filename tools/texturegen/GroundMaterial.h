// The three ground materials (earth, meadow, snow) of the ground tiles.
//
// Conventions: a material is painted pixel by pixel from a few noise fields
// sampled on the 256 x 256 tile (pixel (x, y), y from the bottom, centres at
// +0.5). The fields are "edge-pinned" gradient noise (see EdgeNoise): along
// the tile's outer edges their value comes from a table shared by every tile
// of the same ground and is the same read in either direction, and their
// slope across the edge is zero, while the inside is each tile's own. The
// colour is a pure function of the field values at the pixel, so any two
// tiles of one ground meet without a seam whatever rotation or mirroring the
// terrain gives them, and without the mirrored patterns a shared border
// strip would show.
#pragma once

#include "Canvas.h"

#include <cstdint>
#include <vector>

namespace tg {

constexpr int kTileSize = 256;

// Index of a ground letter ('e', 'w', 's') in 0..2; -1 for anything else.
int GroundIndex(char letter);

// Gradient noise with `cells` lattice cells across the tile. Lattice points
// inside the tile get random gradients from `tileSeed`; points on the outer
// edges get gradients along the edge only, from a table of `edgeSeed` that
// is antisymmetric about the edge's middle (so the values along an edge are
// symmetric about it); corner points get none. Coordinates in pixels.
float EdgeNoise(float px, float py, int cells, uint32_t tileSeed, uint32_t edgeSeed);
// Fractal sum of EdgeNoise, each octave with twice the cells, normalised to
// about one octave's spread.
float EdgeFbm(float px, float py, int cells, int octaves, uint32_t tileSeed, uint32_t edgeSeed);

struct MaterialPixel {
    Rgb colour;
    float height;  // 0..1, decides which ground shows on top in a transition
};
// Paints one tile's worth of a ground: every pixel, row by row from the
// bottom. `tileSeed` makes the inside differ between tiles.
std::vector<MaterialPixel> PaintMaterial(char ground, uint32_t tileSeed);

}  // namespace tg
