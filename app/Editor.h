// The editor's program-wide objects and settings.
//
// RunEditor owns the four objects for the whole run and reaches every
// subsystem through these pointers; they are null outside a run. The
// pointers and gEditMode are declared with their types, below the editor,
// so that the code below it reaches them without reaching up to here.
#pragma once

#include <cstdint>

#include "gl/OpenGLFullscreen.h"  // gWindow
#include "menu/Cursor.h"           // gCursor
#include "menu/Menue.h"            // gMenu
#include "terrain/TerrainModel.h"  // gTerrain
#include "terrain/ToolModes.h"     // gEditMode and its values kModeNone ... kModeSmooth

// Creates every editor object, runs the main loop until the quit message and
// tears everything down again. Returns when the editor has ended.
void RunEditor(int width, int height);
