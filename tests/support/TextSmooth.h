// The smoothing step exactly as the editor's definition words it, as plain
// loops: for every target within distance B, sums over the whole window
// -B .. B + 1 of the height differences and of the distances, targets
// updated in place. The reference the running-sum smoothing is held to, and
// the bench's baseline.
#pragma once

#include <cmath>
#include <cstdint>

#include "terrain/TerrainModel.h"

inline void TextSmooth(TerrainModel& t, int px, int py, int b, double a) {
    auto inside = [&](int64_t x, int64_t y) { return x >= 0 && x <= t.width && y >= 0 && y <= t.height; };
    auto h = [&](int64_t x, int64_t y) -> float& { return t.columns[x][y].height; };
    for (int64_t dx = -b; dx <= b + 1; ++dx)
        for (int64_t dy = -b; dy <= b + 1; ++dy) {
            const int64_t tx = px + dx, ty = py + dy;
            if (!inside(tx, ty) || std::sqrt((dx - 0.5) * (dx - 0.5) + (dy - 0.5) * (dy - 0.5)) > b)
                continue;
            double d = 0.0, l = 0.0;
            for (int64_t ex = -b; ex <= b + 1; ++ex)
                for (int64_t ey = -b; ey <= b + 1; ++ey) {
                    if (!inside(px + ex, py + ey) || (ex == dx && ey == dy)) continue;
                    d += double(h(px + ex, py + ey)) - double(h(tx, ty));
                    l += std::sqrt(double((dx - ex) * (dx - ex) + (dy - ey) * (dy - ey)));
                }
            if (l > 0.0) h(tx, ty) = float(h(tx, ty) + d / l * a);
        }
}
