// Tests of the linear-algebra kit: Vector4 rules (w handling, orientation,
// double-precision dot), Matrix4 layout and composition order (checked against
// the real OpenGL matrix stack on the headless context), Gauss-Jordan
// inversion including pivot swaps and the all-zero failure, and the
// row-vector product with its size rules.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "math/Matrixvector.h"
#include "platform/HeadlessControl.h"

namespace {

void ExpectVec(const Vector4& v, float x, float y, float z, float w, float eps = 1e-6f) {
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
    EXPECT_NEAR(v.w, w, eps);
}

Matrix4 Identity() {
    Matrix4 m;
    m.m[0] = m.m[5] = m.m[10] = m.m[15] = 1.0f;
    return m;
}

Matrix4 Translation(float x, float y, float z) {
    Matrix4 m = Identity();
    m.m[12] = x;
    m.m[13] = y;
    m.m[14] = z;
    return m;
}

// Rotation about +z by `degrees`, counter-clockwise seen from +z (as glRotatef).
Matrix4 RotationZ(float degrees) {
    const float a = degrees * 3.14159265358979f / 180.0f;
    Matrix4 m = Identity();
    m.m[0] = std::cos(a);   // (0,0)
    m.m[1] = std::sin(a);   // (1,0)
    m.m[4] = -std::sin(a);  // (0,1)
    m.m[5] = std::cos(a);   // (1,1)
    return m;
}

// A matrix with all 16 elements different, including the bottom row.
Matrix4 General(float base) {
    Matrix4 m;
    for (int i = 0; i < 16; ++i) m.m[i] = base + static_cast<float>(i * i % 7) - 0.5f * i;
    return m;
}

void ExpectMatrixNear(const Matrix4& a, const Matrix4& b, float eps) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.m[i], b.m[i], eps) << "element " << i;
}

}  // namespace

TEST(Vector4Test, DehomogenizeDividesOnlyForPositiveW) {
    Vector4 v(2, 4, 6);
    v.w = 2;
    ExpectVec(Vector4::Dehomogenize(v), 1, 2, 3, 1);
    v.w = 0;
    ExpectVec(Vector4::Dehomogenize(v), 1, 1, 1, 1);
    v.w = -2;
    ExpectVec(Vector4::Dehomogenize(v), 1, 1, 1, 1);
}

TEST(Vector4Test, AddSubtractScaleAlwaysGiveAPoint) {
    Vector4 a(1, 2, 3), b(4, 6, 8);
    a.w = 0;
    b.w = 0;
    ExpectVec(Vector4::Add(a, b), 5, 8, 11, 1);
    ExpectVec(Vector4::Subtract(b, a), 3, 4, 5, 1);
    ExpectVec(Vector4::Scale(a, -2), -2, -4, -6, 1);
}

TEST(Vector4Test, DotIgnoresWAndSumsInDouble) {
    // 4096^2 + 1 = 2^24 + 1 is exact in double but rounds to 2^24 in float.
    Vector4 a(4096, 1, 0);
    a.w = 100;
    EXPECT_EQ(Vector4::Dot(a, a), 16777217.0);
}

TEST(Vector4Test, TriangleNormalOrientationAndLength) {
    Vector4 p0(0, 0, 0), p1(1, 0, 0), p2(0, 1, 0);
    ExpectVec(Vector4::TriangleNormal(p0, p1, p2), 0, 0, 1, 0);
    ExpectVec(Vector4::TriangleNormal(p0, p2, p1), 0, 0, -1, 0);
    // A sloped, stretched triangle still gives a unit normal.
    Vector4 q0(0, 0, 0), q1(2, 0, 2), q2(0, 3, 0);
    ExpectVec(Vector4::TriangleNormal(q0, q1, q2), -std::sqrt(0.5f), 0, std::sqrt(0.5f), 0);
}

TEST(Matrix4Test, DefaultIsZeroAndIdentityIsNeutral) {
    Matrix4 z;
    for (float e : z.m) EXPECT_EQ(e, 0.0f);
    Matrix4 g = General(1);
    ExpectMatrixNear(Matrix4::Multiply(Identity(), g), g, 0);
    ExpectMatrixNear(Matrix4::Multiply(g, Identity()), g, 0);
}

TEST(Matrix4Test, MultiplyAndTransformMatchTheColumnMajorDefinition) {
    Matrix4 a = General(1), b = General(-3);
    Matrix4 p = Matrix4::Multiply(a, b);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += a.m[k * 4 + r] * b.m[c * 4 + k];
            EXPECT_FLOAT_EQ(p.m[c * 4 + r], s) << "row " << r << " column " << c;
        }
    Vector4 v(2, -1, 5);
    v.w = 3;
    Vector4 t = Matrix4::Transform(a, v);
    const float in[4] = {v.x, v.y, v.z, v.w};
    const float out[4] = {t.x, t.y, t.z, t.w};
    for (int r = 0; r < 4; ++r) {
        float s = 0;
        for (int k = 0; k < 4; ++k) s += a.m[k * 4 + r] * in[k];
        EXPECT_FLOAT_EQ(out[r], s) << "component " << r;
    }
}

TEST(Matrix4Test, CompositionOrderTranslateRotate) {
    Matrix4 t = Translation(1, 2, 3), r = RotationZ(90);
    // t * r rotates first: (1,0,0) -> (0,1,0) -> (1,3,3).
    ExpectVec(Matrix4::Transform(Matrix4::Multiply(t, r), Vector4(1, 0, 0)), 1, 3, 3, 1, 1e-5f);
    // r * t translates first: (1,0,0) -> (2,2,3) -> (-2,2,3).
    ExpectVec(Matrix4::Transform(Matrix4::Multiply(r, t), Vector4(1, 0, 0)), -2, 2, 3, 1, 1e-5f);
}

TEST(Matrix4Test, AgreesWithTheOpenGLMatrixStack) {
    headless::Reset();
    OpenGLFullscreen w(1280, 1024);
    if (!w.IsCreated()) GTEST_SKIP() << "no headless OpenGL context";

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glRotatef(30, 0, 0, 1);
    Matrix4 gl;
    gl.ReadGL(GL_MODELVIEW_MATRIX);
    Matrix4 ours = Matrix4::Multiply(Translation(1, 2, 3), RotationZ(30));
    ExpectMatrixNear(gl, ours, 1e-6f);
    const float c = std::cos(30 * 3.14159265358979f / 180), s = std::sin(30 * 3.14159265358979f / 180);
    ExpectVec(Matrix4::Transform(gl, Vector4(1, 0, 0)), 1 + c, 2 + s, 3, 1, 1e-5f);

    // General matrices, bottom row included: glMultMatrixf computes a * b.
    Matrix4 a = General(1), b = General(-3);
    glLoadMatrixf(a.m);
    glMultMatrixf(b.m);
    gl.ReadGL(GL_MODELVIEW_MATRIX);
    ExpectMatrixNear(gl, Matrix4::Multiply(a, b), 1e-4f);

    // The projection chain P * MV, transform, dehomogenize lands a point on
    // the pixel OpenGL rasterizes it to.
    glViewport(0, 0, 1280, 1024);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1280.0 / 1024.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, -10, 10, 0, 0, 0, 0, 0, 1);
    Matrix4 proj, view;
    proj.ReadGL(GL_PROJECTION_MATRIX);
    view.ReadGL(GL_MODELVIEW_MATRIX);
    Vector4 p(2.3f, 1.7f, 0.4f);
    Vector4 ndc = Vector4::Dehomogenize(Matrix4::Transform(Matrix4::Multiply(proj, view), p));
    const int px = static_cast<int>(std::floor((ndc.x + 1) * 0.5f * 1280));
    const int py = static_cast<int>(std::floor((ndc.y + 1) * 0.5f * 1024));
    ASSERT_TRUE(px > 0 && px < 1279 && py > 0 && py < 1023);

    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glPointSize(1);
    glColor3f(1, 1, 1);
    glBegin(GL_POINTS);
    glVertex3f(p.x, p.y, p.z);
    glEnd();
    glFinish();
    std::vector<unsigned char> pixels(1280 * 1024 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1280, 1024, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int lit = 0, litX = -1, litY = -1;
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1280; ++x)
            if (pixels[(y * 1280 + x) * 4] > 128) {
                ++lit;
                litX = x;
                litY = y;
            }
    ASSERT_EQ(lit, 1);
    EXPECT_EQ(litX, px);
    EXPECT_EQ(litY, py);
}

TEST(UniversalMatrixTest, InvertsDiagonalAndKeepsTheWorkCopy) {
    UniversalMatrix m(3, 3);
    m.data[0] = 2;
    m.data[4] = 4;
    m.data[8] = 8;
    ASSERT_TRUE(m.Invert());
    EXPECT_EQ(m.rows, 3);
    const float expected[9] = {0.5f, 0, 0, 0, 0.25f, 0, 0, 0, 0.125f};
    for (int i = 0; i < 9; ++i) {
        EXPECT_FLOAT_EQ(m.data[i], expected[i]) << i;
        EXPECT_FLOAT_EQ(m.data[9 + i], expected[i]) << "work block " << i;
    }
}

TEST(UniversalMatrixTest, ZeroDiagonalNeedsTheColumnSwap) {
    UniversalMatrix m(2, 2);
    m.data[1] = 1;  // [[0, 1], [1, 0]]
    m.data[2] = 1;
    ASSERT_TRUE(m.Invert());
    EXPECT_FLOAT_EQ(m.data[0], 0);
    EXPECT_FLOAT_EQ(m.data[1], 1);
    EXPECT_FLOAT_EQ(m.data[2], 1);
    EXPECT_FLOAT_EQ(m.data[3], 0);
}

TEST(UniversalMatrixTest, GeneralInverseSatisfiesAXEqualsI) {
    // Pivots come from different columns, and one diagonal element is 0.
    const float a[9] = {1, 3, -2, 4, 0, 5, -1, 2, 6};
    UniversalMatrix m(3, 3);
    for (int i = 0; i < 9; ++i) m.data[i] = a[i];
    ASSERT_TRUE(m.Invert());
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            double s = 0;
            for (int k = 0; k < 3; ++k) s += a[r * 3 + k] * m.data[k * 3 + c];
            EXPECT_NEAR(s, r == c ? 1.0 : 0.0, 1e-5) << r << "," << c;
        }
}

TEST(UniversalMatrixTest, SingularOrNonSquareFailsWithEverythingZero) {
    UniversalMatrix m(3, 3);
    const float a[9] = {1, 2, 3, 0, 0, 0, 4, 5, 7};  // zero middle row
    for (int i = 0; i < 9; ++i) m.data[i] = a[i];
    for (int i = 9; i < 18; ++i) m.data[i] = 9;  // stale work block
    EXPECT_FALSE(m.Invert());
    EXPECT_EQ(m.rows, 3);
    for (int i = 0; i < 18; ++i) EXPECT_EQ(m.data[i], 0.0f) << i;

    // More rows than columns: no inverse, and no writes past the block.
    UniversalMatrix tall(2, 3);
    for (int i = 0; i < 12; ++i) tall.data[i] = 1.0f + i;
    EXPECT_FALSE(tall.Invert());
    EXPECT_EQ(tall.rows, 3);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(tall.data[i], 0.0f) << i;
}

TEST(UniversalVectorTest, MultiplyByRowVectorProductAndSizeRules) {
    UniversalMatrix m(3, 3);
    m.data[2 * 3 + 0] = 1;  // only (2, 0) is non-zero
    UniversalVector v(3);
    v.data[0] = 1;
    v.data[1] = 2;
    v.data[2] = 3;
    v.MultiplyBy(m);
    ASSERT_EQ(v.size, 3);
    EXPECT_EQ(v.data[0], 3);
    EXPECT_EQ(v.data[1], 0);
    EXPECT_EQ(v.data[2], 0);

    // Size differs from rows: unchanged.
    UniversalVector shortV(2);
    shortV.data[0] = 7;
    shortV.data[1] = 8;
    shortV.MultiplyBy(m);
    ASSERT_EQ(shortV.size, 2);
    EXPECT_EQ(shortV.data[0], 7);
    EXPECT_EQ(shortV.data[1], 8);

    // 2 rows x 4 columns: the vector grows to 4 elements.
    UniversalMatrix wide(4, 2);
    const float w[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (int i = 0; i < 8; ++i) wide.data[i] = w[i];
    UniversalVector g(2);
    g.data[0] = 1;
    g.data[1] = -1;
    g.MultiplyBy(wide);
    ASSERT_EQ(g.size, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(g.data[i], -4) << i;
}
