// Painting by height and slope (see SlopePaint.h).
//
// The angle is compared through its tangent squared, computed once per
// call, so a vertex costs five height reads and no trigonometry.
#include "terrain/SlopePaint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "math/Matrixvector.h"
#include "terrain/TerrainModel.h"

namespace {

// tan^2 of the earth angle; negative when no slope is steep enough.
double SteepLimit(const SlopePaintRule& rule) {
    if (!(rule.earthSteeperThan < 90.0)) return -1.0;
    const double angle = std::max(0.0, rule.earthSteeperThan);
    const double tangent = std::tan(angle * kPi / 180.0);
    return tangent * tangent;
}

// Squared gradient of the ground at (x, y), height per world unit.
double SlopeSquared(const TerrainModel& t, int x, int y) {
    const int xl = std::max(0, x - 1), xr = std::min(t.width, x + 1);
    const int yd = std::max(0, y - 1), yu = std::min(t.height, y + 1);
    double gx = 0.0, gy = 0.0;
    if (xr > xl)
        gx = (double(t.columns[xr][y].height) - double(t.columns[xl][y].height)) /
             (double(xr - xl) * t.spacing);
    if (yu > yd)
        gy = (double(t.columns[x][yu].height) - double(t.columns[x][yd].height)) /
             (double(yu - yd) * t.spacing);
    return gx * gx + gy * gy;
}

char Ground(const TerrainModel& t, const SlopePaintRule& rule, double steepLimit, int x, int y) {
    if (double(t.columns[x][y].height) > rule.snowAbove) return 's';
    if (steepLimit >= 0.0 && SlopeSquared(t, x, y) > steepLimit) return 'e';
    return 'w';
}

}  // namespace

char SlopeGround(const TerrainModel& t, const SlopePaintRule& rule, int x, int y) {
    return Ground(t, rule, SteepLimit(rule), x, y);
}

VertexRect PaintBySlope(TerrainModel& t, const LandRegion& region, const SlopePaintRule& rule) {
    VertexRect changed;
    if (t.columns == nullptr) return changed;
    const VertexRect bounds = region.Bounds(t);
    if (bounds.Empty()) return changed;
    const double steepLimit = SteepLimit(rule);
    // Blocks of the bounds, by their even lower-left vertex; a vertex with
    // x or y at an even width or height lies in no block.
    const int bx0 = bounds.x0 / 2, by0 = bounds.y0 / 2;
    const int blocksWide = bounds.x1 / 2 - bx0 + 1, blocksHigh = bounds.y1 / 2 - by0 + 1;
    std::vector<uint8_t> touched(size_t(blocksWide) * size_t(blocksHigh), 0);
    for (int x = bounds.x0; x <= bounds.x1; ++x)
        for (int y = bounds.y0; y <= bounds.y1; ++y) {
            if (!region.Contains(t, x, y)) continue;
            const char ground = Ground(t, rule, steepLimit, x, y);
            if (t.columns[x][y].ground == ground) continue;
            t.columns[x][y].ground = ground;
            changed.Add(x, y);
            touched[size_t(x / 2 - bx0) * size_t(blocksHigh) + size_t(y / 2 - by0)] = 1;
        }
    std::vector<int32_t> blocks;
    for (int i = 0; i < blocksWide; ++i)
        for (int j = 0; j < blocksHigh; ++j) {
            const int x0 = 2 * (bx0 + i), y0 = 2 * (by0 + j);
            if (touched[size_t(i) * size_t(blocksHigh) + size_t(j)] && x0 < t.width && y0 < t.height)
                blocks.push_back(int32_t(uint32_t(x0) << 16 | uint32_t(y0)));
        }
    t.RetileBlocks(blocks);
    return changed;
}
