// Tests of the water and the scene objects: which cells get water and that
// a wet cell is covered whole, the animation phases, objects following the
// view offset and vertex (0, 0) exactly like the terrain, the state left
// behind and the guards for a missing terrain or grid. Real OpenGL through
// the headless backend at 1280 x 1024, untextured (no texture pack loaded,
// every scene glName 0); pictures are read back with glReadPixels, rows
// bottom-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "app/Editor.h"
#include "app/TextureCatalogue.h"
#include "gl/GL.h"
#include "gl/GLState.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "terrain/FrameUpdate.h"
#include "terrain/SceneRender.h"
#include "terrain/TerrainModel.h"
#include "terrain/TerrainRender.h"
#include "terrain/TriangleSelection.h"
#include "tests/support/EditorFixture.h"

namespace {

constexpr int kW = 1280;
constexpr int kH = 1024;
constexpr float kTwoPi = 6.28318530717958f;

using Picture = std::vector<uint8_t>;  // RGBA, bottom row first

struct Shift {
    float x = 0.0f, y = 0.0f, z = 0.0f;  // extra world translation on the camera
};

class SceneRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testeditor::Start(64));
        ASSERT_TRUE(InitGLState());
        WavePhase = WaterScroll = SwayPhase = 0.0f;
    }
    void TearDown() override { testeditor::Stop(); }

    // The frame's camera, optionally followed by a world translation.
    static Matrix4 Camera(Shift shift = Shift()) {
        return testeditor::SetFrameCamera(shift.x, shift.y, shift.z);
    }

    // One picture with fixed animation phases: the terrain pass (or only
    // its visible region), then water and objects as asked.
    static Picture Render(bool terrain, bool water, bool objects, Shift shift = Shift()) {
        WavePhase = 1.0f;
        WaterScroll = 0.5f;
        SwayPhase = 2.0f;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        const Matrix4 combined = Camera(shift);
        if (terrain) {
            DrawTerrain(combined);
        } else {
            ComputeVisibleRegion(combined);
        }
        if (water) DrawWater();
        if (objects) DrawSceneObjects();
        glFinish();
        Picture picture(size_t(kW) * kH * 4);
        glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, picture.data());
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        return picture;
    }

    static const uint8_t* At(const Picture& p, int x, int y) {
        return p.data() + (size_t(y) * kW + x) * 4;
    }
    static int Differences(const Picture& a, const Picture& b) {
        int count = 0;
        for (size_t i = 0; i < a.size(); i += 4) {
            for (int c = 0; c < 3; ++c) {
                if (std::abs(int(a[i + c]) - int(b[i + c])) > 2) {
                    ++count;
                    break;
                }
            }
        }
        return count;
    }

    // Window position of a world point under the current camera.
    static void Project(float x, float y, float z, double& wx, double& wy) {
        GLdouble model[16], proj[16], wz;
        GLint view[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, proj);
        glGetIntegerv(GL_VIEWPORT, view);
        gluProject(x, y, z, model, proj, view, &wx, &wy, &wz);
    }

    static void SetAllHeights(float h) {
        for (int x = 0; x <= gTerrain->width; ++x)
            for (int y = 0; y <= gTerrain->height; ++y) gTerrain->columns[x][y].height = h;
    }
};

bool IsWater(const uint8_t* p) {
    // Over black: alpha x (0.8 + 0.5 w, same, 1.0) with alpha 0.056 to 0.144.
    return p[2] >= 10 && p[2] > p[0] && p[0] == p[1];
}

TEST_F(SceneRenderTest, WaterOnlyOverCellsWithACornerBelowTheLevelAndCoversThemWhole) {
    // Every height exactly at the level: dry everywhere.
    SetAllHeights(gTerrain->waterLevel);
    gTerrain->ShadeAll();
    const Picture dry = Render(true, false, false);
    ASSERT_GT(gVisibleSpans.count, 0);
    EXPECT_EQ(Differences(dry, Render(true, true, false)), 0);

    // One vertex just below: its four cells are wet, each with one corner.
    SetAllHeights(0.0f);
    const int vx = 20, vy = 20;
    gTerrain->columns[vx][vy].height = gTerrain->waterLevel - 0.001f;
    ViewOffsetX = vx * gTerrain->spacing;
    ViewOffsetY = vy * gTerrain->spacing - CameraTargetY;
    const Picture wet = Render(false, true, false);

    const float s = gTerrain->spacing;
    auto corner = [&](int x, int y, double& wx, double& wy) {
        const float px = x * s, py = y * s;
        const float w = (std::sin(4 * px + 2 * WavePhase) + std::cos(2 * py + WavePhase)) / 15;
        Project(px - ViewOffsetX, py - ViewOffsetY, gTerrain->waterLevel + w, wx, wy);
    };
    const double weights[][3] = {{0.9, 0.05, 0.05}, {0.05, 0.9, 0.05}, {0.05, 0.05, 0.9},
                                 {1 / 3.0, 1 / 3.0, 1 / 3.0}, {0.48, 0.48, 0.04}};
    for (int cx = vx - 1; cx <= vx; ++cx) {
        for (int cy = vy - 1; cy <= vy; ++cy) {
            double sx[4], sy[4];
            corner(cx, cy, sx[0], sy[0]);
            corner(cx + 1, cy, sx[1], sy[1]);
            corner(cx + 1, cy + 1, sx[2], sy[2]);
            corner(cx, cy + 1, sx[3], sy[3]);
            // The quad rasterises as the triangles (0, 1, 2) and (0, 2, 3).
            static const int kTriangles[2][3] = {{0, 1, 2}, {0, 2, 3}};
            for (const auto& tri : kTriangles) {
                for (const auto& b : weights) {
                    const double x = b[0] * sx[tri[0]] + b[1] * sx[tri[1]] + b[2] * sx[tri[2]];
                    const double y = b[0] * sy[tri[0]] + b[1] * sy[tri[1]] + b[2] * sy[tri[2]];
                    const uint8_t* p = At(wet, int(x), int(y));
                    EXPECT_TRUE(IsWater(p)) << "cell " << cx << "," << cy << " at " << x << ","
                                            << y << ": " << int(p[0]) << " " << int(p[2]);
                }
            }
        }
    }
    // Cells two away from the low vertex have no corner below the level.
    for (const auto& cell : {std::make_pair(vx - 2, vy), std::make_pair(vx + 1, vy),
                             std::make_pair(vx, vy - 2), std::make_pair(vx, vy + 1)}) {
        double x, y;
        Project((cell.first + 0.5f) * s - ViewOffsetX, (cell.second + 0.5f) * s - ViewOffsetY,
                gTerrain->waterLevel, x, y);
        const uint8_t* p = At(wet, int(x), int(y));
        EXPECT_EQ(p[0] + p[1] + p[2], 0) << "cell " << cell.first << "," << cell.second;
    }
}

TEST_F(SceneRenderTest, WavePhaseWrapsIntoItsRangeAndWaterScrollKeepsGrowing) {
    gVisibleSpans.count = 0;
    int wrapFrame = -1;
    float previousPhase = WavePhase, previousScroll = WaterScroll;
    for (int frame = 1; frame <= 1000; ++frame) {
        DrawWater();
        ASSERT_GT(WavePhase, 0.0f);
        ASSERT_LE(WavePhase, kTwoPi);
        if (WavePhase < previousPhase) {
            if (wrapFrame < 0) wrapFrame = frame;
            EXPECT_NEAR(WavePhase, previousPhase + 0.02f - kTwoPi, 1e-4f);
        } else {
            EXPECT_NEAR(WavePhase - previousPhase, 0.02f, 1e-5f);
        }
        ASSERT_GT(WaterScroll, previousScroll);
        previousPhase = WavePhase;
        previousScroll = WaterScroll;
    }
    EXPECT_GE(wrapFrame, 314);
    EXPECT_LE(wrapFrame, 316);
    EXPECT_NEAR(WaterScroll, 1.0f, 1e-3f);
}

TEST_F(SceneRenderTest, ObjectsFollowScrollingExactlyLikeTheTerrain) {
    // All three objects in the middle of the view.
    ViewOffsetX = 1.5f;
    ViewOffsetY = -1.8f;
    const Picture before = Render(true, false, true);
    // Scrolling by d must equal moving the whole world by -d under the camera.
    ViewOffsetX += 0.37f;
    ViewOffsetY += 0.23f;
    const Picture scrolled = Render(true, false, true);
    ViewOffsetX -= 0.37f;
    ViewOffsetY -= 0.23f;
    Shift shift;
    shift.x = -0.37f;
    shift.y = -0.23f;
    const Picture moved = Render(true, false, true, shift);

    const int changed = Differences(before, scrolled);
    EXPECT_GT(changed, 10000);
    EXPECT_LT(Differences(scrolled, moved), changed / 100);
}

TEST_F(SceneRenderTest, LoweringVertexZeroLowersAllThreeObjects) {
    ViewOffsetX = 1.5f;
    ViewOffsetY = -1.8f;
    const Picture standing = Render(false, false, true);
    gTerrain->columns[0][0].height = -0.5f;
    const Picture lowered = Render(false, false, true);
    gTerrain->columns[0][0].height = 0.0f;
    Shift down;
    down.z = -0.5f;
    const Picture movedDown = Render(false, false, true, down);
    EXPECT_LT(Differences(lowered, movedDown), 200);

    // Conifer: green crown; house and tower: white, split between them.
    double splitX, splitY;
    Camera();
    Project(2.25f - ViewOffsetX, 2.25f - ViewOffsetY, 0.3f, splitX, splitY);
    auto meanRows = [&](const Picture& p, double rows[3]) {
        double sum[3] = {0, 0, 0}, count[3] = {0, 0, 0};
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                const uint8_t* c = At(p, x, y);
                int object = -1;
                if (c[1] > c[0] + 40 && c[0] == c[2]) object = 0;
                if (c[0] == 255 && c[1] == 255 && c[2] == 255) object = x < splitX ? 1 : 2;
                if (object < 0) continue;
                sum[object] += y;
                count[object] += 1;
            }
        }
        for (int k = 0; k < 3; ++k) {
            EXPECT_GT(count[k], 500) << "object " << k;
            rows[k] = sum[k] / std::max(1.0, count[k]);
        }
    };
    double high[3], low[3];
    meanRows(standing, high);
    meanRows(lowered, low);
    for (int k = 0; k < 3; ++k) EXPECT_LT(low[k], high[k] - 15) << "object " << k;
}

TEST_F(SceneRenderTest, StateLeftBehindAndTexturesBoundByName) {
    GLuint names[2];
    glGenTextures(2, names);
    gTexWater.glName = names[0];
    gTexWasserturmHolz.glName = names[1];
    glEnable(GL_LIGHTING);
    glEnable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    DrawWater();
    GLint bound = 0, src = 0, dst = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(GLuint(bound), names[0]);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));

    ViewOffsetX = 0.7f;
    ViewOffsetY = -0.4f;
    gTerrain->columns[0][0].height = 0.25f;
    glEnable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    DrawSceneObjects();
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), names[1]);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const float s = gTerrain->spacing;
    const float expected[16] = {s, 0, 0, 0, 0, s, 0, 0, 0, 0, s, 0,
                                10 * s - 0.7f, 8 * s + 0.4f, 0.25f - 0.01f, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], expected[i], 1e-5f) << "element " << i;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    gTexWater.glName = gTexWasserturmHolz.glName = 0;
    glDeleteTextures(2, names);
}

TEST_F(SceneRenderTest, NothingWithoutTerrainAndNoObjectsWithoutAGrid) {
    TerrainModel* terrain = gTerrain;
    gTerrain = nullptr;
    glEnable(GL_LIGHTING);
    DrawWater();
    DrawSceneObjects();
    EXPECT_EQ(WavePhase, 0.0f);
    EXPECT_EQ(WaterScroll, 0.0f);
    EXPECT_EQ(SwayPhase, 0.0f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    gTerrain = terrain;

    // A span list left from a larger grid never reads outside this one.
    ASSERT_TRUE(gTerrain->Resize(2, 2));
    SetAllHeights(-5.0f);
    gVisibleSpans.count = 1;
    gVisibleSpans.spans[0] = VisibleSpan{1, -3, 40};
    DrawWater();

    // No grid at all: the state is set, nothing is drawn, nothing is read.
    TerrainVertex** columns = gTerrain->columns;
    const int width = gTerrain->width, height = gTerrain->height;
    gTerrain->columns = nullptr;
    gTerrain->width = gTerrain->height = -1;
    glClear(GL_COLOR_BUFFER_BIT);
    DrawWater();
    DrawSceneObjects();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    Picture picture(size_t(kW) * kH * 4);
    glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, picture.data());
    for (size_t i = 0; i < picture.size(); i += 4) {
        ASSERT_EQ(picture[i] + picture[i + 1] + picture[i + 2], 0) << "pixel " << i / 4;
    }
    gTerrain->columns = columns;
    gTerrain->width = width;
    gTerrain->height = height;
}

}  // namespace
