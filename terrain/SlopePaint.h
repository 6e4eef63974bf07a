// Painting by height and slope: every vertex of a region gets the ground its
// height and slope call for, and the tile blocks that changed are chosen
// again.
//
// Conventions: the slope of vertex (x, y) is the steepness of the ground
// through it, from the central differences of its neighbours' heights along
// x and y over the grid spacing (one-sided at the edge of the grid, 0 along
// an axis of one vertex): slope angle = atan(sqrt(gx^2 + gy^2)). The rule,
// in this order: snow ('s') where the height is above snowAbove; earth
// ('e') where the slope angle is steeper than earthSteeperThan degrees;
// meadow ('w') elsewhere. Defaults: snow above height 0.8 (the top fifth of
// the heights -2 .. 1.5, well over the water at -1); earth steeper than 30
// degrees, which on the grid spacing of 0.3 is a rise of 0.17 per cell.
#pragma once

#include "terrain/LandRegion.h"

class TerrainModel;

struct SlopePaintRule {
    double snowAbove = 0.8;
    double earthSteeperThan = 30.0;  // degrees, 0 .. 90; 90 or more: never earth
};

// The ground letter the rule gives vertex (x, y) of t.
char SlopeGround(const TerrainModel& t, const SlopePaintRule& rule, int x, int y);

// Paints every vertex of the region by the rule and re-tiles each block
// holding a vertex whose letter changed, once, blocks in column order (x
// outer), with the editor's random tile choice (TerrainModel::RetileBlocks).
// Returns the rectangle of the vertices whose letter changed.
VertexRect PaintBySlope(TerrainModel& t, const LandRegion& region, const SlopePaintRule& rule);
