// The three ground materials (earth, meadow, snow) of the ground tiles.
//
// Conventions: a material is painted from a few noise fields sampled on the
// 256 x 256 tile (pixel (x, y), y from the bottom, centres at +0.5). Every
// field is a blend of two sources: a "unique" field, different for each tile,
// and a "border" field that is the same for every tile of that ground and is
// symmetric under the eight rotations and mirrorings of the square and
// mirror-symmetric across each outer edge. The border field takes over
// towards the tile's outer edges (fully within 8 pixels), so any two tiles of
// one ground meet without a seam in whatever orientation the terrain lays
// them. Shading uses only rotation-invariant terms (no light direction) for
// the same reason.
#pragma once

#include "Canvas.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tg {

constexpr int kTileSize = 256;
constexpr int kFieldCount = 4;  // large patches, mid detail, fine grain, spots

struct FieldSet {
    std::array<std::vector<float>, kFieldCount> field;  // kTileSize^2 each
    float At(int f, int x, int y) const { return field[f][size_t(y) * kTileSize + x]; }
};

// Index of a ground letter ('e', 'w', 's') in 0..2; -1 for anything else.
int GroundIndex(char letter);

// The border field of a ground (same for all tiles).
FieldSet BorderFields(char ground);
// The fields of one tile: its own noise (from `seed`) blended into `border`.
FieldSet TileFields(char ground, uint32_t seed, const FieldSet& border);

struct MaterialPixel {
    Rgb colour;
    float height;  // 0..1, decides which ground shows on top in a transition
};
// Paints every pixel of the tile from its fields; `border` is the ground's
// border field set that `fields` was blended from.
std::vector<MaterialPixel> ShadeMaterial(char ground, const FieldSet& fields, const FieldSet& border);

}  // namespace tg
