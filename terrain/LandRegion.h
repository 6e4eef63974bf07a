// The part of the grid a shaping tool works on, and rectangles of vertices.
//
// Conventions: a region is either the whole map or the brush disc of the
// editing tools around a picked cell (px, py): vertex (x, y) lies inside when
// its brush distance sqrt((x - px - 0.5)^2 + (y - py - 0.5)^2) is at most B,
// measured from the middle of the cell, as plateau and smooth measure it.
// Only vertices of the grid belong to a region. A VertexRect holds the
// vertices x0 .. x1, y0 .. y1, both ends included; it is empty when
// x0 > x1 or y0 > y1.
#pragma once

class TerrainModel;

struct VertexRect {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;

    bool Empty() const { return x0 > x1 || y0 > y1; }
    // Grows the rectangle to hold vertex (x, y). Inline: erosion calls it for
    // every height it writes.
    void Add(int x, int y) {
        if (Empty()) {
            x0 = x1 = x;
            y0 = y1 = y;
            return;
        }
        x0 = x < x0 ? x : x0;
        x1 = x > x1 ? x : x1;
        y0 = y < y0 ? y : y0;
        y1 = y > y1 ? y : y1;
    }
    // Grows the rectangle to hold other.
    void Add(const VertexRect& other);
};

struct LandRegion {
    bool wholeMap = true;
    int px = 0, py = 0;  // the picked cell of a brush disc
    int brush = 1;       // B, at least 1

    static LandRegion WholeMap();
    static LandRegion BrushDisc(int px, int py, int brush);

    bool Contains(const TerrainModel& t, int x, int y) const;
    // True when all four corners of cell (x, y) belong to the region.
    bool HoldsCell(const TerrainModel& t, int x, int y) const;
    // The smallest rectangle holding every vertex of the region.
    VertexRect Bounds(const TerrainModel& t) const;
};
