// Shared editor set-up for frame-drawing tests (see EditorFixture.h).
#include "tests/support/EditorFixture.h"

#include "app/Editor.h"
#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "terrain/FrameUpdate.h"
#include "terrain/TerrainModel.h"
#include "terrain/TriangleSelection.h"

namespace testeditor {

bool Start(int cells) {
    headless::Reset();
    gWindow = new OpenGLFullscreen(kWidth, kHeight);
    if (!gWindow->IsCreated()) return false;
    gTerrain = new TerrainModel(gWindow, cells, cells);
    SetSelectionWindow(gWindow);
    SetupSelection();
    ViewOffsetX = ViewOffsetY = 0.0f;
    CameraHeight = 6.0f;
    CameraHeading = 0.0f;
    LightingEnabled = false;
    return true;
}

void Stop() {
    TeardownSelection();
    delete gTerrain;
    gTerrain = nullptr;
    delete gWindow;
    gWindow = nullptr;
}

Matrix4 SetFrameCamera(float shiftX, float shiftY, float shiftZ) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(kWidth) / kHeight, 0.1, 30.0);
    gluLookAt(0, 0, 0, CameraTargetX, CameraTargetY,
              -CameraHeight - (CameraHeightMax - CameraHeight) / 15.0f, 0, 1, 0);
    glTranslatef(CameraTargetX, CameraTargetY, 0);
    glRotatef(CameraHeading, 0, 0, 1);
    glTranslatef(-CameraTargetX, -CameraTargetY, -CameraHeight);
    glTranslatef(shiftX, shiftY, shiftZ);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Matrix4 m;
    m.ReadGL(GL_PROJECTION_MATRIX);
    return m;
}

}  // namespace testeditor
