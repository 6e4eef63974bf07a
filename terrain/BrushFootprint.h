// The brush on the ground: what the selected tool would change around each
// of a few cells, drawn on the terrain and following its heights.
//
// Conventions: grid units as the tools use them: (px, py) is a cell, B the
// brush size, a vertex at offset (dx, dy) lies at brush distance
// sqrt((dx - 0.5)^2 + (dy - 0.5)^2), measured from the middle of the cell.
// World positions as the terrain is drawn: vertex (x, y) at
// (x * spacing - viewOffsetX, y * spacing - viewOffsetY, height). Drawn in
// the 3D view after the terrain pass, with the depth test on: the lines lie a
// little above the ground, the tint on it, pulled towards the eye by a
// polygon offset. Every line is a dark one
// under a light one, so it reads on earth, meadow and snow, lit or shaded.
#pragma once

class TerrainModel;

// What the footprint shows, one shape per tool.
enum class FootprintShape {
    None,     // no tool: nothing is drawn
    Paint,    // the one tile quarter (the cell) whose corner is painted
    Raise,    // ring at distance B, tint by the weight, warm
    Lower,    // the same, cool
    Plateau,  // ring at distance B and a flat ring at the captured height
    Smooth,   // ring at distance B
};

constexpr int kMaxFootprintCells = 4;

struct FootprintView {
    FootprintShape shape;
    int brush;             // B; below 1 counts as 1, as for the tools
    double plateauHeight;  // for FootprintShape::Plateau
    int cellCount;         // 0 .. kMaxFootprintCells
    int cells[kMaxFootprintCells];  // cell ids: the picked cell, then its mirror images
    float viewOffsetX, viewOffsetY;
};

// Draws the footprint at every cell of the view that lies in the grid. Makes
// no OpenGL call at all when there is nothing to draw; otherwise it leaves
// texturing on, blending off, the line width 1 and the colour white.
void DrawBrushFootprint(const TerrainModel& terrain, const FootprintView& view);
