// Small linear-algebra kit.
//
// Vector4: homogeneous point or direction, four contiguous floats x, y, z, w
// (w = 1 for points, 0 for normals), so &v.x can go to glNormal3fv etc.
// Matrix4: 16 floats in OpenGL's column-major order: element (row r, column c)
// is m[c * 4 + r]; the translation sits in m[12..14]. No transposition ever.
// UniversalMatrix / UniversalVector: heap-backed, for small linear systems.
// A UniversalMatrix holds 2 x rows x columns floats: rows 0..rows-1 are the
// matrix, the rest is the work block of the Gauss-Jordan inversion, which
// works by column operations (so it solves A * X = I).
#pragma once

#include <cstdint>

// The circle constant of every angle in the editor; single-precision code
// uses static_cast<float>(kPi).
constexpr double kPi = 3.14159265358979323846;

struct Vector4 {
    float x, y, z, w;

    Vector4() : x(0.0f), y(0.0f), z(0.0f), w(1.0f) {}
    Vector4(float x_, float y_, float z_) : x(x_), y(y_), z(z_), w(1.0f) {}

    static double Dot(const Vector4& a, const Vector4& b);
    static Vector4 TriangleNormal(const Vector4& p0, const Vector4& p1, const Vector4& p2);
    static void Normalize(Vector4& v);
    static Vector4 Dehomogenize(const Vector4& v);
    static Vector4 Add(const Vector4& a, const Vector4& b);
    static Vector4 Subtract(const Vector4& a, const Vector4& b);
    static Vector4 Scale(const Vector4& v, float s);
};

struct Matrix4 {
    float m[16];

    Matrix4();  // all zeros, not the identity

    // Fills m from glGetFloatv(query); needs a current OpenGL context.
    void ReadGL(unsigned query);
    static Matrix4 Multiply(const Matrix4& a, const Matrix4& b);
    static Vector4 Transform(const Matrix4& m, const Vector4& v);
};

class UniversalMatrix {
public:
    UniversalMatrix(int columns, int rows);
    ~UniversalMatrix();
    UniversalMatrix(const UniversalMatrix&) = delete;
    UniversalMatrix& operator=(const UniversalMatrix&) = delete;

    void AddScaledColumn(int a, int b, float f);
    void ScaleColumn(int a, float f);
    void SwapColumns(int a, int b);
    bool Invert();

    int columns;
    int rows;
    float* data;
};

class UniversalVector {
public:
    explicit UniversalVector(int size);
    ~UniversalVector();
    UniversalVector(const UniversalVector&) = delete;
    UniversalVector& operator=(const UniversalVector&) = delete;

    void MultiplyBy(const UniversalMatrix& m);

    int size;
    float* data;
};
