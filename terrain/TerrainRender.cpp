// Terrain drawing: visible region, cells, highlight of the picked cell.
//
// Conventions: see TerrainRender.h. Terrain plane (u, v) = world (x, y) plus
// (ViewOffsetX, ViewOffsetY). Each cell is one GL_TRIANGLE_STRIP over its
// corners (x, y), (x + 1, y), (x, y + 1), (x + 1, y + 1), so its diagonal
// runs from (x + 1, y) to (x, y + 1) and both triangles are counter-clockwise
// seen from +z (back-face culling hides the ground from below). The texture
// coordinates of all four corners come from the cell's own vertex record.
#include "terrain/TerrainRender.h"

#include <algorithm>
#include <cmath>

#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "terrain/FrameUpdate.h"
#include "terrain/TerrainModel.h"
#include "terrain/TriangleSelection.h"

VisibleSpanList gVisibleSpans = {};

namespace {

// Angle of the footprint's corner directions, pi / 4 as the single-precision
// constant 0.785398; its tangent (1.0) scales the four directions below.
constexpr float kFootprintAngle = 0.785398f;

// Footprint corners of the last ComputeVisibleRegion, before and after the
// widening.
struct ViewRegion {
    Vector4 corners[4];
    Vector4 footprint[4];
};
ViewRegion sRegion;

// Truncation toward zero that saturates instead of overflowing: a nearly
// singular view can put footprint corners arbitrarily far away (or make them
// non-finite), and a float-to-int conversion out of range is undefined. The
// bound is far beyond any grid size, so in-range values truncate as usual.
int TruncToInt(float value) {
    const float limit = 1.0e9f;
    if (std::isnan(value)) return 0;
    if (value >= limit) return static_cast<int>(limit);
    if (value <= -limit) return -static_cast<int>(limit);
    return static_cast<int>(value);
}

// Widens u-interval [lo, hi] by the crossing of edge P -> Q with the line
// v = line, if the edge strictly crosses it. A corner lying exactly on the
// line does not count for either of its edges.
void AddCrossing(const Vector4& p, const Vector4& q, float line, float& lo, float& hi) {
    if ((p.y < line && line < q.y) || (p.y > line && line > q.y)) {
        float u = p.x + (line - p.y) * (p.x - q.x) / (p.y - q.y);
        lo = std::min(lo, u);
        hi = std::max(hi, u);
    }
}

}  // namespace

const Vector4* FootprintCorners() {
    return sRegion.footprint;
}

const Vector4* ViewCorners() {
    return sRegion.corners;
}

void RasteriseFootprint(const Vector4 corners[4]) {
    const float s = gTerrain->spacing;

    float minU = corners[0].x, maxU = corners[0].x;
    float minV = corners[0].y, maxV = corners[0].y;
    for (int k = 1; k < 4; ++k) {
        minU = std::min(minU, corners[k].x);
        maxU = std::max(maxU, corners[k].x);
        minV = std::min(minV, corners[k].y);
        maxV = std::max(maxV, corners[k].y);
    }

    gVisibleSpans.count = 0;
    const int rowFirst = std::max(0, TruncToInt(minV / s));
    const int rowLast = std::min(gTerrain->height - 1, TruncToInt(maxV / s));
    const int colFirst = std::max(0, TruncToInt(minU / s));
    const int colLast = std::min(gTerrain->width - 1, TruncToInt(maxU / s));

    for (int r = rowFirst; r <= rowLast && gVisibleSpans.count < kMaxVisibleSpans; ++r) {
        const float vb = static_cast<float>(r) * s;
        const float vt = static_cast<float>(r + 1) * s;
        // Starting inverted makes a row that no edge crosses an empty span.
        float lo = maxU, hi = minU;
        for (int k = 0; k < 4; ++k) {
            const Vector4& p = corners[k];
            const Vector4& q = corners[(k + 1) % 4];
            AddCrossing(p, q, vt, lo, hi);
            AddCrossing(p, q, vb, lo, hi);
        }
        VisibleSpan& span = gVisibleSpans.spans[gVisibleSpans.count++];
        span.row = r;
        span.firstColumn = std::max(colFirst, TruncToInt(lo / s));
        span.lastColumn = std::min(colLast, TruncToInt(hi / s));
    }
}

void ComputeVisibleRegion(Matrix4 viewProjection) {
    const float s = gTerrain->spacing;
    const Matrix4& m = viewProjection;

    // The ground plane z = 0 in clip space: origin o and the two cell edges.
    const Vector4 o = Matrix4::Transform(m, Vector4(0.0f, 0.0f, 0.0f));
    const Vector4 ex = Vector4::Subtract(Matrix4::Transform(m, Vector4(s, 0.0f, 0.0f)), o);
    const Vector4 ey = Vector4::Subtract(Matrix4::Transform(m, Vector4(0.0f, s, 0.0f)), o);

    const float t = std::tan(kFootprintAngle);
    const float a = static_cast<float>(gWindow->GetWidth()) /
                    static_cast<float>(gWindow->GetHeight());
    // Sight directions of the four view corners; the view reaches further
    // ahead (1.4) than back (0.7) because the far rows are what scrolls in.
    const float dirs[4][3] = {
        {-t * a, 1.4f * t, 1.0f},
        {t * a, 1.4f * t, 1.0f},
        {t * a, -0.7f * t, 1.0f},
        {-t * a, -0.7f * t, 1.0f},
    };

    // Solve alpha * ex + beta * ey + gamma * d = -o per corner: (alpha * s,
    // beta * s, 0) is where that sight line meets the ground. A singular
    // system inverts to zeros and puts the corner on the view offset.
    UniversalMatrix* solver = new UniversalMatrix(3, 3);
    UniversalVector* rhs = new UniversalVector(3);
    Vector4 sum(0.0f, 0.0f, 0.0f);
    for (int k = 0; k < 4; ++k) {
        float* e = solver->data;
        e[0] = ex.x;       e[1] = ex.y;       e[2] = ex.z;
        e[3] = ey.x;       e[4] = ey.y;       e[5] = ey.z;
        e[6] = dirs[k][0]; e[7] = dirs[k][1]; e[8] = dirs[k][2];
        rhs->data[0] = -o.x;
        rhs->data[1] = -o.y;
        rhs->data[2] = -o.z;
        solver->Invert();
        rhs->MultiplyBy(*solver);
        sRegion.footprint[k] = Vector4(rhs->data[0] * s + ViewOffsetX, rhs->data[1] * s + ViewOffsetY,
                                0.0f);
        sum = Vector4::Add(sum, sRegion.footprint[k]);
    }
    delete solver;
    delete rhs;

    // Widen around the centre so cells whose corners poke into a row band
    // without an edge crossing there are still covered.
    const Vector4 centre = Vector4::Scale(sum, 0.25f);
    for (int k = 0; k < 4; ++k) {
        sRegion.corners[k] = sRegion.footprint[k];
        sRegion.footprint[k] = Vector4::Add(
            centre, Vector4::Scale(Vector4::Subtract(sRegion.footprint[k], centre), 1.2f));
    }

    RasteriseFootprint(sRegion.footprint);
}

void DrawCell(int x, int y, bool pick, bool useColours) {
    const TerrainModel& terrain = *gTerrain;
    const float s = terrain.spacing;
    const float x0 = static_cast<float>(x) * s - ViewOffsetX;
    const float y0 = static_cast<float>(y) * s - ViewOffsetY;
    const TerrainVertex& v = terrain.columns[x][y];
    const TerrainVertex* corner[4] = {&terrain.columns[x][y], &terrain.columns[x + 1][y],
                                      &terrain.columns[x][y + 1],
                                      &terrain.columns[x + 1][y + 1]};
    const float px[4] = {x0, x0 + s, x0, x0 + s};
    const float py[4] = {y0, y0, y0 + s, y0 + s};

    glBindTexture(GL_TEXTURE_2D, v.tileTexture);
    glBegin(GL_TRIANGLE_STRIP);
    for (int k = 0; k < 4; ++k) {
        glNormal3fv(corner[k]->normal);
        if (useColours) glColor3fv(corner[k]->colour);
        glTexCoord2f(v.tileU[k], v.tileV[k]);
        glVertex3f(px[k], py[k], corner[k]->height);
    }
    glEnd();

    if (pick) {
        // Consecutive, so the two triangles are corners 0..2 and 1..3.
        const Vector4 points[4] = {
            Vector4(px[0], py[0], corner[0]->height),
            Vector4(px[1], py[1], corner[1]->height),
            Vector4(px[2], py[2], corner[2]->height),
            Vector4(px[3], py[3], corner[3]->height),
        };
        const int id = MakeCellId(x, y);
        TestTriangle(id, &points[0]);
        TestTriangle(id, &points[1]);
    }
}

void DrawTerrain(Matrix4 viewProjection) {
    ComputeVisibleRegion(viewProjection);
    // The selection counts rows upward from the bottom of the screen.
    BeginPicking(viewProjection, gWindow->GetMouseX(),
                 static_cast<int>(FlipScreenY(gWindow->GetHeight(), gWindow->GetMouseY())));

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (LightingEnabled) {
        glEnable(GL_LIGHTING);
    } else {
        glDisable(GL_LIGHTING);
    }

    for (int i = 0; i < gVisibleSpans.count; ++i) {
        const VisibleSpan& span = gVisibleSpans.spans[i];
        for (int x = span.firstColumn; x <= span.lastColumn; ++x) {
            DrawCell(x, span.row, true, true);
        }
    }

    const int picked = PickedCell();
    if (picked != kNoCell) {
        // Flat highlight over everything; offering the triangles again can
        // only pick the same cell, so the picked cell stays as read here.
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glColor3fv(HighlightColour);
        DrawCell(CellIdX(picked), CellIdY(picked), true, false);
        glEnable(GL_DEPTH_TEST);
    }
}
