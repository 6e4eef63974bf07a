// The editor's program-wide objects and settings.
//
// RunEditor owns the four objects for the whole run and reaches every
// subsystem through these pointers; they are null outside a run. gEditMode:
// 0 none, 1 load request, 2 save request (one-shot, served by the main loop),
// 3 paint ground, 4 raise, 5 lower, 6 plateau, 7 smooth.
#pragma once

#include <cstdint>

class OpenGLFullscreen;
class TerrainModel;
class GameMenue;
class GameCursor;

extern OpenGLFullscreen* gWindow;
extern TerrainModel* gTerrain;
extern GameMenue* gMenu;
extern GameCursor* gCursor;
extern int32_t gEditMode;

// Values of gEditMode. Load and save are one-shot requests that the main
// loop serves after the frame that raised them and then resets to none; the
// others select the tool that ApplyTools uses.
constexpr int32_t kModeNone = 0;
constexpr int32_t kModeLoad = 1;
constexpr int32_t kModeSave = 2;
constexpr int32_t kModePaint = 3;
constexpr int32_t kModeRaise = 4;
constexpr int32_t kModeLower = 5;
constexpr int32_t kModePlateau = 6;
constexpr int32_t kModeSmooth = 7;

// Creates every editor object, runs the main loop until the quit message and
// tears everything down again. Returns when the editor has ended.
void RunEditor(int width, int height);
