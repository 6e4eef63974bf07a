// Ground tiles: one 256 x 256 picture per entry of textures/ground/_ground.txt.
//
// Conventions: a tile name starts with its four-letter corner code; letter i
// is the ground of one quarter: 0 top-left (u < 1/2, v > 1/2), 1 top-right,
// 2 bottom-left, 3 bottom-right, with v upward (v = 0 is the first stored
// row). Letters: 'e' earth, 'w' meadow, 's' snow. The terrain lays a tile in
// any of the eight rotations and mirrorings of the square, so one tile serves
// every code of its symmetry class; there are 21 classes for three grounds.
#pragma once

#include "Canvas.h"

#include <string>
#include <vector>

namespace tg {

// The smallest of the eight codes that a code becomes under rotation
// ((c0, c1, c2, c3) -> (c2, c0, c3, c1)) and mirroring ((c1, c0, c3, c2)).
std::string CanonicalCode(const std::string& code);
// The 21 canonical codes over "esw", in ascending order.
std::vector<std::string> CanonicalPatterns();

struct GroundTile {
    std::string name;  // code + "_" + variant number, e.g. "eeew_1"
    Canvas picture;
};
// Every tile of the pack, in list order: four variants of each uniform code,
// two of each two-ground code, one of each three-ground code.
std::vector<GroundTile> PaintGroundTiles();

}  // namespace tg
