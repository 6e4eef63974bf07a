// Regions of the grid for the shaping tools (see LandRegion.h).
//
// The disc test compares squared distances: both are exact in double for
// any grid size (sums of quarters), so it decides exactly as a comparison
// of the distance itself with B.
#include "terrain/LandRegion.h"

#include <algorithm>
#include <cstdint>

#include "terrain/TerrainModel.h"

void VertexRect::Add(const VertexRect& other) {
    if (other.Empty()) return;
    Add(other.x0, other.y0);
    Add(other.x1, other.y1);
}

LandRegion LandRegion::WholeMap() { return LandRegion(); }

LandRegion LandRegion::BrushDisc(int px, int py, int brush) {
    LandRegion region;
    region.wholeMap = false;
    region.px = px;
    region.py = py;
    region.brush = std::max(1, brush);
    return region;
}

bool LandRegion::Contains(const TerrainModel& t, int x, int y) const {
    if (x < 0 || y < 0 || x > t.width || y > t.height) return false;
    if (wholeMap) return true;
    const double u = double(x) - double(px) - 0.5, v = double(y) - double(py) - 0.5;
    return u * u + v * v <= double(brush) * double(brush);
}

bool LandRegion::HoldsCell(const TerrainModel& t, int x, int y) const {
    if (x < 0 || y < 0 || x >= t.width || y >= t.height) return false;
    if (wholeMap) return true;
    return Contains(t, x, y) && Contains(t, x + 1, y) && Contains(t, x, y + 1) &&
           Contains(t, x + 1, y + 1);
}

VertexRect LandRegion::Bounds(const TerrainModel& t) const {
    VertexRect r;
    if (t.width < 0 || t.height < 0) return r;
    if (wholeMap) {
        r.x0 = 0;
        r.y0 = 0;
        r.x1 = t.width;
        r.y1 = t.height;
        return r;
    }
    // The disc reaches from offset 1 - B to B around the picked cell.
    const int64_t b = brush;
    r.x0 = int(std::max<int64_t>(0, px + 1 - b));
    r.x1 = int(std::min<int64_t>(t.width, px + b));
    r.y0 = int(std::max<int64_t>(0, py + 1 - b));
    r.y1 = int(std::min<int64_t>(t.height, py + b));
    return r;
}
