// The terrain editing tools and their settings.
//
// Conventions: (px, py) is the picked cell, B the brush size; a vertex at
// offset (dx, dy) from (px, py) lies at brush distance
// sqrt((dx - 0.5)^2 + (dy - 0.5)^2) grid steps, i.e. measured from the middle
// of the picked cell. The height tools work on the window of offsets
// -B .. B + 1 (raise and lower on 1 - B .. B, where the weight is not yet 0)
// and re-light that window, one vertex wider than what they changed. Every
// loop is clipped to the grid, so vertices outside it are never touched. All
// sums are formed in double; heights are stored back as floats. Every tool is
// a fixed step per frame.
#include "terrain/TerrainTools.h"

#include <algorithm>
#include <cmath>

#include "app/Editor.h"
#include "gl/OpenGLFullscreen.h"
#include "math/Matrixvector.h"
#include "menu/Menue.h"
#include "terrain/TerrainModel.h"
#include "terrain/TriangleSelection.h"

char gCurrentGround = 'e';
int32_t gBrushSize = 2;
double gPlateauHeight = 0.0;
bool gLeftButtonBefore = false;

void SelectGround(int letter) {
    gCurrentGround = static_cast<char>(letter & 0xFF);
    gEditMode = kModePaint;  // choosing a ground type also picks the paint tool
}

void SetEditMode(int mode) { gEditMode = mode; }

void SetBrushSize(int size) { gBrushSize = size; }

namespace {

double BrushDistance(int64_t dx, int64_t dy) {
    const double u = double(dx) - 0.5, v = double(dy) - 0.5;
    return std::sqrt(u * u + v * v);
}

// A square of vertices px + first .. px + last (and the same for y),
// clipped to the grid's vertices 0 .. width and 0 .. height. 64-bit so that
// no brush size can overflow the bounds.
struct Window {
    int64_t x0, x1, y0, y1;
};

Window ClipWindow(const TerrainModel& t, int px, int py, int64_t first, int64_t last) {
    return {std::max<int64_t>(0, px + first), std::min<int64_t>(t.width, px + last),
            std::max<int64_t>(0, py + first), std::min<int64_t>(t.height, py + last)};
}

float& HeightAt(TerrainModel& t, int64_t x, int64_t y) { return t.columns[x][y].height; }

// Normals and brightness go stale when a neighbour's height changes, so the
// height tools re-light the window -B .. B + 1 around the picked cell.
void Relight(TerrainModel& t, int px, int py, int64_t b) {
    const Window w = ClipWindow(t, px, py, -b, b + 1);
    for (int64_t x = w.x0; x <= w.x1; ++x)
        for (int64_t y = w.y0; y <= w.y1; ++y) t.RelightVertex(int(x), int(y));
}

// Cosine-weighted step, 1 near the middle of the cell and 0 from distance B
// on, clamped to the model's height limits.
void RaiseLower(TerrainModel& t, int px, int py, int64_t b, double amount) {
    const Window w = ClipWindow(t, px, py, 1 - b, b);
    for (int64_t x = w.x0; x <= w.x1; ++x)
        for (int64_t y = w.y0; y <= w.y1; ++y) {
            const double d = BrushDistance(x - px, y - py);
            const double f = std::max(std::cos(d / double(b) * kPi * 0.5), 0.0);
            double h = double(HeightAt(t, x, y)) + f * amount;
            if (h < t.minHeight) h = t.minHeight;
            if (h > t.maxHeight) h = t.maxHeight;
            HeightAt(t, x, y) = float(h);
        }
    Relight(t, px, py, b);
}

// Every target within distance B moves towards the mean slope of the whole
// window: D sums the height differences to every other vertex of the window,
// L the distances to them. Targets are updated in place, in loop order, so
// later ones see the already smoothed heights. Not clamped.
void Smooth(TerrainModel& t, int px, int py, int64_t b, double amount) {
    const Window w = ClipWindow(t, px, py, -b, b + 1);
    for (int64_t tx = w.x0; tx <= w.x1; ++tx)
        for (int64_t ty = w.y0; ty <= w.y1; ++ty) {
            if (BrushDistance(tx - px, ty - py) > double(b)) continue;
            const double target = HeightAt(t, tx, ty);
            double sumD = 0.0, sumL = 0.0;
            for (int64_t x = w.x0; x <= w.x1; ++x)
                for (int64_t y = w.y0; y <= w.y1; ++y) {
                    if (x == tx && y == ty) continue;
                    sumD += double(HeightAt(t, x, y)) - target;
                    const double ex = double(tx - x), ey = double(ty - y);
                    sumL += std::sqrt(ex * ex + ey * ey);
                }
            // A window of one vertex has no neighbours to move towards.
            if (sumL > 0.0) HeightAt(t, tx, ty) = float(target + sumD / sumL * amount);
        }
    Relight(t, px, py, b);
}

void Plateau(TerrainModel& t, int px, int py, int64_t b) {
    const Window w = ClipWindow(t, px, py, -b, b + 1);
    for (int64_t x = w.x0; x <= w.x1; ++x)
        for (int64_t y = w.y0; y <= w.y1; ++y)
            if (BrushDistance(x - px, y - py) <= double(b))
                HeightAt(t, x, y) = float(gPlateauHeight);
    Relight(t, px, py, b);
}

}  // namespace

void ApplyTools(int pickedId) {
    if (gWindow == nullptr || gTerrain == nullptr) return;
    TerrainModel& t = *gTerrain;
    const bool left = gWindow->GetLeftButton();
    const bool right = gWindow->GetRightButton();
    const bool overView =
        FlipScreenY(gWindow->GetHeight(), gWindow->GetMouseY()) > kMenuPointerRows;

    // Only an id naming a cell of the grid is used: its four corners
    // (px + 1 <= width, py + 1 <= height) then exist. Anything else counts as
    // no pick.
    const int px = CellIdX(pickedId);
    const int py = CellIdY(pickedId);
    const bool picked = pickedId >= 0 && px < t.width && py < t.height && t.columns != nullptr;
    // Sizes below 1 would divide by zero in the weight; the smallest brush
    // is used instead.
    const int64_t b = std::max<int64_t>(1, gBrushSize);

    // Paint: one vertex per frame, that is one quarter of one tile block;
    // the brush size does not apply.
    if (gEditMode == kModePaint && left && picked && overView) {
        t.columns[px][py].ground = gCurrentGround;
        t.RetileBlock(px, py);
    }

    // Raise and lower; the right button's faster step wins over the left's.
    double amount = 0.0;
    if (left) amount = gEditMode == kModeRaise ? 0.005 : gEditMode == kModeLower ? -0.005 : 0.0;
    if (right) amount = gEditMode == kModeRaise ? 0.02 : gEditMode == kModeLower ? -0.02 : 0.0;
    if (amount != 0.0 && picked && overView) RaiseLower(t, px, py, b, amount);

    double smooth = 0.0;
    if (left) smooth = 0.01;
    if (right) smooth = 1.0 / 15.0;
    if (gEditMode == kModeSmooth && smooth != 0.0 && picked && overView)
        Smooth(t, px, py, b, smooth);

    // A new left press captures the mean height of the picked cell's corners
    // in any mode and anywhere, so the plateau tool can later flatten to it.
    if (left && !gLeftButtonBefore && picked) {
        gPlateauHeight = 0.25 * (double(t.columns[px][py].height) +
                                 double(t.columns[px + 1][py].height) +
                                 double(t.columns[px + 1][py + 1].height) +
                                 double(t.columns[px][py + 1].height));
    }

    if (gEditMode == kModePlateau && left && picked && overView) Plateau(t, px, py, b);

    gLeftButtonBefore = left;
}
