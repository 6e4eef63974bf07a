// One frame of the editor and the camera it owns.
//
// Conventions: the whole camera sits on the projection matrix and the
// modelview stays the identity, so world points (already shifted by
// -ViewOffsetX, -ViewOffsetY) go straight through projection x modelview to
// clip space, and the light placed once under an identity modelview keeps its
// place. Heading in degrees, forward on the map for heading h is (sin h,
// cos h). The bottom kMenuPanelRows pixel rows belong to the menu panel: the 3D
// view is scissored out of them. Input is read after drawing, so a change
// shows in the next frame. Every speed is a fixed step per frame.
#include "terrain/FrameUpdate.h"

#include <algorithm>
#include <cmath>

#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "math/Matrixvector.h"
#include "menu/Cursor.h"
#include "menu/Menue.h"
#include "platform/Platform.h"
#include "terrain/BrushFootprint.h"
#include "terrain/EditHistory.h"
#include "terrain/FrameState.h"
#include "terrain/RegionTool.h"
#include "terrain/SceneRender.h"
#include "terrain/ShapingTools.h"
#include "terrain/TerrainRender.h"
#include "terrain/TerrainTools.h"
#include "terrain/ToolKeys.h"
#include "terrain/ToolModes.h"
#include "terrain/TriangleSelection.h"

float ViewOffsetX = 0.0f;
float ViewOffsetY = 0.0f;
const float CameraTargetX = 0.0f;
const float CameraTargetY = 3.0f;
float CameraHeight = 6.0f;
const float CameraHeightMin = 2.5f;
const float CameraHeightMax = 6.0f;
float CameraHeading = 0.0f;
bool LightingEnabled = false;
const float HighlightColour[3] = {1.0f, 1.0f, 0.0f};

namespace {

constexpr int kScrollBand = 20;  // pixels at each screen edge that scroll
constexpr float kZoomStep = 0.025f;
constexpr float kTurnStep = 2.0f;
constexpr float kScrollStep = 0.1f;

constexpr unsigned kKeyL = 'L';
constexpr unsigned kKeyLeft = plat::VK_LEFT;
constexpr unsigned kKeyUp = plat::VK_UP;
constexpr unsigned kKeyRight = plat::VK_RIGHT;
constexpr unsigned kKeyDown = plat::VK_DOWN;
constexpr unsigned kKeyNumpad2 = plat::VK_NUMPAD2;
constexpr unsigned kKeyNumpad4 = plat::VK_NUMPAD4;
constexpr unsigned kKeyNumpad6 = plat::VK_NUMPAD6;
constexpr unsigned kKeyNumpad8 = plat::VK_NUMPAD8;

// What the frame keeps from one frame to the next.
struct FrameMemory {
    PressEdge keyL;            // holding L toggles lighting only once
    ToolKeyMemory toolKeys;    // the same for M and the brush keys
    int pickedCell = kNoCell;  // picked by the last terrain pass, for the tools
};
FrameMemory sFrame;

// The overlay hook and its user.
struct FrameOverlay {
    FrameOverlayHook hook = nullptr;
    void* user = nullptr;
};
FrameOverlay sOverlay;

// Moves the view offset one step towards map direction `degrees`.
void Scroll(float degrees) {
    const float radians = degrees * (1.0f / 180.0f) * static_cast<float>(kPi);
    ViewOffsetX += std::sin(radians) * kScrollStep;
    ViewOffsetY += std::cos(radians) * kScrollStep;
}

void SetCamera(int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<float>(width) / static_cast<float>(height), 0.1, 30.0);
    // Below the top height the view tilts a little further down than the
    // target point, so zooming in shows more of the ground near the eye.
    gluLookAt(0.0, 0.0, 0.0, CameraTargetX, CameraTargetY,
              -CameraHeight - (CameraHeightMax - CameraHeight) / 15.0f, 0.0, 1.0, 0.0);
    // Orbit about the vertical line through the target, then lift the eye.
    glTranslatef(CameraTargetX, CameraTargetY, 0.0f);
    glRotatef(CameraHeading, 0.0f, 0.0f, 1.0f);
    glTranslatef(-CameraTargetX, -CameraTargetY, -CameraHeight);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void CameraKeys(const bool* keys) {
    if (sFrame.keyL.Pressed(keys[kKeyL])) LightingEnabled = !LightingEnabled;

    if (keys[kKeyNumpad8]) CameraHeight += kZoomStep;
    if (keys[kKeyNumpad2]) CameraHeight -= kZoomStep;
    if (CameraHeight > CameraHeightMax) CameraHeight = CameraHeightMax;
    if (CameraHeight < CameraHeightMin) CameraHeight = CameraHeightMin;

    if (keys[kKeyNumpad4]) CameraHeading -= kTurnStep;
    if (keys[kKeyNumpad6]) CameraHeading += kTurnStep;
    // Exactly 0 and exactly 360 are both kept as they are.
    if (CameraHeading < 0.0f) CameraHeading += 360.0f;
    if (CameraHeading > 360.0f) CameraHeading -= 360.0f;
}

void Scrolling(const bool* keys, int mouseX, int mouseY, int width, int height) {
    if (mouseX < kScrollBand || keys[kKeyLeft]) Scroll(CameraHeading - 90.0f);
    if (mouseX > width - kScrollBand || keys[kKeyRight]) Scroll(CameraHeading + 90.0f);
    if (mouseY < kScrollBand || keys[kKeyUp]) Scroll(CameraHeading);
    if (mouseY > height - kScrollBand || keys[kKeyDown]) Scroll(CameraHeading + 180.0f);
}

}  // namespace

int FramePickedCell() {
    return sFrame.pickedCell;
}

void SetFrameOverlay(FrameOverlayHook hook, void* user) {
    sOverlay.hook = hook;
    sOverlay.user = user;
}

bool FrameUpdate() {
    Matrix4 modelview;
    Matrix4 projection;
    Matrix4 combined;
    const FrameInput input = ReadFrameInput();
    const int width = input.width;
    const int height = input.height;
    // Before the frame state is built, so that the brush and symmetry they
    // choose are the ones shown and used in this frame.
    ApplyToolKeys(input, sFrame.toolKeys);

    // The previous frame left the scissor test off, so this clears it all.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glScissor(0, kMenuPanelRows, width, std::max(0, height - kMenuPanelRows));
    glEnable(GL_SCISSOR_TEST);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);

    SetCamera(width, height);
    modelview.ReadGL(GL_MODELVIEW_MATRIX);
    projection.ReadGL(GL_PROJECTION_MATRIX);
    combined = Matrix4::Multiply(projection, modelview);

    DrawTerrain(combined);
    sFrame.pickedCell = PickedCell();
    const FrameState frame = EditorFrameState(input, sFrame.pickedCell);
    // On the ground before the water, so water covers it as it covers the
    // ground.
    DrawBrushFootprint(*gTerrain, frame, gPlateauHeight, ViewOffsetX, ViewOffsetY);
    if (const HeldRamp* ramp = EditorHeldRamp())
        DrawRampBand(*gTerrain, frame, *ramp, ViewOffsetX, ViewOffsetY);
    DrawRegionOutlines(*gTerrain, gRegionTool, frame, ViewOffsetX, ViewOffsetY);

    DrawWater();
    DrawSceneObjects();

    // Overlay state for the screen-pixel drawing that follows.
    glDisable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.4f);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);

    if (gMenu) gMenu->Draw();
    if (sOverlay.hook) sOverlay.hook(sOverlay.user, frame);
    // The pointer picture has soft edges: blended, not alpha-tested.
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (gCursor) {
        gCursor->Update();
        gCursor->Draw();
    }
    glDisable(GL_BLEND);

    CameraKeys(input.keys);
    Scrolling(input.keys, input.mouseX, input.mouseY, width, height);

    // The history copies what the tools may change before they change it,
    // and closes the stroke (then undoes or redoes) once no button is held.
    RecordStroke(frame);
    ApplyFrameTools(frame);
    EditKeys(frame);
    RegionFrame(gRegionTool, *gTerrain, gEditHistory, frame, gEditMode);
    return true;
}
