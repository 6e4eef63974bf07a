// The ramp acts once, at the release, over the whole band around its
// segment, which may reach far beyond the brush windows the history records
// while a button is held; so it records its band itself before it changes
// it. Erosion and painting by height and slope work on the brush disc of
// each cell and re-light or re-tile inside its window.
#include "terrain/ShapingTools.h"

#include <algorithm>
#include <cmath>

#include "math/Matrixvector.h"
#include "terrain/EditHistory.h"
#include "terrain/FrameState.h"
#include "terrain/SlopePaint.h"
#include "terrain/TerrainModel.h"
#include "terrain/TerrainTools.h"
#include "terrain/ToolModes.h"
#include "terrain/TriangleSelection.h"

int32_t gBrushStrength = kFullStrength;

namespace {

// Digit d sets d * 10 %, 0 sets 100 %.
constexpr int32_t kStrengthPerDigit = 10;

ShapingMemory sEditorShaping;

}  // namespace

void StrengthKeys(const bool* keys, StrengthKeyMemory& memory, int32_t& strength) {
    for (int d = 0; d < 10; ++d)
        if (memory.digit[d].Pressed(keys['0' + d]))
            strength = d == 0 ? kFullStrength : d * kStrengthPerDigit;
}

double StrengthShare(int32_t strength) { return double(strength) / double(kFullStrength); }

double CellMeanHeight(const TerrainModel& t, int cellId) {
    const int x = CellIdX(cellId), y = CellIdY(cellId);
    return 0.25 * (double(t.columns[x][y].height) + double(t.columns[x + 1][y].height) +
                   double(t.columns[x + 1][y + 1].height) + double(t.columns[x][y + 1].height));
}

VertexRect RampBetween(TerrainModel& t, int cellA, double ha, int cellB, double hb, int brush,
                       double share, EditHistory* history) {
    const double b = std::max(1, brush);
    const double ax = CellIdX(cellA) + 0.5, ay = CellIdY(cellA) + 0.5;
    const double ux = CellIdX(cellB) + 0.5 - ax, uy = CellIdY(cellB) + 0.5 - ay;
    const double length2 = ux * ux + uy * uy;
    VertexRect band;
    band.x0 = std::max(0, int(std::ceil(std::min(ax, ax + ux) - b)));
    band.y0 = std::max(0, int(std::ceil(std::min(ay, ay + uy) - b)));
    band.x1 = std::min(t.width, int(std::floor(std::max(ax, ax + ux) + b)));
    band.y1 = std::min(t.height, int(std::floor(std::max(ay, ay + uy) + b)));
    if (band.Empty()) return band;
    // Re-lighting reaches one vertex left of and below each changed height.
    if (history != nullptr) history->Touch(t, band.x0 - 1, band.x1, band.y0 - 1, band.y1);
    for (int x = band.x0; x <= band.x1; ++x)
        for (int y = band.y0; y <= band.y1; ++y) {
            const double vx = x - ax, vy = y - ay;
            const double s = length2 > 0.0 ? std::clamp((vx * ux + vy * uy) / length2, 0.0, 1.0)
                                           : 0.0;
            const double dx = vx - s * ux, dy = vy - s * uy;
            // The cosine weight, 0 from distance B on (the cosine alone would
            // rise again past 3B).
            const double d = std::sqrt(dx * dx + dy * dy);
            if (!(d < b)) continue;
            const double f = std::cos(d / b * kPi * 0.5);
            float& h = t.columns[x][y].height;
            const double target = ha + (hb - ha) * s;
            h = float(double(h) + f * share * (target - double(h)));
        }
    RelightAfterErosion(t, band);
    return band;
}

void KeepShapingMemory(const FrameState& f, ShapingMemory& memory) {
    const bool ramp = f.settings.mode == kModeRamp;
    const bool rampRuns = ramp && f.cellCount > 0 && f.picked != kNoCell;
    if (!ramp || (!f.input.left && !rampRuns)) memory.ramp.held = false;
}

// Left press: A; release: the ramp to B; the right button cancels.
void ApplyRamp(TerrainModel& t, const FrameState& f, ToolMemory& memory) {
    HeldRamp& ramp = memory.shaping.ramp;
    if (f.leftPressed) {
        ramp.held = true;
        ramp.count = f.cellCount;
        for (int k = 0; k < f.cellCount; ++k) {
            ramp.cells[k] = f.cells[k];
            ramp.heights[k] = CellMeanHeight(t, f.cells[k]);
        }
    }
    if (ramp.held && f.input.right) ramp.held = false;
    if (!ramp.held || f.input.left) return;
    ramp.held = false;
    // Each image of A pairs with the image of B made by the same mirroring;
    // the lists name them in the same order, a shorter one (a point on a
    // centre line) pairs its first images.
    const int count = std::min(ramp.count, f.cellCount);
    const double share = StrengthShare(f.settings.strength);
    for (int k = 0; k < count; ++k)
        RampBetween(t, ramp.cells[k], ramp.heights[k], f.cells[k], CellMeanHeight(t, f.cells[k]),
                    f.settings.brush, share, memory.history);
}

// Left gently, right strongly, as the height tools.
void ApplyErosion(TerrainModel& t, const FrameState& f, ToolMemory& memory) {
    if (!f.input.left && !f.input.right) return;
    const int base = ErosionBrushDroplets(f.settings.brush, f.input.right);
    const int droplets = std::max(1, int(base * StrengthShare(f.settings.strength) + 0.5));
    for (int k = 0; k < f.cellCount; ++k) {
        const BrushWindow& w = f.windows[k];
        const LandRegion disc = LandRegion::BrushDisc(w.cellX, w.cellY, int(w.brush));
        RelightAfterErosion(t, ErodeRegion(t, disc, droplets, memory.shaping.random));
    }
}

void ApplyAutoPaint(TerrainModel& t, const FrameState& f, ToolMemory&) {
    if (!f.input.left && !f.input.right) return;
    for (int k = 0; k < f.cellCount; ++k) {
        const BrushWindow& w = f.windows[k];
        PaintBySlope(t, LandRegion::BrushDisc(w.cellX, w.cellY, int(w.brush)), SlopePaintRule());
    }
}

ShapingMemory& EditorShapingMemory() { return sEditorShaping; }

const HeldRamp* EditorHeldRamp() {
    return sEditorShaping.ramp.held ? &sEditorShaping.ramp : nullptr;
}
