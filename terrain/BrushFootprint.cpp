// Rings are polylines through points on the brush circle, two per grid
// step of its length, each at the terrain's height there: inside a
// cell the height is that of the cell's triangle under the point (the cell
// is drawn as the triangles (x, y), (x + 1, y), (x, y + 1) and (x + 1, y),
// (x, y + 1), (x + 1, y + 1)). Points beyond the grid are moved onto its
// edge, where the tools stop too. The tint of raise and lower covers the
// cells between the vertices the tools move, each vertex with an opacity
// proportional to its weight max(cos(d / B * pi / 2), 0).
#include "terrain/BrushFootprint.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "gl/GL.h"
#include "math/Matrixvector.h"
#include "terrain/FrameState.h"
#include "terrain/ShapingTools.h"
#include "terrain/TerrainModel.h"
#include "terrain/ToolModes.h"
#include "terrain/TriangleSelection.h"

namespace {

constexpr float kLift = 0.02f;  // lines above the ground, against z-fighting
constexpr float kDarkWidth = 4.0f;
constexpr float kLightWidth = 2.0f;
constexpr float kDark[3] = {0.08f, 0.06f, 0.04f};
constexpr float kLight[3] = {1.0f, 1.0f, 0.92f};
constexpr float kPlateauLight[3] = {0.55f, 0.85f, 1.0f};
constexpr float kRaiseTint[3] = {1.0f, 0.75f, 0.35f};
constexpr float kLowerTint[3] = {0.45f, 0.7f, 1.0f};
constexpr float kTintOpacity = 0.22f;  // light: the ground under it must still read
constexpr float kTintOffsetFactor = -1.0f;
constexpr float kTintOffsetUnits = -2.0f;
constexpr int kPointsPerStep = 2;
constexpr int kMaxRingPoints = 512;

// What one frame's footprint is drawn with.
struct FootprintView {
    FootprintShape shape;
    double plateauHeight;
    float viewOffsetX, viewOffsetY;
};

struct Ring {
    int count = 0;
    float point[kMaxRingPoints][3];
};

float HeightAt(const TerrainModel& t, int x, int y) { return t.columns[x][y].height; }

// Terrain height at grid point (gx, gy), which lies inside the grid.
float GroundHeight(const TerrainModel& t, float gx, float gy) {
    const int x = std::min(int(gx), t.width - 1), y = std::min(int(gy), t.height - 1);
    const float fx = gx - x, fy = gy - y;
    if (fx + fy <= 1.0f) {
        const float h00 = HeightAt(t, x, y);
        return h00 + fx * (HeightAt(t, x + 1, y) - h00) + fy * (HeightAt(t, x, y + 1) - h00);
    }
    const float h11 = HeightAt(t, x + 1, y + 1);
    return h11 + (1.0f - fx) * (HeightAt(t, x, y + 1) - h11) +
           (1.0f - fy) * (HeightAt(t, x + 1, y) - h11);
}

// The circle of radius b around the middle of cell (px, py), on the ground
// or, when flatHeight is given, at that height.
void TraceRing(const TerrainModel& t, const FootprintView& v, int px, int py, int b,
               const double* flatHeight, Ring& ring) {
    const float s = t.spacing;
    ring.count = std::clamp(int(2.0 * kPi * b * kPointsPerStep), 16, kMaxRingPoints);
    for (int k = 0; k < ring.count; ++k) {
        const double angle = 2.0 * kPi * k / ring.count;
        const float gx = std::clamp(float(px + 0.5 + b * std::cos(angle)), 0.0f, float(t.width));
        const float gy = std::clamp(float(py + 0.5 + b * std::sin(angle)), 0.0f, float(t.height));
        ring.point[k][0] = gx * s - v.viewOffsetX;
        ring.point[k][1] = gy * s - v.viewOffsetY;
        ring.point[k][2] = (flatHeight ? float(*flatHeight) : GroundHeight(t, gx, gy)) + kLift;
    }
}

void DrawLoop(const float (*points)[3], int count, const float light[3]) {
    const float* colours[2] = {kDark, light};
    const float widths[2] = {kDarkWidth, kLightWidth};
    for (int pass = 0; pass < 2; ++pass) {
        glLineWidth(widths[pass]);
        glColor3fv(colours[pass]);
        glBegin(GL_LINE_LOOP);
        for (int k = 0; k < count; ++k) glVertex3f(points[k][0], points[k][1], points[k][2]);
        glEnd();
    }
}

void DrawRing(const TerrainModel& t, const FootprintView& v, int px, int py, int b,
              const double* flatHeight, const float light[3]) {
    Ring ring;
    TraceRing(t, v, px, py, b, flatHeight, ring);
    DrawLoop(ring.point, ring.count, light);
}

// The cell's own outline: painting changes the corner (px, py), which is the
// quarter of its 2 x 2 tile block that this cell shows.
void DrawQuarter(const TerrainModel& t, const FootprintView& v, int px, int py) {
    const int corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    float points[4][3];
    for (int k = 0; k < 4; ++k) {
        const int x = px + corners[k][0], y = py + corners[k][1];
        points[k][0] = x * t.spacing - v.viewOffsetX;
        points[k][1] = y * t.spacing - v.viewOffsetY;
        points[k][2] = HeightAt(t, x, y) + kLift;
    }
    DrawLoop(points, 4, kLight);
}

// Cells whose four corners are all moved (offsets 1 - B .. B), one strip up
// each column: (x, y), (x + 1, y), (x, y + 1), (x + 1, y + 1), (x, y + 2), ...
// makes the terrain's own triangles. A polygon offset pulls the tint a
// little towards the eye, so it passes the depth test on the ground it
// covers whatever the rounding of its corners, and hills in front still
// hide it.
void DrawTint(const TerrainModel& t, const FootprintView& v, int px, int py, int b,
              const float tint[3]) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(kTintOffsetFactor, kTintOffsetUnits);
    const float s = t.spacing;
    const int x0 = std::max(0, px + 1 - b), x1 = std::min(t.width - 1, px + b - 1);
    const int y0 = std::max(0, py + 1 - b), y1 = std::min(t.height - 1, py + b - 1);
    for (int x = x0; x <= x1; ++x) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int y = y0; y <= y1 + 1; ++y)
            for (int vx = x; vx <= x + 1; ++vx) {
                glColor4f(tint[0], tint[1], tint[2], kTintOpacity * float(BrushWeight(vx - px, y - py, b)));
                glVertex3f(vx * s - v.viewOffsetX, y * s - v.viewOffsetY, HeightAt(t, vx, y));
            }
        glEnd();
    }
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_BLEND);
}

void DrawAt(const TerrainModel& t, const FootprintView& v, const BrushWindow& w) {
    const int px = w.cellX, py = w.cellY, b = int(w.brush);
    switch (v.shape) {
        case FootprintShape::Paint: DrawQuarter(t, v, px, py); break;
        case FootprintShape::Raise:
        case FootprintShape::Lower:
            DrawTint(t, v, px, py, b, v.shape == FootprintShape::Raise ? kRaiseTint : kLowerTint);
            DrawRing(t, v, px, py, b, nullptr, kLight);
            break;
        case FootprintShape::Plateau:
            DrawRing(t, v, px, py, b, nullptr, kLight);
            DrawRing(t, v, px, py, b, &v.plateauHeight, kPlateauLight);
            break;
        case FootprintShape::Smooth:
        case FootprintShape::Ramp: DrawRing(t, v, px, py, b, nullptr, kLight); break;
        case FootprintShape::None: break;
    }
}

// The band's outline: a half circle of radius b around the far end, the
// straight side back, a half circle around the near end and the other side,
// each sampled at kPointsPerStep points per grid step.
void TraceBand(const TerrainModel& t, const FootprintView& v, int cellA, int cellB, int b,
               Ring& ring) {
    const double ax = CellIdX(cellA) + 0.5, ay = CellIdY(cellA) + 0.5;
    const double bx = CellIdX(cellB) + 0.5, by = CellIdY(cellB) + 0.5;
    const double length = std::hypot(bx - ax, by - ay);
    const double base = length > 0.0 ? std::atan2(bx - ax, -(by - ay)) : 0.0;  // the normal
    const int arc = std::clamp(int(kPi * b * kPointsPerStep), 8, kMaxRingPoints / 4);
    const int side = std::clamp(int(length * kPointsPerStep), 1, kMaxRingPoints / 4);
    ring.count = 0;
    auto add = [&](double gx, double gy) {
        gx = std::clamp(gx, 0.0, double(t.width));
        gy = std::clamp(gy, 0.0, double(t.height));
        float* p = ring.point[ring.count++];
        p[0] = float(gx) * t.spacing - v.viewOffsetX;
        p[1] = float(gy) * t.spacing - v.viewOffsetY;
        p[2] = GroundHeight(t, float(gx), float(gy)) + kLift;
    };
    const double ends[2][2] = {{bx, by}, {ax, ay}};
    for (int e = 0; e < 2; ++e) {
        for (int k = 0; k <= arc; ++k) {
            const double angle = base - kPi * (e + double(k) / arc);
            add(ends[e][0] + b * std::cos(angle), ends[e][1] + b * std::sin(angle));
        }
        // The side from this end's last arc point towards the other end.
        const double angle = base - kPi * (e + 1);
        const double ox = b * std::cos(angle), oy = b * std::sin(angle);
        const double* to = ends[1 - e];
        for (int k = 1; k < side; ++k) {
            const double s = double(k) / side;
            add(ends[e][0] + s * (to[0] - ends[e][0]) + ox, ends[e][1] + s * (to[1] - ends[e][1]) + oy);
        }
    }
}

}  // namespace

void DrawRampBand(const TerrainModel& t, const FrameState& frame, const HeldRamp& ramp,
                  float viewOffsetX, float viewOffsetY) {
    const int count = std::min(ramp.count, frame.cellCount);
    if (t.columns == nullptr || count == 0) return;
    const FootprintView v{FootprintShape::Ramp, 0.0, viewOffsetX, viewOffsetY};
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    Ring ring;
    for (int k = 0; k < count; ++k) {
        TraceBand(t, v, ramp.cells[k], frame.cells[k], int(frame.windows[k].brush), ring);
        DrawLoop(ring.point, ring.count, kLight);
    }
    glLineWidth(1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
}

void DrawBrushFootprint(const TerrainModel& t, const FrameState& frame, double plateauHeight,
                        float viewOffsetX, float viewOffsetY) {
    const ToolMode* tool = FindToolMode(frame.settings.mode);
    if (tool == nullptr || tool->footprint == FootprintShape::None || t.columns == nullptr ||
        frame.cellCount == 0)
        return;
    const FootprintView v{tool->footprint, plateauHeight, viewOffsetX, viewOffsetY};
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    for (int k = 0; k < frame.cellCount; ++k) DrawAt(t, v, frame.windows[k]);
    glLineWidth(1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
}

void DrawGroundOutline(const TerrainModel& t, int x0, int y0, int x1, int y1, float viewOffsetX,
                       float viewOffsetY) {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, t.width), y1 = std::min(y1, t.height);
    if (t.columns == nullptr || x0 > x1 || y0 > y1) return;
    std::vector<std::array<float, 3>> loop;
    auto add = [&](int x, int y) {
        loop.push_back({x * t.spacing - viewOffsetX, y * t.spacing - viewOffsetY,
                        HeightAt(t, x, y) + kLift});
    };
    for (int x = x0; x < x1; ++x) add(x, y0);
    for (int y = y0; y < y1; ++y) add(x1, y);
    for (int x = x1; x > x0; --x) add(x, y1);
    for (int y = y1; y > y0; --y) add(x0, y);
    if (loop.empty()) add(x0, y0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    DrawLoop(reinterpret_cast<const float(*)[3]>(loop.data()), int(loop.size()), kLight);
    glLineWidth(1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
}
