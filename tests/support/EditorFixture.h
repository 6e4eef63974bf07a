// Shared set-up of the editor's objects for tests that draw frames through
// the headless backend: a 1280 x 1024 window, a terrain of the given size,
// the selection, and the camera globals at their start values. Also the
// frame's camera written out on its own, so tests can check the frame's
// drawing against matrices they made themselves.
#pragma once

#include "math/Matrixvector.h"

namespace testeditor {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

// gWindow, gTerrain (cells x cells, not yet shaded) and the selection; the
// camera, lighting switch and scroll offsets back at their start values.
// False when the window could not be created.
bool Start(int cells);
// Deletes what Start made and clears the globals.
void Stop();

// Sets the camera the frame update uses (perspective, look-at, orbit) on the
// projection matrix, followed by an extra world translation, with the
// modelview the identity. Returns the projection matrix (the frame's
// view-projection, as the modelview is the identity).
Matrix4 SetFrameCamera(float shiftX = 0.0f, float shiftY = 0.0f, float shiftZ = 0.0f);

}  // namespace testeditor
