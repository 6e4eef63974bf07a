// Picking of the terrain cell under the mouse, triangle by triangle, while
// the terrain is drawn.
//
// Conventions: screen pixels have (0, 0) at the lower-left, y upward; a
// corner in normalised device coordinates q becomes the pixel
// (trunc(halfW * (1 + q.x)), trunc(halfH * (1 + q.y))) with halfW, halfH the
// integer halves of the window size. Depth is judged by the height (z) of a
// triangle's first corner only: the highest hit wins, of equal heights the
// later one. The module owns its 2 x 2 solver (created by SetupSelection,
// reused by every test so that testing allocates nothing); it does not own
// the window. Until SetupSelection, and after TeardownSelection, tests do
// nothing.
#include "terrain/TriangleSelection.h"

#include <cmath>
#include <new>

#include "gl/OpenGLFullscreen.h"

namespace {

// The selection's memory: the window, this pass's mouse and matrix, the
// solver and the best hit so far.
struct Selection {
    OpenGLFullscreen* window = nullptr;
    int32_t mouseX = 0;
    int32_t mouseY = 0;  // counted upward from the bottom row
    Matrix4 viewProjection;
    UniversalMatrix* solverMatrix = nullptr;
    UniversalVector* solverVector = nullptr;
    int32_t pickedId = kNoCell;
    float bestHeight = -100.0f;
};
Selection sSelection;

// Pixel positions are kept within +-2^29 before they become integers: a
// corner just in front of the eye (w barely above 0) projects towards
// infinity, and neither its conversion nor the corner differences may
// overflow. Positions anywhere near the screen are unchanged.
int ToPixel(int half, float ndc) {
    const double limit = 536870912.0;
    double pixel = half * (1.0 + static_cast<double>(ndc));
    if (std::isnan(pixel)) pixel = 0.0;
    if (pixel > limit) pixel = limit;
    if (pixel < -limit) pixel = -limit;
    return static_cast<int>(pixel);  // truncation toward zero
}

}  // namespace

void SetSelectionWindow(OpenGLFullscreen* window) { sSelection.window = window; }

void SetupSelection() {
    TeardownSelection();  // a second set-up must not leak the first solver
    sSelection.solverMatrix = new (std::nothrow) UniversalMatrix(2, 2);
    sSelection.solverVector = new (std::nothrow) UniversalVector(2);
    sSelection.pickedId = kNoCell;
}

void TeardownSelection() {
    delete sSelection.solverMatrix;
    sSelection.solverMatrix = nullptr;
    delete sSelection.solverVector;
    sSelection.solverVector = nullptr;
}

void BeginPicking(Matrix4 frameViewProjection, int frameMouseX, int frameMouseY) {
    sSelection.viewProjection = frameViewProjection;
    sSelection.mouseX = frameMouseX;
    sSelection.mouseY = frameMouseY;
    sSelection.pickedId = kNoCell;
    sSelection.bestHeight = -100.0f;
}

void TestTriangle(int id, const Vector4 corners[3]) {
    if (sSelection.solverMatrix == nullptr || sSelection.solverVector == nullptr || sSelection.window == nullptr) return;
    // Only a triangle at least as high as the best hit can win; equal heights
    // are tested, so the later of two equal candidates wins.
    if (sSelection.bestHeight > corners[0].z) return;

    const int halfW = sSelection.window->GetWidth() / 2;
    const int halfH = sSelection.window->GetHeight() / 2;
    int px[3], py[3];
    for (int k = 0; k < 3; ++k) {
        // A corner behind the eye comes back as (1, 1): the top-right corner.
        const Vector4 q = Vector4::Dehomogenize(Matrix4::Transform(sSelection.viewProjection, corners[k]));
        px[k] = ToPixel(halfW, q.x);
        py[k] = ToPixel(halfH, q.y);
    }

    // Solve alpha * (P1 - P0) + beta * (P2 - P0) = mouse - P0 as the row
    // vector (alpha, beta) times the matrix of the two edges.
    float* m = sSelection.solverMatrix->data;
    m[0] = static_cast<float>(px[1] - px[0]);
    m[1] = static_cast<float>(py[1] - py[0]);
    m[2] = static_cast<float>(px[2] - px[0]);
    m[3] = static_cast<float>(py[2] - py[0]);
    sSelection.solverVector->data[0] = static_cast<float>(sSelection.mouseX - px[0]);
    sSelection.solverVector->data[1] = static_cast<float>(sSelection.mouseY - py[0]);
    if (!sSelection.solverMatrix->Invert()) return;  // zero area in pixels
    sSelection.solverVector->MultiplyBy(*sSelection.solverMatrix);

    const float alpha = sSelection.solverVector->data[0];
    const float beta = sSelection.solverVector->data[1];
    if (alpha >= 0.0f && beta >= 0.0f && alpha + beta <= 1.0f) {
        sSelection.pickedId = id;
        sSelection.bestHeight = corners[0].z;
    }
}

int PickedCell() { return sSelection.pickedId; }
