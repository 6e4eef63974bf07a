// Tests of the terrain drawing: the footprint rows, the visible region of
// real cameras, one cell's strip (orientation, texture coordinates, colours,
// picking) and the state the terrain pass leaves. Real OpenGL through the
// headless backend, 1280 x 1024; cells are checked by reading pixels back.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/Editor.h"
#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "terrain/FrameUpdate.h"
#include "terrain/TerrainModel.h"
#include "terrain/TerrainRender.h"
#include "terrain/TriangleSelection.h"
#include "tests/support/EditorFixture.h"

namespace {

constexpr int kW = 1280;
constexpr int kH = 1024;

class TerrainRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testeditor::Start(256));
        gTerrain->ShadeAll();
    }
    void TearDown() override { testeditor::Stop(); }

    // Projection x modelview of the camera the frame update would set.
    static Matrix4 CameraMatrix() { return testeditor::SetFrameCamera(); }

    static void ExpectWellFormed(const char* what) {
        SCOPED_TRACE(what);
        ASSERT_GE(gVisibleSpans.count, 0);
        ASSERT_LE(gVisibleSpans.count, kMaxVisibleSpans);
        for (int i = 0; i < gVisibleSpans.count; ++i) {
            const VisibleSpan& span = gVisibleSpans.spans[i];
            EXPECT_GE(span.row, 0);
            EXPECT_LE(span.row, gTerrain->height - 1);
            if (i > 0) {
                EXPECT_EQ(span.row, gVisibleSpans.spans[i - 1].row + 1);
            }
            if (span.firstColumn <= span.lastColumn) {
                EXPECT_GE(span.firstColumn, 0);
                EXPECT_LE(span.lastColumn, gTerrain->width - 1);
            }
        }
    }
};

// The footprint worked out on its own, in double precision by Cramer's
// rule: view corner k meets the ground at the point (a, b, 0) whose clip
// position (x, y, z) is parallel to the corner's sight direction; the four
// points are then widened by 1.2 about their centre.
void ExpectFootprint(const Matrix4& m) {
    const double t = 1.0, aspect = double(kW) / kH;
    const double dirs[4][3] = {{-t * aspect, 1.4 * t, 1}, {t * aspect, 1.4 * t, 1},
                               {t * aspect, -0.7 * t, 1}, {-t * aspect, -0.7 * t, 1}};
    // Clip x, y, z of world (a, b, 0) = o + a * ex + b * ey.
    double o[3], ex[3], ey[3];
    for (int i = 0; i < 3; ++i) {
        o[i] = m.m[12 + i];
        ex[i] = m.m[0 + i];
        ey[i] = m.m[4 + i];
    }
    auto det = [](const double* c0, const double* c1, const double* c2) {
        return c0[0] * (c1[1] * c2[2] - c1[2] * c2[1]) - c1[0] * (c0[1] * c2[2] - c0[2] * c2[1]) +
               c2[0] * (c0[1] * c1[2] - c0[2] * c1[1]);
    };
    double u[4], v[4], cu = 0, cv = 0;
    const double minusO[3] = {-o[0], -o[1], -o[2]};
    for (int k = 0; k < 4; ++k) {
        const double d = det(ex, ey, dirs[k]);
        ASSERT_NE(d, 0.0);
        u[k] = det(minusO, ey, dirs[k]) / d + ViewOffsetX;
        v[k] = det(ex, minusO, dirs[k]) / d + ViewOffsetY;
        cu += u[k] / 4;
        cv += v[k] / 4;
    }
    const Vector4* q = FootprintCorners();
    for (int k = 0; k < 4; ++k) {
        const double wu = cu + (u[k] - cu) * 1.2, wv = cv + (v[k] - cv) * 1.2;
        EXPECT_NEAR(q[k].x, wu, 1e-3 * (1 + std::fabs(wu))) << "corner " << k;
        EXPECT_NEAR(q[k].y, wv, 1e-3 * (1 + std::fabs(wv))) << "corner " << k;
    }
}

// Four corners (u, v) in terrain plane coordinates.
void Quad(Vector4 c[4], float u0, float v0, float u1, float v1, float u2, float v2, float u3,
          float v3) {
    c[0] = Vector4(u0, v0, 0);
    c[1] = Vector4(u1, v1, 0);
    c[2] = Vector4(u2, v2, 0);
    c[3] = Vector4(u3, v3, 0);
}

void ExpectSpan(int i, int row, int first, int last) {
    SCOPED_TRACE(i);
    ASSERT_LT(i, gVisibleSpans.count);
    EXPECT_EQ(gVisibleSpans.spans[i].row, row);
    EXPECT_EQ(gVisibleSpans.spans[i].firstColumn, first);
    EXPECT_EQ(gVisibleSpans.spans[i].lastColumn, last);
}

bool Empty(int i) {
    return gVisibleSpans.spans[i].firstColumn > gVisibleSpans.spans[i].lastColumn;
}

TEST_F(TerrainRenderTest, TrapezoidRowsFollowTheEdgeCrossings) {
    // Left edge u = v + 0.05, right edge u = 2.95 - v, v from 0.15 to 1.05;
    // with s = 0.3 the rows 0..3 reach from the crossings at their lines.
    Vector4 c[4];
    Quad(c, 0.2f, 0.15f, 2.8f, 0.15f, 1.9f, 1.05f, 1.1f, 1.05f);
    RasteriseFootprint(c);
    ASSERT_EQ(gVisibleSpans.count, 4);
    ExpectSpan(0, 0, 1, 8);
    ExpectSpan(1, 1, 1, 8);
    ExpectSpan(2, 2, 2, 7);
    ExpectSpan(3, 3, 3, 6);
}

TEST_F(TerrainRenderTest, CornersOnARowLineOrInsideABandDoNotWidenIt) {
    const float s = gTerrain->spacing;
    // The top corner lies exactly on the line v = 2s: row 2 has no strict
    // crossing and stays empty.
    Vector4 c[4];
    Quad(c, 1.0f, 0.05f, 2.0f, 0.05f, 2.0f, 0.5f, 1.5f, 2.0f * s);
    RasteriseFootprint(c);
    ASSERT_EQ(gVisibleSpans.count, 3);
    EXPECT_EQ(gVisibleSpans.spans[2].row, 2);
    EXPECT_TRUE(Empty(2));

    // A left side with its kink exactly on v = 2s: the corner is no
    // crossing for either edge, so rows 1 and 2 reach only as far left as
    // the real crossings; the same in either winding of the quadrilateral.
    Quad(c, 1.0f, 0.05f, 2.95f, 0.05f, 2.95f, 1.1f, 0.35f, 2.0f * s);
    const Vector4 reversed[4] = {c[0], c[3], c[2], c[1]};
    for (const Vector4* quad : {static_cast<const Vector4*>(c), reversed}) {
        RasteriseFootprint(quad);
        ASSERT_EQ(gVisibleSpans.count, 4);
        ExpectSpan(0, 0, 2, 9);
        ExpectSpan(1, 1, 2, 9);
        ExpectSpan(2, 2, 6, 9);
        ExpectSpan(3, 3, 6, 9);
    }

    // Wholly inside row 4's band: one span, empty because nothing crosses.
    Quad(c, 1.0f, 4.1f * s, 2.0f, 4.1f * s, 2.0f, 4.9f * s, 1.0f, 4.9f * s);
    RasteriseFootprint(c);
    ASSERT_EQ(gVisibleSpans.count, 1);
    EXPECT_EQ(gVisibleSpans.spans[0].row, 4);
    EXPECT_TRUE(Empty(0));

    // Narrower than a cell: lo = maxU and hi = minU fall in the same column.
    Quad(c, 1.0f, 4.1f * s, 1.05f, 4.1f * s, 1.05f, 4.9f * s, 1.0f, 4.9f * s);
    RasteriseFootprint(c);
    ExpectSpan(0, 4, 3, 3);
}

TEST_F(TerrainRenderTest, FootprintJustBelowTheMapGivesOneRowZeroSpan) {
    Vector4 c[4];
    Quad(c, 1.0f, -0.25f, 5.0f, -0.25f, 5.0f, -0.05f, 1.0f, -0.05f);
    RasteriseFootprint(c);
    ASSERT_EQ(gVisibleSpans.count, 1);
    EXPECT_EQ(gVisibleSpans.spans[0].row, 0);
    EXPECT_TRUE(Empty(0));

    // Far below the map: no rows at all.
    Quad(c, 1.0f, -30.0f, 5.0f, -30.0f, 5.0f, -2.0f, 1.0f, -2.0f);
    RasteriseFootprint(c);
    EXPECT_EQ(gVisibleSpans.count, 0);
}

TEST_F(TerrainRenderTest, SpansAreClampedToTheGridAndToOneHundredRows) {
    // Much larger than the map: every span clamps to columns 0..255, and the
    // list stops at its 100 lowest rows instead of overrunning.
    Vector4 c[4];
    Quad(c, -50.0f, -50.0f, 150.0f, -40.0f, 140.0f, 150.0f, -40.0f, 140.0f);
    RasteriseFootprint(c);
    ASSERT_EQ(gVisibleSpans.count, kMaxVisibleSpans);
    for (int i = 0; i < kMaxVisibleSpans; ++i) ExpectSpan(i, i, 0, 255);

    // Corners thrown out to absurd distances (a view nearly along the
    // ground) and even non-finite ones neither crash nor leave the grid.
    Quad(c, -1e30f, -1e30f, 1e30f, -1e30f, 1e30f, 1e30f, -1e30f, 1e30f);
    RasteriseFootprint(c);
    ExpectWellFormed("huge");
    Quad(c, NAN, 0.0f, INFINITY, 1.0f, 2.0f, -INFINITY, 0.5f, NAN);
    RasteriseFootprint(c);
    ExpectWellFormed("non-finite");

    // Beyond the last row and column: nothing.
    Quad(c, 100.0f, 100.0f, 110.0f, 100.0f, 110.0f, 110.0f, 100.0f, 110.0f);
    RasteriseFootprint(c);
    ExpectWellFormed("beyond");
    for (int i = 0; i < gVisibleSpans.count; ++i) EXPECT_TRUE(Empty(i));
}

TEST_F(TerrainRenderTest, RealCamerasGiveWellFormedRegionsAroundTheTarget) {
    const float s = gTerrain->spacing;
    const float offsets[][2] = {{0, 0}, {30, 30}, {76, 76}, {-5, 40}, {1000, 0}};
    for (const auto& offset : offsets) {
        for (float height : {6.0f, 2.5f}) {
            for (float heading = 0.0f; heading < 360.0f; heading += 30.0f) {
                ViewOffsetX = offset[0];
                ViewOffsetY = offset[1];
                CameraHeight = height;
                CameraHeading = heading;
                const Matrix4 m = CameraMatrix();
                ComputeVisibleRegion(m);
                ExpectWellFormed("camera");
                ExpectFootprint(m);

                // The orbit centre, the ground point the view looks at, must
                // lie inside the footprint quadrilateral.
                const Vector4* q = FootprintCorners();
                const float tu = CameraTargetX + ViewOffsetX, tv = CameraTargetY + ViewOffsetY;
                int positive = 0;
                for (int k = 0; k < 4; ++k) {
                    const Vector4& a = q[k];
                    const Vector4& b = q[(k + 1) % 4];
                    const float cross = (b.x - a.x) * (tv - a.y) - (b.y - a.y) * (tu - a.x);
                    positive += cross > 0.0f ? 1 : 0;
                }
                EXPECT_TRUE(positive == 0 || positive == 4)
                    << "heading " << heading << " height " << height;

                // Over the middle of the map the target cell is in its row's span.
                if (offset[0] == 30.0f) {
                    const int tx = int(tu / s), ty = int(tv / s);
                    bool found = false;
                    for (int i = 0; i < gVisibleSpans.count; ++i) {
                        const VisibleSpan& span = gVisibleSpans.spans[i];
                        if (span.row == ty) {
                            found = span.firstColumn <= tx && tx <= span.lastColumn;
                        }
                    }
                    EXPECT_TRUE(found) << "heading " << heading;
                }
            }
        }
    }
    // Scrolled far off the map nothing is left to draw.
    ViewOffsetX = 1000.0f;
    ComputeVisibleRegion(CameraMatrix());
    for (int i = 0; i < gVisibleSpans.count; ++i) EXPECT_TRUE(Empty(i));

    // An eye far higher than the controls allow still stays within the list.
    ViewOffsetX = 30.0f;
    CameraHeight = 20.0f;
    for (float heading = 0.0f; heading < 360.0f; heading += 45.0f) {
        CameraHeading = heading;
        ComputeVisibleRegion(CameraMatrix());
        ExpectWellFormed("high eye");
    }
}

// Looks straight down on cell (3, 5) with an orthographic camera; returns
// the matrix and leaves it set. The cell covers the middle of the screen.
Matrix4 LookDownOnCell(bool fromBelow) {
    const float s = gTerrain->spacing;
    const float x0 = 3 * s - ViewOffsetX, y0 = 5 * s - ViewOffsetY;
    glViewport(0, 0, kW, kH);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (fromBelow) {
        // Mirrored in x: seen from -z, so the strip's winding flips.
        glOrtho(x0 + 0.5f * s + 0.2, x0 + 0.5f * s - 0.2, y0 - 0.05, y0 + s + 0.05, -10, 10);
    } else {
        glOrtho(x0 - 0.05, x0 + s + 0.05, y0 - 0.05, y0 + s + 0.05, -10, 10);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Matrix4 m;
    m.ReadGL(GL_PROJECTION_MATRIX);
    return m;
}

struct Rgb {
    int r, g, b;
};

Rgb PixelAtWorld(float wx, float wy, const Matrix4& m) {
    const Vector4 q = Matrix4::Transform(m, Vector4(wx, wy, 0));
    const int px = int((q.x + 1.0f) * 0.5f * kW), py = int((q.y + 1.0f) * 0.5f * kH);
    unsigned char p[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(px, py, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

GLuint MakeQuarterTexture() {
    // Texel (0,0) red, (1,0) green, (0,1) blue, (1,1) white.
    const unsigned char texels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

TEST_F(TerrainRenderTest, CellStripUsesItsOwnRecordsTextureCoordinatesAndCornerColours) {
    ViewOffsetX = 0.4f;
    ViewOffsetY = -0.7f;
    const float s = gTerrain->spacing;
    const GLuint texture = MakeQuarterTexture();
    TerrainVertex** col = gTerrain->columns;
    // Cell (3, 5) shows the texture turned a quarter: corner P0 gets texel
    // (1,0) and so on. The neighbours' own coordinates point elsewhere and
    // must not be used.
    const float us[4] = {0.75f, 0.75f, 0.25f, 0.25f};
    const float vs[4] = {0.25f, 0.75f, 0.25f, 0.75f};
    for (int k = 0; k < 4; ++k) {
        col[3][5].tileU[k] = us[k];
        col[3][5].tileV[k] = vs[k];
    }
    col[3][5].tileTexture = texture;
    for (TerrainVertex* v : {&col[4][5], &col[3][6], &col[4][6]}) {
        v->tileTexture = 0;
        for (int k = 0; k < 4; ++k) v->tileU[k] = v->tileV[k] = 0.1f;
    }
    for (TerrainVertex* v : {&col[3][5], &col[4][5], &col[3][6], &col[4][6]}) {
        v->colour[0] = v->colour[1] = v->colour[2] = 1.0f;
        v->height = 0.25f;  // inside the orthographic depth range either way
    }
    col[4][6].colour[0] = col[4][6].colour[1] = col[4][6].colour[2] = 0.3f;

    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    const Matrix4 m = LookDownOnCell(false);
    DrawCell(3, 5, false, true);

    const float x0 = 3 * s - ViewOffsetX, y0 = 5 * s - ViewOffsetY;
    // Points well inside each corner's triangle, off the diagonal.
    const float near = 0.1f * s, far = 0.85f * s;
    const Rgb p0 = PixelAtWorld(x0 + near, y0 + near, m);
    const Rgb p1 = PixelAtWorld(x0 + far, y0 + near, m);
    const Rgb p2 = PixelAtWorld(x0 + near, y0 + far, m);
    const Rgb p3 = PixelAtWorld(x0 + far, y0 + far, m);
    EXPECT_TRUE(p0.g > 200 && p0.r < 60 && p0.b < 60) << p0.r << " " << p0.g << " " << p0.b;
    EXPECT_TRUE(p1.r > 200 && p1.g > 200 && p1.b > 200) << p1.r << " " << p1.g << " " << p1.b;
    EXPECT_TRUE(p2.r > 200 && p2.g < 60 && p2.b < 60) << p2.r << " " << p2.g << " " << p2.b;
    // Corner P3 is dark (0.3) and shows blue: modulated to about half.
    EXPECT_TRUE(p3.b > 90 && p3.b < 170 && p3.r < 60 && p3.g < 60)
        << p3.r << " " << p3.g << " " << p3.b;

    // Without its own colours the cell takes the current colour.
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 0.0f);
    DrawCell(3, 5, false, false);
    const Rgb y1 = PixelAtWorld(x0 + far, y0 + near, m);
    const Rgb y3 = PixelAtWorld(x0 + far, y0 + far, m);
    EXPECT_TRUE(y1.r > 200 && y1.g > 200 && y1.b < 60) << y1.r << " " << y1.g << " " << y1.b;
    EXPECT_TRUE(y3.b < 60) << y3.b;

    // Seen from below, both triangles are back faces and culled.
    glClear(GL_COLOR_BUFFER_BIT);
    const Matrix4 below = LookDownOnCell(true);
    DrawCell(3, 5, false, true);
    const Rgb centre = PixelAtWorld(x0 + 0.5f * s, y0 + 0.5f * s, below);
    EXPECT_EQ(centre.r + centre.g + centre.b, 0);
    glDeleteTextures(1, &texture);
}

TEST_F(TerrainRenderTest, CellOffersBothTrianglesToTheSelection) {
    ViewOffsetX = 0.4f;
    const float s = gTerrain->spacing;
    const Matrix4 m = LookDownOnCell(false);
    const float x0 = 3 * s - ViewOffsetX, y0 = 5 * s - ViewOffsetY;
    auto pickAt = [&](float wx, float wy, bool pick) {
        const Vector4 q = Matrix4::Transform(m, Vector4(wx, wy, 0));
        BeginPicking(m, int((q.x + 1) * 0.5f * kW), int((q.y + 1) * 0.5f * kH));
        DrawCell(3, 5, pick, true);
        return PickedCell();
    };
    const int id = (3 << 16) | 5;
    EXPECT_EQ(pickAt(x0 + 0.2f * s, y0 + 0.2f * s, true), id);   // first triangle
    EXPECT_EQ(pickAt(x0 + 0.8f * s, y0 + 0.8f * s, true), id);   // second triangle
    EXPECT_EQ(pickAt(x0 + 1.3f * s, y0 + 0.5f * s, true), -1);   // the next cell
    EXPECT_EQ(pickAt(x0 + 0.5f * s, y0 + 0.5f * s, false), -1);  // picking off

    // The last row and column draw with the vertices x + 1 = width and
    // y + 1 = height and pick like any other cell.
    const int last = 255;
    ViewOffsetX = 0.0f;
    const float lx = last * s, ly = last * s;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(lx - 0.05, lx + s + 0.05, ly - 0.05, ly + s + 0.05, -10, 10);
    Matrix4 lm;
    lm.ReadGL(GL_PROJECTION_MATRIX);
    BeginPicking(lm, kW / 2, kH / 2);
    DrawCell(last, last, true, true);
    EXPECT_EQ(PickedCell(), (last << 16) | last);
}

TEST_F(TerrainRenderTest, HighlightIsDrawnOverEverythingInYellow) {
    ViewOffsetX = ViewOffsetY = 30.0f;
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    // A depth buffer at the near plane hides every ordinary cell; only a
    // cell drawn without the depth test can show.
    glClearDepth(0.0);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    gWindow->mouseX = kW / 2;
    gWindow->mouseY = kH / 2;
    DrawTerrain(CameraMatrix());
    ASSERT_NE(PickedCell(), -1);

    std::vector<unsigned char> img(size_t(kW) * kH * 4);
    glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, img.data());
    int yellow = 0, other = 0;
    for (size_t i = 0; i < img.size(); i += 4) {
        if (img[i] > 200 && img[i + 1] > 200 && img[i + 2] < 50) {
            ++yellow;
        } else if (img[i] + img[i + 1] + img[i + 2] > 0) {
            ++other;
        }
    }
    EXPECT_GT(yellow, 50);  // one cell of some hundred pixels
    EXPECT_LT(yellow, 5000);
    EXPECT_EQ(other, 0);
    const unsigned char* centre = &img[(size_t(kH - 1 - kH / 2) * kW + kW / 2) * 4];
    EXPECT_GT(centre[0], 200);
    EXPECT_LT(centre[2], 50);
}

TEST_F(TerrainRenderTest, TerrainPassLeavesLightingAsChosenAndDepthTestOn) {
    ViewOffsetX = ViewOffsetY = 30.0f;
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 230, kW, kH - 230);

    // Mouse over the terrain: the highlight switches lighting off.
    LightingEnabled = true;
    gWindow->mouseX = kW / 2;
    gWindow->mouseY = kH / 2;
    DrawTerrain(CameraMatrix());
    ASSERT_NE(PickedCell(), -1);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_GT(gVisibleSpans.count, 10);

    // Nothing picked (terrain scrolled away): lighting as LightingEnabled.
    ViewOffsetX = 1000.0f;
    DrawTerrain(CameraMatrix());
    EXPECT_EQ(PickedCell(), -1);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    LightingEnabled = false;
    DrawTerrain(CameraMatrix());
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
}

}  // namespace
