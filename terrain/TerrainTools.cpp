// The terrain editing tools and their settings.
//
// The height tools work on the brush window of offsets -B .. B + 1 (raise
// and lower on 1 - B .. B, where the weight is not yet 0) and re-light that
// window, one vertex wider than what they changed. Every loop is clipped to
// the grid, so vertices outside it are never touched. All sums are formed in
// double; heights are stored back as floats. Every tool is a fixed step per
// frame. With mirrored cells each tool runs at every cell of the list in
// turn; each height tool re-lights its own window right after it, and that
// window reaches one vertex past every height it changed, so the last
// re-light of a vertex always comes after the last change it depends on.
//
// Smoothing moves every target within distance B towards the mean slope of
// the whole window: D = sum over the other window vertices e of
// (h(e) - h(target)), L = sum of the distances to them, h += D / L * step,
// targets updated in place in loop order. D is S - N * h(target), where S is
// the window's sum, kept up to date as each target changes, and N the count
// of its vertices; L depends only on how far the window reaches from the
// target in each of the four directions, and comes from a table of
// quarter-window distance sums kept for the largest window met. So a frame
// costs the window's area, not its square. The results equal the plain
// double sums up to the order of the additions (the last bit of a float).
#include "terrain/TerrainTools.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gl/OpenGLFullscreen.h"
#include "platform/Platform.h"
#include "terrain/EditHistory.h"
#include "terrain/TerrainModel.h"
#include "terrain/ToolModes.h"
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

float& HeightAt(TerrainModel& t, int64_t x, int64_t y) { return t.columns[x][y].height; }

// Normals and brightness go stale when a neighbour's height changes, so the
// height tools re-light their whole brush window.
void Relight(TerrainModel& t, const BrushWindow& w) {
    for (int64_t x = w.x0; x <= w.x1; ++x)
        for (int64_t y = w.y0; y <= w.y1; ++y) t.RelightVertex(int(x), int(y));
}

// Cosine-weighted step, clamped to the model's height limits.
void RaiseLower(TerrainModel& t, const BrushWindow& w, double amount) {
    const int64_t px = w.cellX, py = w.cellY, b = w.brush;
    const int64_t x0 = std::max(w.x0, px + 1 - b), x1 = std::min(w.x1, px + b);
    const int64_t y0 = std::max(w.y0, py + 1 - b), y1 = std::min(w.y1, py + b);
    for (int64_t x = x0; x <= x1; ++x)
        for (int64_t y = y0; y <= y1; ++y) {
            double h = double(HeightAt(t, x, y)) + BrushWeight(x - px, y - py, b) * amount;
            if (h < t.minHeight) h = t.minHeight;
            if (h > t.maxHeight) h = t.maxHeight;
            HeightAt(t, x, y) = float(h);
        }
    Relight(t, w);
}

// Distance sums over quarter windows: g[a * side + b] is the sum of
// sqrt(i^2 + j^2) over 0 <= i <= a, 0 <= j <= b, for reaches a and b below
// `side`. A window reaches at most 2B + 1 vertices from a target and no
// further than the grid, so the table grows to the largest window met (66
// a side at brush 32) and is kept.
struct QuarterSums {
    int64_t side = 0;
    std::vector<double> g;
};
QuarterSums sQuarterSums;

const QuarterSums& QuarterSumsFor(int64_t side) {
    QuarterSums& q = sQuarterSums;
    if (q.side >= side) return q;
    q.side = side;
    q.g.assign(size_t(side * side), 0.0);
    for (int64_t a = 0; a < side; ++a) {
        double column = 0.0;  // this a's sum over j = 0 .. b
        for (int64_t b = 0; b < side; ++b) {
            column += std::sqrt(double(a * a + b * b));
            q.g[size_t(a * side + b)] = (a > 0 ? q.g[size_t((a - 1) * side + b)] : 0.0) + column;
        }
    }
    return q;
}

// The sum of the distances from a vertex to every other vertex of a window
// that reaches left, right, down and up of it by the given counts. The four
// quarters each hold the vertex's own row and column, so those are taken off
// once each (the sum 0 + 1 + ... + n along an axis). Added in an order that
// mirroring the window leaves the same.
double DistanceSum(const QuarterSums& q, int64_t left, int64_t right, int64_t down, int64_t up) {
    auto g = [&](int64_t a, int64_t b) { return q.g[size_t(a * q.side + b)]; };
    auto axis = [](int64_t n) { return 0.5 * double(n) * double(n + 1); };
    return ((g(left, down) + g(right, down)) + (g(left, up) + g(right, up))) -
           ((axis(left) + axis(right)) + (axis(down) + axis(up)));
}

// A mirror image of the picked cell runs every loop in the mirrored order
// (columns from the right when mirrored left to right, rows from the top when
// mirrored top to bottom), so that it does exactly the mirror of what the
// picked cell did. Not clamped.
void Smooth(TerrainModel& t, const BrushWindow& w, double amount, bool flipX, bool flipY) {
    const int64_t px = w.cellX, py = w.cellY, b = w.brush;
    const int64_t columns = w.x1 - w.x0, rows = w.y1 - w.y0;
    auto column = [&](int64_t i) { return flipX ? w.x1 - i : w.x0 + i; };
    auto row = [&](int64_t j) { return flipY ? w.y1 - j : w.y0 + j; };
    const QuarterSums& q = QuarterSumsFor(std::max(columns, rows) + 1);
    const double n = double((columns + 1) * (rows + 1));
    double sum = 0.0;
    for (int64_t i = 0; i <= columns; ++i)
        for (int64_t j = 0; j <= rows; ++j) sum += double(HeightAt(t, column(i), row(j)));
    for (int64_t ti = 0; ti <= columns; ++ti)
        for (int64_t tj = 0; tj <= rows; ++tj) {
            const int64_t tx = column(ti), ty = row(tj);
            if (BrushDistance(tx - px, ty - py) > double(b)) continue;
            const double sumL = DistanceSum(q, tx - w.x0, w.x1 - tx, ty - w.y0, w.y1 - ty);
            // A window of one vertex has no neighbours to move towards.
            if (!(sumL > 0.0)) continue;
            const double target = HeightAt(t, tx, ty);
            const float moved = float(target + (sum - n * target) / sumL * amount);
            sum += double(moved) - target;
            HeightAt(t, tx, ty) = moved;
        }
    Relight(t, w);
}

// At full strength the height is set, as defined; below it moves by the
// share of the way.
void Plateau(TerrainModel& t, const BrushWindow& w, double height, double share) {
    for (int64_t x = w.x0; x <= w.x1; ++x)
        for (int64_t y = w.y0; y <= w.y1; ++y)
            if (BrushDistance(x - w.cellX, y - w.cellY) <= double(w.brush)) {
                float& h = HeightAt(t, x, y);
                h = share == 1.0 ? float(height) : float(double(h) + share * (height - double(h)));
            }
    Relight(t, w);
}

// The wide paint brush: every vertex within distance B, as plateau; only
// the blocks of vertices whose letter changed are chosen again, so a held
// brush does not shuffle the tiles it already painted.
void PaintDisc(TerrainModel& t, const BrushWindow& w, char ground) {
    std::vector<int32_t> changed;
    for (int64_t x = w.x0; x <= w.x1; ++x)
        for (int64_t y = w.y0; y <= w.y1; ++y) {
            char& letter = t.columns[x][y].ground;
            if (BrushDistance(x - w.cellX, y - w.cellY) > double(w.brush) || letter == ground)
                continue;
            letter = ground;
            changed.push_back(MakeCellId(int(x), int(y)));
        }
    if (!changed.empty()) t.RetileBlocks(changed);
}

}  // namespace

// Paint: one vertex per frame, that is one quarter of one tile block, and
// its mirror images; the brush size does not apply.
void ApplyPaint(TerrainModel& t, const FrameState& f, ToolMemory&) {
    if (!f.input.left) return;
    if (f.input.keys != nullptr && f.input.keys[plat::VK_SHIFT]) {
        for (int i = 0; i < f.cellCount; ++i) PaintDisc(t, f.windows[i], f.settings.ground);
        return;
    }
    int vertices[kMaxMirroredCells];
    const int count = MirroredVertices(t.width, t.height, f.picked, f.settings.symmetry, vertices);
    for (int i = 0; i < count; ++i) {
        const int x = CellIdX(vertices[i]), y = CellIdY(vertices[i]);
        t.columns[x][y].ground = f.settings.ground;
        t.RetileBlock(x, y);
    }
}

// The right button's faster step wins over the left's.
void ApplyRaiseLower(TerrainModel& t, const FrameState& f, ToolMemory&) {
    const double sign = f.settings.mode == kModeLower ? -1.0 : 1.0;
    double amount = 0.0;
    if (f.input.left) amount = sign * kRaiseStep;
    if (f.input.right) amount = sign * kRaiseStepFast;
    amount *= StrengthShare(f.settings.strength);
    for (int i = 0; i < f.cellCount && amount != 0.0; ++i) RaiseLower(t, f.windows[i], amount);
}

void ApplySmooth(TerrainModel& t, const FrameState& f, ToolMemory&) {
    double amount = 0.0;
    if (f.input.left) amount = kSmoothStep;
    if (f.input.right) amount = kSmoothStepFast;
    amount *= StrengthShare(f.settings.strength);
    const int px = CellIdX(f.picked), py = CellIdY(f.picked);
    for (int i = 0; i < f.cellCount && amount != 0.0; ++i) {
        const BrushWindow& w = f.windows[i];
        Smooth(t, w, amount, w.cellX != px, w.cellY != py);
    }
}

void ApplyPlateau(TerrainModel& t, const FrameState& f, ToolMemory& memory) {
    for (int i = 0; i < f.cellCount && f.input.left; ++i)
        Plateau(t, f.windows[i], memory.plateauHeight, StrengthShare(f.settings.strength));
}

void ApplyToolsAt(TerrainModel& t, const FrameState& f, ToolMemory& memory) {
    KeepShapingMemory(f, memory.shaping);
    if (t.columns == nullptr || f.picked == kNoCell) return;
    const ToolMode* tool = FindToolMode(f.settings.mode);
    const bool acts = tool != nullptr && f.cellCount > 0;
    if (acts && !tool->afterCapture) tool->apply(t, f, memory);
    // A new left press captures the mean height of the picked cell's corners
    // in any mode and anywhere, so the plateau tool can later flatten to it.
    if (f.leftPressed) {
        const int px = CellIdX(f.picked), py = CellIdY(f.picked);
        memory.plateauHeight = 0.25 * (double(t.columns[px][py].height) +
                                       double(t.columns[px + 1][py].height) +
                                       double(t.columns[px + 1][py + 1].height) +
                                       double(t.columns[px][py + 1].height));
    }
    if (acts && tool->afterCapture) tool->apply(t, f, memory);
}

FrameState ToolFrameState(const TerrainModel& t, int cellId, const ToolInput& in,
                          bool leftPressed) {
    const FrameInput input{0, 0, 0, 0, nullptr, in.left, in.right};
    const ToolSettings settings{in.mode, in.ground, in.brush, in.symmetry, in.strength};
    return BuildFrameState(t, input, settings, cellId, !leftPressed, in.overView);
}

void ApplyToolsAt(TerrainModel& t, int cellId, const ToolInput& in, ToolMemory& memory) {
    const bool pressed = memory.left.Pressed(in.left);
    ApplyToolsAt(t, ToolFrameState(t, cellId, in, pressed), memory);
}

void ApplyFrameTools(const FrameState& frame) {
    if (gTerrain == nullptr) return;
    ToolMemory memory{PressEdge(gLeftButtonBefore), gPlateauHeight, EditorShapingMemory(),
                      &gEditHistory};
    ApplyToolsAt(*gTerrain, frame, memory);
    gLeftButtonBefore = frame.input.left;
    gPlateauHeight = memory.plateauHeight;
    EditorShapingMemory() = memory.shaping;
}

void ApplyTools(int pickedId) {
    if (gWindow == nullptr || gTerrain == nullptr) return;
    ApplyFrameTools(EditorFrameState(ReadFrameInput(), pickedId));
}
