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

// Creates every editor object, runs the main loop until the quit message and
// tears everything down again. Returns when the editor has ended.
void RunEditor(int width, int height);
