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
// a fixed step per frame. With mirrored cells each tool runs at every cell of
// the list before the next tool runs; each height tool re-lights its own
// window right after it, and that window reaches one vertex past every
// height it changed, so the last re-light of a vertex always comes after the
// last change it depends on.
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
int32_t gSymmetry = kSymmetryOff;
double gPlateauHeight = 0.0;
bool gLeftButtonBefore = false;

void SelectGround(int letter) {
    gCurrentGround = static_cast<char>(letter & 0xFF);
    gEditMode = kModePaint;  // choosing a ground type also picks the paint tool
}

void SetEditMode(int mode) { gEditMode = mode; }

void SetBrushSize(int size) { gBrushSize = size; }

namespace {

// Steps per frame: the left button works gently, the right one faster.
constexpr double kRaiseStep = 0.005;
constexpr double kRaiseStepFast = 0.02;
constexpr double kSmoothStep = 0.01;
constexpr double kSmoothStepFast = 1.0 / 15.0;

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
// later ones see the already smoothed heights. Not clamped. A mirror image
// of the picked cell runs every loop in the mirrored order (columns from
// the right when mirrored left to right, rows from the top when mirrored top
// to bottom), so that it does exactly the mirror of what the picked cell did.
void Smooth(TerrainModel& t, int px, int py, int64_t b, double amount, bool flipX, bool flipY) {
    const Window w = ClipWindow(t, px, py, -b, b + 1);
    const int64_t columns = w.x1 - w.x0, rows = w.y1 - w.y0;
    auto column = [&](int64_t i) { return flipX ? w.x1 - i : w.x0 + i; };
    auto row = [&](int64_t j) { return flipY ? w.y1 - j : w.y0 + j; };
    for (int64_t ti = 0; ti <= columns; ++ti)
        for (int64_t tj = 0; tj <= rows; ++tj) {
            const int64_t tx = column(ti), ty = row(tj);
            if (BrushDistance(tx - px, ty - py) > double(b)) continue;
            const double target = HeightAt(t, tx, ty);
            double sumD = 0.0, sumL = 0.0;
            for (int64_t i = 0; i <= columns; ++i)
                for (int64_t j = 0; j <= rows; ++j) {
                    const int64_t x = column(i), y = row(j);
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

void Plateau(TerrainModel& t, int px, int py, int64_t b, double height) {
    const Window w = ClipWindow(t, px, py, -b, b + 1);
    for (int64_t x = w.x0; x <= w.x1; ++x)
        for (int64_t y = w.y0; y <= w.y1; ++y)
            if (BrushDistance(x - px, y - py) <= double(b)) HeightAt(t, x, y) = float(height);
    Relight(t, px, py, b);
}

// Paint: one vertex per frame, that is one quarter of one tile block, and
// its mirror images; the brush size does not apply.
void Paint(TerrainModel& t, int cellId, char ground, int symmetry) {
    int vertices[kMaxMirroredCells];
    const int count = MirroredVertices(t.width, t.height, cellId, symmetry, vertices);
    for (int i = 0; i < count; ++i) {
        const int x = CellIdX(vertices[i]), y = CellIdY(vertices[i]);
        t.columns[x][y].ground = ground;
        t.RetileBlock(x, y);
    }
}

// The raise and lower step; the right button's faster step wins over the
// left's.
double RaiseAmount(const ToolInput& in) {
    const double sign = in.mode == kModeRaise ? 1.0 : in.mode == kModeLower ? -1.0 : 0.0;
    double amount = 0.0;
    if (in.left) amount = sign * kRaiseStep;
    if (in.right) amount = sign * kRaiseStepFast;
    return amount;
}

double SmoothAmount(const ToolInput& in) {
    double amount = 0.0;
    if (in.left) amount = kSmoothStep;
    if (in.right) amount = kSmoothStepFast;
    return in.mode == kModeSmooth ? amount : 0.0;
}

}  // namespace

void ApplyToolsAt(TerrainModel& t, int cellId, const ToolInput& in, ToolMemory& memory) {
    const bool newPress = memory.left.Pressed(in.left);
    if (t.columns == nullptr) return;
    // Only an id naming a cell of the grid is used: its four corners
    // (px + 1 <= width, py + 1 <= height) then exist, and so do those of
    // its images. Anything else counts as no pick.
    int cells[kMaxMirroredCells];
    const int count = MirroredCells(t.width, t.height, cellId, in.symmetry, cells);
    if (count == 0) return;
    const int px = CellIdX(cellId), py = CellIdY(cellId);
    // Sizes below 1 would divide by zero in the weight; the smallest brush
    // is used instead.
    const int64_t b = std::max<int64_t>(1, in.brush);

    if (in.mode == kModePaint && in.left && in.overView) Paint(t, cellId, in.ground, in.symmetry);

    const double amount = RaiseAmount(in);
    for (int i = 0; i < count && amount != 0.0 && in.overView; ++i)
        RaiseLower(t, CellIdX(cells[i]), CellIdY(cells[i]), b, amount);

    const double smooth = SmoothAmount(in);
    for (int i = 0; i < count && smooth != 0.0 && in.overView; ++i) {
        const int x = CellIdX(cells[i]), y = CellIdY(cells[i]);
        Smooth(t, x, y, b, smooth, x != px, y != py);
    }

    // A new left press captures the mean height of the picked cell's corners
    // in any mode and anywhere, so the plateau tool can later flatten to it.
    if (newPress) {
        memory.plateauHeight = 0.25 * (double(t.columns[px][py].height) +
                                       double(t.columns[px + 1][py].height) +
                                       double(t.columns[px + 1][py + 1].height) +
                                       double(t.columns[px][py + 1].height));
    }

    const bool flatten = in.mode == kModePlateau && in.left && in.overView;
    for (int i = 0; i < count && flatten; ++i)
        Plateau(t, CellIdX(cells[i]), CellIdY(cells[i]), b, memory.plateauHeight);
}

ToolInput FrameToolInput() {
    const bool overView =
        FlipScreenY(gWindow->GetHeight(), gWindow->GetMouseY()) > kMenuPointerRows;
    return {gEditMode, gCurrentGround, gBrushSize, gWindow->GetLeftButton(),
            gWindow->GetRightButton(), overView, gSymmetry};
}

void ApplyTools(int pickedId) {
    if (gWindow == nullptr || gTerrain == nullptr) return;
    ToolMemory memory{PressEdge(gLeftButtonBefore), gPlateauHeight};
    ApplyToolsAt(*gTerrain, pickedId, FrameToolInput(), memory);
    gLeftButtonBefore = memory.left.WasDown();
    gPlateauHeight = memory.plateauHeight;
}
