// Tests of the frame update: camera controls frame by frame, the camera the
// frame sets, the picked cell against an independent projection, the
// highlight and the menu rows in the read-back picture, scrolling off the
// map and extreme cameras. Real OpenGL through the headless backend at
// 1280 x 1024; input goes through the window's public input fields.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/Editor.h"
#include "gl/GL.h"
#include "gl/GLState.h"
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
constexpr int kMenuRows = 230;

constexpr int kL = 0x4C, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
constexpr int kPad2 = 0x62, kPad4 = 0x64, kPad6 = 0x66, kPad8 = 0x68;

class FrameUpdateTest : public ::testing::Test {
protected:
    // Camera-control tests use a small map: the controls do not depend on
    // what is drawn, and small frames keep hundreds of them quick.
    void Start(int cells) {
        ASSERT_TRUE(testeditor::Start(cells));
        ASSERT_TRUE(InitGLState());  // fixed state and the first shading
        ReleaseAll();
        Frame();  // forget any L held by an earlier test
    }
    void TearDown() override { testeditor::Stop(); }

    // Mouse in the middle of the view: no edge scrolling.
    static void ReleaseAll() {
        for (bool& key : gWindow->keys) key = false;
        gWindow->mouseX = kW / 2;
        gWindow->mouseY = kH / 2;
    }
    static void Frame() { EXPECT_TRUE(FrameUpdate()); }
    static void Hold(int key, int frames) {
        gWindow->keys[key] = true;
        for (int i = 0; i < frames; ++i) Frame();
        gWindow->keys[key] = false;
    }
    // Offset change of one frame with the current input.
    static void Step(float& dx, float& dy) {
        const float x = ViewOffsetX, y = ViewOffsetY;
        Frame();
        dx = ViewOffsetX - x;
        dy = ViewOffsetY - y;
    }
};

TEST_F(FrameUpdateTest, KeypadZoomStaysWithinTheHeightLimits) {
    Start(8);
    Hold(kPad8, 3);
    EXPECT_EQ(CameraHeight, 6.0f);

    gWindow->keys[kPad2] = true;
    int frames = 0;
    float previous = CameraHeight;
    while (CameraHeight > CameraHeightMin && frames < 1000) {
        Frame();
        ++frames;
        EXPECT_NEAR(previous - CameraHeight, 0.025f, 0.0011f);
        previous = CameraHeight;
    }
    // 3.5 / 0.025 = 140 steps; float rounding may need one more.
    EXPECT_GE(frames, 140);
    EXPECT_LE(frames, 141);
    EXPECT_EQ(CameraHeight, 2.5f);
    for (int i = 0; i < 5; ++i) Frame();
    EXPECT_EQ(CameraHeight, 2.5f);

    // Both keys at once cancel out.
    gWindow->keys[kPad8] = true;
    Frame();
    EXPECT_NEAR(CameraHeight, 2.5f, 1e-6f);
}

TEST_F(FrameUpdateTest, KeypadTurnWrapsKeepingZeroAndThreeSixty) {
    Start(8);
    Hold(kPad4, 1);
    EXPECT_EQ(CameraHeading, 358.0f);
    Hold(kPad6, 1);
    EXPECT_EQ(CameraHeading, 360.0f);
    Hold(kPad6, 1);
    EXPECT_EQ(CameraHeading, 2.0f);
    Hold(kPad4, 1);
    EXPECT_EQ(CameraHeading, 0.0f);
    Hold(kPad6, 180);
    EXPECT_EQ(CameraHeading, 360.0f);
}

TEST_F(FrameUpdateTest, ArrowKeysScrollRelativeToTheHeading) {
    Start(8);
    float dx, dy;
    gWindow->keys[kUp] = true;
    Step(dx, dy);
    EXPECT_FLOAT_EQ(dy, 0.1f);
    EXPECT_NEAR(dx, 0.0f, 1e-6f);
    ReleaseAll();

    gWindow->keys[kDown] = true;
    Step(dx, dy);
    EXPECT_FLOAT_EQ(dy, -0.1f);
    ReleaseAll();
    gWindow->keys[kLeft] = true;
    Step(dx, dy);
    EXPECT_FLOAT_EQ(dx, -0.1f);
    EXPECT_NEAR(dy, 0.0f, 1e-6f);
    ReleaseAll();
    gWindow->keys[kRight] = true;
    Step(dx, dy);
    EXPECT_FLOAT_EQ(dx, 0.1f);
    ReleaseAll();

    CameraHeading = 90.0f;
    gWindow->keys[kUp] = true;
    Step(dx, dy);
    EXPECT_FLOAT_EQ(dx, 0.1f);
    EXPECT_NEAR(dy, 0.0f, 1e-6f);
    ReleaseAll();

    // Opposite keys cancel.
    gWindow->keys[kLeft] = gWindow->keys[kRight] = true;
    Step(dx, dy);
    EXPECT_NEAR(dx, 0.0f, 1e-6f);
    EXPECT_NEAR(dy, 0.0f, 1e-6f);
}

TEST_F(FrameUpdateTest, ScreenEdgeBandsAreTwentyPixelsWide) {
    Start(8);
    float dx, dy;
    const struct {
        int x, y;
        float dx, dy;
    } cases[] = {
        {19, kH / 2, -0.1f, 0.0f}, {20, kH / 2, 0.0f, 0.0f},
        {kW - 20, kH / 2, 0.0f, 0.0f}, {kW - 19, kH / 2, 0.1f, 0.0f},
        {kW / 2, 19, 0.0f, 0.1f}, {kW / 2, 20, 0.0f, 0.0f},
        {kW / 2, kH - 20, 0.0f, 0.0f}, {kW / 2, kH - 19, 0.0f, -0.1f},
        // Corners scroll two ways at once.
        {0, 0, -0.1f, 0.1f}, {kW - 1, kH - 1, 0.1f, -0.1f},
    };
    for (const auto& c : cases) {
        gWindow->mouseX = c.x;
        gWindow->mouseY = c.y;
        Step(dx, dy);
        EXPECT_NEAR(dx, c.dx, 1e-5f) << c.x << "," << c.y;
        EXPECT_NEAR(dy, c.dy, 1e-5f) << c.x << "," << c.y;
    }
}

TEST_F(FrameUpdateTest, HoldingLTogglesLightingOnce) {
    Start(8);
    Hold(kL, 4);
    EXPECT_TRUE(LightingEnabled);
    Frame();  // released
    EXPECT_TRUE(LightingEnabled);
    Hold(kL, 2);
    EXPECT_FALSE(LightingEnabled);
}

TEST_F(FrameUpdateTest, FrameEndsWithTheOverlayStateAfterThePointer) {
    Start(8);
    // Whatever the state before, the frame sets what the overlays need and
    // ends with blending off again after the pointer picture.
    glEnable(GL_BLEND);
    glEnable(GL_SCISSOR_TEST);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    Frame();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint func = 0;
    GLfloat ref = 0, colour[4] = {};
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &func);
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(func, GL_GREATER);
    EXPECT_NEAR(ref, 0.4f, 1e-6f);
    EXPECT_EQ(colour[0] + colour[1] + colour[2], 3.0f);
}

// World point -> window pixel (y up) with the camera the frame set: the
// projection matrix it left, under the identity modelview of the terrain.
struct Camera {
    GLdouble modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    GLdouble projection[16];
    GLint viewport[4];
    Camera() {
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
    }
    void Project(double x, double y, double z, double& wx, double& wy) const {
        double wz;
        gluProject(x, y, z, modelview, projection, viewport, &wx, &wy, &wz);
    }
    // Where the sight line through window point (wx, wy) meets z = height.
    bool Ground(double wx, double wy, double height, double& x, double& y) const {
        double nx, ny, nz, fx, fy, fz;
        if (!gluUnProject(wx, wy, 0.0, modelview, projection, viewport, &nx, &ny, &nz) ||
            !gluUnProject(wx, wy, 1.0, modelview, projection, viewport, &fx, &fy, &fz))
            return false;
        if (nz == fz) return false;
        const double t = (height - nz) / (fz - nz);
        x = nx + t * (fx - nx);
        y = ny + t * (fy - ny);
        return t > 0.0 && t < 1.0;
    }
};

TEST_F(FrameUpdateTest, CameraOrbitsTheTargetAndLooksForward) {
    Start(8);
    for (float height : {6.0f, 2.5f}) {
        for (float heading : {0.0f, 90.0f, 180.0f, 270.0f, 30.0f}) {
            CameraHeight = height;
            CameraHeading = heading;
            Frame();
            const Camera camera;
            SCOPED_TRACE(testing::Message() << "height " << height << " heading " << heading);
            double tx, ty, fx, fy;
            camera.Project(CameraTargetX, CameraTargetY, 0.0, tx, ty);
            const double h = heading * 3.14159265358979323846 / 180.0;
            camera.Project(CameraTargetX + 3 * std::sin(h), CameraTargetY + 3 * std::cos(h), 0.0,
                           fx, fy);
            // The orbit centre stays on the middle column; further forward
            // on the map is higher up the screen on the same column.
            EXPECT_NEAR(tx, kW / 2.0, 0.01);
            EXPECT_NEAR(fx, kW / 2.0, 0.01);
            EXPECT_GT(fy, ty + 50.0);
            if (height == 6.0f) {
                EXPECT_NEAR(ty, kH / 2.0, 0.01);
            } else {
                // Tilted further down: the middle of the screen looks at nearer
                // ground, so the target shows above it.
                EXPECT_GT(ty, kH / 2.0 + 20.0);
            }
        }
    }
}

class FrameRenderTest : public FrameUpdateTest {
protected:
    void SetUp() override {
        Start(256);
        // A clear colour no ground pixel has, so "as cleared" means something.
        glClearColor(0.2f, 0.4f, 0.6f, 0.5f);
        // Over the middle of the map, all of it flat ground.
        ViewOffsetX = ViewOffsetY = 30.0f;
    }
    static std::vector<unsigned char> Read() {
        std::vector<unsigned char> pixels(size_t(kW) * kH * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
    // The clear colour as this framebuffer stores it.
    static std::vector<unsigned char> ClearPixel() {
        glDisable(GL_SCISSOR_TEST);
        glClear(GL_COLOR_BUFFER_BIT);
        unsigned char p[4];
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2], p[3]};
    }
    static const unsigned char* At(const std::vector<unsigned char>& img, int x, int y) {
        return &img[(size_t(y) * kW + x) * 4];
    }
    static bool Same(const unsigned char* a, const std::vector<unsigned char>& b) {
        return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
    }
    static void SetHeights(float height) {
        for (int x = 0; x <= gTerrain->width; ++x)
            for (int y = 0; y <= gTerrain->height; ++y) gTerrain->columns[x][y].height = height;
    }
    // A mouse position near (x, y) whose sight line meets the ground well
    // inside a cell (not near its edges); gives that cell.
    static bool FindCellUnder(const Camera& camera, int x, int y, float height, int& mx,
                              int& my, int& cell) {
        const double s = gTerrain->spacing;
        for (int dy = 0; dy < 40; ++dy) {
            for (int dx = 0; dx < 40; ++dx) {
                mx = x + dx;
                my = y + dy;
                double gx, gy;
                // The selection compares the mouse pixel with corner pixels
                // truncated from the same window coordinates.
                if (!camera.Ground(mx, kH - 1 - my, height, gx, gy)) continue;
                const double u = (gx + ViewOffsetX) / s, v = (gy + ViewOffsetY) / s;
                const double fu = u - std::floor(u), fv = v - std::floor(v);
                if (fu < 0.3 || fu > 0.7 || fv < 0.3 || fv > 0.7 ||
                    (fu + fv > 0.9 && fu + fv < 1.1))
                    continue;
                cell = (int(std::floor(u)) << 16) | int(std::floor(v));
                return true;
            }
        }
        return false;
    }
};

TEST_F(FrameRenderTest, PickedCellIsTheCellUnderTheMouseAndIsHighlighted) {
    for (float height : {0.0f, 0.75f}) {
        SCOPED_TRACE(height);
        SetHeights(height);
        for (float heading : {0.0f, 130.0f}) {
            CameraHeading = heading;
            Frame();
            const Camera camera;
            const int probes[][2] = {{640, 500}, {300, 350}, {1000, 700}};
            for (const auto& probe : probes) {
                int mx, my, cell;
                ASSERT_TRUE(FindCellUnder(camera, probe[0], probe[1], height, mx, my, cell));
                // Elsewhere first, then on the pixel.
                gWindow->mouseX = 100;
                gWindow->mouseY = 300;
                Frame();
                const std::vector<unsigned char> plain = Read();
                gWindow->mouseX = mx;
                gWindow->mouseY = my;
                Frame();
                EXPECT_EQ(FramePickedCell(), cell) << mx << "," << my;
                const std::vector<unsigned char> lit = Read();
                const unsigned char* p = At(plain, mx, kH - 1 - my);
                const unsigned char* q = At(lit, mx, kH - 1 - my);
                // Plain ground is grey; the highlight is yellow.
                EXPECT_LT(std::abs(p[0] - p[2]), 20);
                EXPECT_GT(q[0], q[2] + 100);
                EXPECT_GT(q[1], q[2] + 100);
            }
        }
    }
}

TEST_F(FrameRenderTest, NothingOfTheViewReachesTheMenuRows) {
    const std::vector<unsigned char> clear = ClearPixel();
    gWindow->mouseX = kW / 2;
    gWindow->mouseY = kH - 100;  // over the menu rows: picks nothing there
    for (float heading : {0.0f, 45.0f}) {
        CameraHeading = heading;
        Frame();
        const std::vector<unsigned char> img = Read();
        int clearBelow = 0, drawnAbove = 0;
        for (int y = 0; y < kMenuRows; ++y)
            for (int x = 0; x < kW; ++x) clearBelow += Same(At(img, x, y), clear);
        for (int x = 0; x < kW; ++x) drawnAbove += !Same(At(img, x, kMenuRows), clear);
        EXPECT_EQ(clearBelow, kMenuRows * kW);
        // The ground would go on below: the row above the panel is drawn.
        EXPECT_GT(drawnAbove, kW / 2);
    }
}

TEST_F(FrameRenderTest, ScrolledFarAwayNothingIsDrawnOrPicked) {
    const std::vector<unsigned char> clear = ClearPixel();
    ViewOffsetX = 1000.0f;
    gWindow->mouseX = kW / 2;
    gWindow->mouseY = kH / 2;
    Frame();
    EXPECT_EQ(FramePickedCell(), -1);
    const std::vector<unsigned char> img = Read();
    int drawn = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) drawn += !Same(At(img, x, y), clear);
    EXPECT_EQ(drawn, 0);
}

TEST_F(FrameRenderTest, ExtremeCamerasKeepTheSpanListInBounds) {
    gWindow->mouseX = kW / 2;
    gWindow->mouseY = kH / 2;
    for (float heading = 0.0f; heading < 360.0f; heading += 45.0f) {
        CameraHeading = heading;
        CameraHeight = 20.0f;  // clamped again only after the frame is drawn
        Frame();
        EXPECT_LE(gVisibleSpans.count, kMaxVisibleSpans);
        EXPECT_EQ(CameraHeight, CameraHeightMax);
    }
}

}  // namespace
