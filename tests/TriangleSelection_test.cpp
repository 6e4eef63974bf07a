// Tests of the triangle selection: projection to integer pixels, the inside
// test with its boundaries, the height rule among hits, degenerate and
// behind-the-eye corners, and the module's life cycle.
//
// The window is a real one of the headless backend, 1024 x 1024, so that
// halfW = halfH = 512. With the view-projection below (x and y divided by
// 128, w = 1) world (x, y) lands on pixel (512 + 4x, 512 + 4y) exactly, which
// lets the tests place corners on chosen pixels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "terrain/TriangleSelection.h"

// Counts every heap allocation of the program, so that a test can show that
// testing triangles allocates nothing.
namespace {
long allocations = 0;
}
void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

Matrix4 PixelMatrix() {
    Matrix4 m;
    m.m[0] = 1.0f / 128.0f;
    m.m[5] = 1.0f / 128.0f;
    m.m[10] = 1.0f;
    m.m[15] = 1.0f;
    return m;
}

// World point that PixelMatrix puts on pixel (px, py), at height z.
Vector4 AtPixel(float px, float py, float z = 0.0f) {
    return Vector4((px - 512.0f) / 4.0f, (py - 512.0f) / 4.0f, z);
}

struct Triangle {
    Vector4 corners[3];
};

// A right triangle with its right angle at (px, py) and legs of `size`
// pixels along +x and +y; all three corners at height z.
Triangle RightTriangle(float px, float py, float size, float z) {
    return {{AtPixel(px, py, z), AtPixel(px + size, py, z), AtPixel(px, py + size, z)}};
}

int PickOne(const Triangle& t, int mouseX, int mouseY) {
    BeginPicking(PixelMatrix(), mouseX, mouseY);
    TestTriangle(7, t.corners);
    return PickedCell();
}

class TriangleSelectionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        headless::Reset();
        headless::SetDisplayModes({{1024, 1024}, {1280, 1024}});
        window = new OpenGLFullscreen(1024, 1024);
    }
    static void TearDownTestSuite() {
        delete window;
        window = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(window->IsCreated());
        window->width = 1024;
        window->height = 1024;
        SetSelectionWindow(window);
        SetupSelection();
    }
    void TearDown() override { TeardownSelection(); }

    static OpenGLFullscreen* window;
};

OpenGLFullscreen* TriangleSelectionTest::window = nullptr;

}  // namespace

TEST_F(TriangleSelectionTest, CornersAndEdgesCountAsInside) {
    const Triangle t = RightTriangle(600, 500, 128, 0.0f);
    EXPECT_EQ(PickOne(t, 600, 500), 7);  // the three corners
    EXPECT_EQ(PickOne(t, 728, 500), 7);
    EXPECT_EQ(PickOne(t, 600, 628), 7);
    EXPECT_EQ(PickOne(t, 650, 500), 7);  // the legs and the hypotenuse
    EXPECT_EQ(PickOne(t, 600, 550), 7);
    EXPECT_EQ(PickOne(t, 664, 564), 7);
    EXPECT_EQ(PickOne(t, 630, 530), 7);  // well inside

    EXPECT_EQ(PickOne(t, 599, 550), -1);  // one pixel beyond each side
    EXPECT_EQ(PickOne(t, 650, 499), -1);
    EXPECT_EQ(PickOne(t, 665, 564), -1);
    EXPECT_EQ(PickOne(t, 729, 500), -1);
}

TEST_F(TriangleSelectionTest, CornersAreTruncatedTowardZeroOnIntegerHalves) {
    // Corners at pixel x = -0.5 become 0, not -1: the triangle reaches left
    // from x = 0 and the mouse on its right edge hits it.
    const Triangle left = {{AtPixel(-0.5f, 500), AtPixel(-0.5f, 628), AtPixel(-128.5f, 500)}};
    EXPECT_EQ(PickOne(left, 0, 550), 7);
    EXPECT_EQ(PickOne(left, 1, 550), -1);

    // A sub-pixel fraction is dropped: 600.75 is pixel 600.
    const Triangle t = {{AtPixel(600.75f, 500.75f), AtPixel(728.75f, 500.75f),
                         AtPixel(600.75f, 628.75f)}};
    EXPECT_EQ(PickOne(t, 600, 500), 7);

    // An odd window width halves to 512, not 512.5: normalised x = 1 is
    // pixel 1024, so the corner there is not at 1025.
    window->width = 1025;
    const Triangle wide = {{AtPixel(512, 512), AtPixel(1024, 512), AtPixel(512, 640)}};
    EXPECT_EQ(PickOne(wide, 1024, 512), 7);
    EXPECT_EQ(PickOne(wide, 1025, 512), -1);
}

TEST_F(TriangleSelectionTest, HighestFirstCornerWinsAndTheLaterOfEqualHeights) {
    const Triangle low = RightTriangle(600, 500, 128, 0.2f);
    const Triangle high = RightTriangle(590, 490, 128, 0.5f);
    const Triangle highToo = RightTriangle(580, 480, 128, 0.5f);
    const Triangle highest = RightTriangle(900, 900, 64, 0.9f);  // not under the mouse
    // Only the first corner counts: the others reaching higher change nothing.
    Triangle lowFirst = RightTriangle(610, 510, 128, 10.0f);
    lowFirst.corners[0].z = 0.4f;

    BeginPicking(PixelMatrix(), 620, 520);
    TestTriangle(1, high.corners);
    TestTriangle(2, low.corners);  // later but lower
    EXPECT_EQ(PickedCell(), 1);
    TestTriangle(3, lowFirst.corners);
    EXPECT_EQ(PickedCell(), 1);
    TestTriangle(4, highToo.corners);  // equal height: the later wins
    EXPECT_EQ(PickedCell(), 4);
    TestTriangle(5, highest.corners);  // a miss keeps the hit
    EXPECT_EQ(PickedCell(), 4);

    // The other order: the higher one still wins, even far below -2.
    const Triangle deep = RightTriangle(600, 500, 128, -99.0f);
    BeginPicking(PixelMatrix(), 620, 520);
    TestTriangle(8, deep.corners);
    EXPECT_EQ(PickedCell(), 8);
    TestTriangle(9, low.corners);
    EXPECT_EQ(PickedCell(), 9);
    EXPECT_EQ(PickedCell(), 9);  // and stays until the next frame begins

    BeginPicking(PixelMatrix(), 620, 520);
    EXPECT_EQ(PickedCell(), -1);  // nothing tested in this frame
    const Triangle belowStart = RightTriangle(600, 500, 128, -100.5f);
    TestTriangle(10, belowStart.corners);
    EXPECT_EQ(PickedCell(), -1);
}

TEST_F(TriangleSelectionTest, DegenerateProjectionsAreNeverPicked) {
    // Three corners on one line through the mouse.
    const Triangle line = {{AtPixel(500, 500), AtPixel(600, 600), AtPixel(700, 700)}};
    EXPECT_EQ(PickOne(line, 600, 600), -1);
    EXPECT_EQ(PickOne(line, 500, 500), -1);
    // A triangle smaller than a pixel: all corners truncate to (512, 512).
    const Triangle tiny = {{AtPixel(512.1f, 512.1f), AtPixel(512.8f, 512.1f),
                            AtPixel(512.1f, 512.8f)}};
    EXPECT_EQ(PickOne(tiny, 512, 512), -1);
    // A failed inversion does not spoil the next test.
    EXPECT_EQ(PickOne(RightTriangle(500, 500, 64, 0.0f), 510, 510), 7);
}

TEST_F(TriangleSelectionTest, CornerBehindTheEyeGoesToTheTopRight) {
    // w = 1 - z: the corner at z = 2 lies behind the eye and the one at
    // z = 1 on the eye plane; both become pixel (1024, 1024).
    Matrix4 m = PixelMatrix();
    m.m[11] = -1.0f;
    for (float behind : {2.0f, 1.0f}) {
        const Vector4 corners[3] = {Vector4(0, 0, 0), Vector4(32, 0, 0), Vector4(0, 0, behind)};
        // Pixels (512, 512), (640, 512), (1024, 1024).
        BeginPicking(m, 700, 600);
        TestTriangle(3, corners);
        EXPECT_EQ(PickedCell(), 3) << behind;
        BeginPicking(m, 600, 700);
        TestTriangle(3, corners);
        EXPECT_EQ(PickedCell(), -1) << behind;
    }
    // A corner just in front of the eye projects very far away; the test
    // stays sound and the triangle still covers the mouse.
    const Vector4 far[3] = {Vector4(0, 0, 0), Vector4(32, 0, 0), Vector4(64, 64, 0.9999999f)};
    BeginPicking(m, 600, 520);
    TestTriangle(4, far);
    EXPECT_EQ(PickedCell(), 4);
}

TEST_F(TriangleSelectionTest, TestingAllocatesNothing) {
    const Triangle hit = RightTriangle(600, 500, 128, 0.0f);
    const Triangle line = {{AtPixel(500, 500), AtPixel(600, 600), AtPixel(700, 700)}};
    BeginPicking(PixelMatrix(), 620, 520);
    const long before = allocations;
    for (int i = 0; i < 100; ++i) {
        TestTriangle(i, hit.corners);
        TestTriangle(-2, line.corners);
    }
    EXPECT_EQ(allocations, before) << "heap allocations while testing triangles";
    EXPECT_EQ(PickedCell(), 99);
}

TEST_F(TriangleSelectionTest, WithoutSolverOrWindowNothingIsPicked) {
    const Triangle t = RightTriangle(600, 500, 128, 0.0f);
    TeardownSelection();
    EXPECT_EQ(PickOne(t, 620, 520), -1);
    TeardownSelection();  // twice is harmless

    SetupSelection();
    SetupSelection();  // again: replaces the solver without leaking it
    EXPECT_EQ(PickedCell(), -1);
    EXPECT_EQ(PickOne(t, 620, 520), 7);

    SetSelectionWindow(nullptr);
    EXPECT_EQ(PickOne(t, 620, 520), -1);
}
