// Small linear-algebra kit: Vector4, Matrix4, UniversalMatrix, UniversalVector.
//
// Conventions: Vector4 is (x, y, z, w) with w = 1 for points and 0 for the
// normals TriangleNormal makes. Matrix4 is OpenGL's column-major layout,
// element (r, c) at m[c * 4 + r], so matrices read back with glGetFloatv need
// no conversion and Multiply(a, b) composes like the OpenGL matrix stack (b is
// applied to a point first). UniversalMatrix stores element (r, c) at
// data[r * columns + c] and owns 2 x rows x columns floats: the matrix and the
// work block the inversion uses. UniversalVector owns `size` floats. All heap
// blocks belong to their object and are released by its destructor.
#include "math/Matrixvector.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "gl/GL.h"

// ---------------------------------------------------------------- Vector4

double Vector4::Dot(const Vector4& a, const Vector4& b) {
    // Summed in double: the shading compares dot products of nearly parallel
    // vectors, where float rounding would show as banding.
    return static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y +
           static_cast<double>(a.z) * b.z;
}

Vector4 Vector4::TriangleNormal(const Vector4& p0, const Vector4& p1, const Vector4& p2) {
    // u = p0 - p1 and v = p0 - p2 in this order: a triangle counter-clockwise
    // seen from +z gets a normal towards +z.
    const float ux = p0.x - p1.x, uy = p0.y - p1.y, uz = p0.z - p1.z;
    const float vx = p0.x - p2.x, vy = p0.y - p2.y, vz = p0.z - p2.z;
    Vector4 n(uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx);
    Normalize(n);
    n.w = 0.0f;  // a direction, not a point
    return n;
}

void Vector4::Normalize(Vector4& v) {
    // A zero vector divides by zero and gives non-finite components; no
    // caller passes one (terrain cells are never degenerate).
    const double length = std::sqrt(Dot(v, v));
    v.x = static_cast<float>(v.x / length);
    v.y = static_cast<float>(v.y / length);
    v.z = static_cast<float>(v.z / length);
    v.w = 1.0f;
}

Vector4 Vector4::Dehomogenize(const Vector4& v) {
    // A point behind the eye (w <= 0, or w not a number) has no meaningful
    // projection; it maps to the fixed point (1, 1, 1), outside the view.
    if (v.w > 0.0f) return Vector4(v.x / v.w, v.y / v.w, v.z / v.w);
    return Vector4(1.0f, 1.0f, 1.0f);
}

// Add, Subtract and Scale ignore the inputs' w and always give a point (w = 1).
Vector4 Vector4::Add(const Vector4& a, const Vector4& b) {
    return Vector4(a.x + b.x, a.y + b.y, a.z + b.z);
}

Vector4 Vector4::Subtract(const Vector4& a, const Vector4& b) {
    return Vector4(a.x - b.x, a.y - b.y, a.z - b.z);
}

Vector4 Vector4::Scale(const Vector4& v, float s) {
    return Vector4(v.x * s, v.y * s, v.z * s);
}

// ---------------------------------------------------------------- Matrix4

Matrix4::Matrix4() {
    for (float& e : m) e = 0.0f;
}

void Matrix4::ReadGL(unsigned query) {
    glGetFloatv(static_cast<GLenum>(query), m);
}

// Written out element by element: called per drawn cell, so no loops, no
// allocation, nothing beyond the result. out(r, c) = sum_k a(r, k) * b(k, c).
Matrix4 Matrix4::Multiply(const Matrix4& a, const Matrix4& b) {
    const float* A = a.m;
    const float* B = b.m;
    Matrix4 o;
    float* O = o.m;
    O[0] = A[0] * B[0] + A[4] * B[1] + A[8] * B[2] + A[12] * B[3];
    O[1] = A[1] * B[0] + A[5] * B[1] + A[9] * B[2] + A[13] * B[3];
    O[2] = A[2] * B[0] + A[6] * B[1] + A[10] * B[2] + A[14] * B[3];
    O[3] = A[3] * B[0] + A[7] * B[1] + A[11] * B[2] + A[15] * B[3];

    O[4] = A[0] * B[4] + A[4] * B[5] + A[8] * B[6] + A[12] * B[7];
    O[5] = A[1] * B[4] + A[5] * B[5] + A[9] * B[6] + A[13] * B[7];
    O[6] = A[2] * B[4] + A[6] * B[5] + A[10] * B[6] + A[14] * B[7];
    O[7] = A[3] * B[4] + A[7] * B[5] + A[11] * B[6] + A[15] * B[7];

    O[8] = A[0] * B[8] + A[4] * B[9] + A[8] * B[10] + A[12] * B[11];
    O[9] = A[1] * B[8] + A[5] * B[9] + A[9] * B[10] + A[13] * B[11];
    O[10] = A[2] * B[8] + A[6] * B[9] + A[10] * B[10] + A[14] * B[11];
    O[11] = A[3] * B[8] + A[7] * B[9] + A[11] * B[10] + A[15] * B[11];

    O[12] = A[0] * B[12] + A[4] * B[13] + A[8] * B[14] + A[12] * B[15];
    O[13] = A[1] * B[12] + A[5] * B[13] + A[9] * B[14] + A[13] * B[15];
    O[14] = A[2] * B[12] + A[6] * B[13] + A[10] * B[14] + A[14] * B[15];
    O[15] = A[3] * B[12] + A[7] * B[13] + A[11] * B[14] + A[15] * B[15];
    return o;
}

// The column vector m * v with all four components (w included, so the
// result of a projection can be dehomogenized).
Vector4 Matrix4::Transform(const Matrix4& m, const Vector4& v) {
    const float* M = m.m;
    Vector4 o;
    o.x = M[0] * v.x + M[4] * v.y + M[8] * v.z + M[12] * v.w;
    o.y = M[1] * v.x + M[5] * v.y + M[9] * v.z + M[13] * v.w;
    o.z = M[2] * v.x + M[6] * v.y + M[10] * v.z + M[14] * v.w;
    o.w = M[3] * v.x + M[7] * v.y + M[11] * v.z + M[15] * v.w;
    return o;
}

// ---------------------------------------------------------------- UniversalMatrix

namespace {

// Square products up to this size are formed without touching the heap.
constexpr int kSmallVector = 16;

// Element count of the matrix plus its work block. Negative counts are taken
// as 0 so that a bad size can never turn into a huge or negative allocation.
size_t BlockFloats(int columns, int rows) {
    if (columns <= 0 || rows <= 0) return 0;
    return 2 * static_cast<size_t>(rows) * static_cast<size_t>(columns);
}

}  // namespace

UniversalMatrix::UniversalMatrix(int columns_, int rows_)
    : columns(columns_ > 0 ? columns_ : 0),
      rows(rows_ > 0 ? rows_ : 0),
      data(new float[BlockFloats(columns_, rows_)]()) {}

UniversalMatrix::~UniversalMatrix() { delete[] data; }

// The three column operations run over `rows` rows; while Invert runs, rows
// is doubled so they carry the work block along with the matrix.
void UniversalMatrix::AddScaledColumn(int a, int b, float f) {
    for (int r = 0; r < rows; ++r) data[r * columns + b] += data[r * columns + a] * f;
}

void UniversalMatrix::ScaleColumn(int a, float f) {
    for (int r = 0; r < rows; ++r) data[r * columns + a] *= f;
}

void UniversalMatrix::SwapColumns(int a, int b) {
    for (int r = 0; r < rows; ++r) {
        float t = data[r * columns + a];
        data[r * columns + a] = data[r * columns + b];
        data[r * columns + b] = t;
    }
}

// Gauss-Jordan elimination by column operations: the same operations turn
// the matrix A into I and the work block (started as I) into X with A * X = I.
// Pivots are searched along row p (strictly greater magnitude wins, so ties
// keep the earlier column). On failure every float of the matrix and the
// work block is 0 and false comes back; callers may go on with the zeros.
bool UniversalMatrix::Invert() {
    const int n = rows;
    const size_t total = BlockFloats(columns, rows);
    // Only square matrices have an inverse; a non-square one would also make
    // the pivot index run past the end of a row. It fails like a singular one.
    if (columns != rows) {
        std::memset(data, 0, total * sizeof(float));
        return false;
    }

    for (int r = 0; r < n; ++r)
        for (int c = 0; c < columns; ++c) data[(n + r) * columns + c] = (r == c) ? 1.0f : 0.0f;
    rows = 2 * n;

    for (int p = 0; p < n; ++p) {
        int pivotColumn = p;
        float v = data[p * columns + p];
        for (int k = p + 1; k < columns; ++k) {
            const float e = data[p * columns + k];
            if (std::fabs(e) > std::fabs(v)) {
                pivotColumn = k;
                v = e;
            }
        }
        if (v == 0.0f) {
            rows = n;
            std::memset(data, 0, total * sizeof(float));
            return false;
        }
        SwapColumns(p, pivotColumn);
        for (int j = 0; j < columns; ++j) {
            if (j == p) continue;
            const float f = -data[p * columns + j] / v;
            AddScaledColumn(p, j, f);
        }
        ScaleColumn(p, 1.0f / v);
    }

    rows = n;
    // The inverse goes over the matrix; the work block keeps its own copy.
    std::memcpy(data, data + static_cast<size_t>(n) * columns,
                static_cast<size_t>(n) * columns * sizeof(float));
    return true;
}

// ---------------------------------------------------------------- UniversalVector

UniversalVector::UniversalVector(int size_)
    : size(size_ > 0 ? size_ : 0), data(new float[size_ > 0 ? size_ : 0]()) {}

UniversalVector::~UniversalVector() { delete[] data; }

// Row-vector product v * M: new v[i] = sum_k old v[k] * M(k, i).
// A vector whose size differs from M.rows is left unchanged. The product has
// M.columns elements, so for a non-square M the vector is given room: its
// array is replaced by one of M.columns floats and `size` becomes M.columns.
// The result is always built in a fresh array from the old values, which
// also keeps the square case from reading elements it has already written.
void UniversalVector::MultiplyBy(const UniversalMatrix& m) {
    if (size != m.rows) return;
    if (m.columns == size && size <= kSmallVector) {
        // The common square case is on the per-frame path (twice per drawn
        // cell): the old values go to the stack and the product is written
        // in place, so it allocates nothing.
        float old[kSmallVector];
        for (int k = 0; k < size; ++k) old[k] = data[k];
        for (int i = 0; i < m.columns; ++i) {
            float sum = 0.0f;
            for (int k = 0; k < m.rows; ++k) sum += old[k] * m.data[k * m.columns + i];
            data[i] = sum;
        }
        return;
    }
    float* result = new float[m.columns > 0 ? m.columns : 0]();
    for (int i = 0; i < m.columns; ++i) {
        float sum = 0.0f;
        for (int k = 0; k < m.rows; ++k) sum += data[k] * m.data[k * m.columns + i];
        result[i] = sum;
    }
    delete[] data;
    data = result;
    size = m.columns;
}
