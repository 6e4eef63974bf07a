// Terrain drawing: the visible region, the cells and the highlight of the
// picked cell.
//
// Conventions: terrain plane coordinates (u, v) = (world x + ViewOffsetX,
// world y + ViewOffsetY); cell (x, y) covers [x * s, (x + 1) * s] x
// [y * s, (y + 1) * s] with s = gTerrain->spacing. The visible region is a
// list of row spans in ascending row order, one span per row, rebuilt from
// empty every frame; a span with firstColumn > lastColumn is empty, a
// non-empty span always lies inside the grid. The list holds at most
// kMaxVisibleSpans rows: a footprint covering more rows keeps only its first
// kMaxVisibleSpans rows (lowest row numbers) and never writes past the array.
// Everything draws through gTerrain and reads the screen and mouse through
// gWindow; OpenGL immediate mode on the current context.
#pragma once

#include <cstdint>

#include "math/Matrixvector.h"

struct VisibleSpan {
    int32_t row;
    int32_t firstColumn;
    int32_t lastColumn;  // inclusive; < firstColumn for an empty span
};

constexpr int kMaxVisibleSpans = 100;

struct VisibleSpanList {
    int32_t count;
    VisibleSpan spans[kMaxVisibleSpans];
};

// Written by ComputeVisibleRegion; read by the terrain pass and the scene.
extern VisibleSpanList gVisibleSpans;

// The per-frame terrain pass: visible region, every visible cell with
// picking, then the picked cell once more in HighlightColour on top.
// viewProjection = projection x modelview of the current camera.
void DrawTerrain(Matrix4 viewProjection);

// Rebuilds gVisibleSpans from the ground footprint of the view.
void ComputeVisibleRegion(Matrix4 viewProjection);

// Rasterises a footprint quadrilateral (four corners in terrain plane
// coordinates, already widened) into gVisibleSpans. Used by
// ComputeVisibleRegion; public so the row rules can be checked on their own.
void RasteriseFootprint(const Vector4 corners[4]);

// The last footprint corners (terrain plane coordinates, widened).
const Vector4* FootprintCorners();
// The same corners before the widening: where the lines of sight through
// the four view corners meet the ground.
const Vector4* ViewCorners();

// Draws cell (x, y) as one textured triangle strip; with pick its two
// triangles go to the triangle selection; with useColours the per-vertex
// brightness is sent as the colour.
void DrawCell(int x, int y, bool pick, bool useColours);
