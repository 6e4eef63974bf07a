// The terrain editing tools: paint a ground type, raise, lower, plateau and
// smooth, applied once per frame to the cell picked under the mouse and, in
// a symmetry mode, to its mirrored cells as well.
//
// Conventions: a cell id is (x << 16) | y for cell (x, y), -1 for none.
// Heights are world units (z up), brush distances are grid steps measured
// from the middle of the picked cell. ApplyToolsAt takes everything it
// works with as arguments and changes the given terrain in place, re-tiling
// or re-lighting what it changed before it returns. The editor's tool
// settings are the plain globals below (one thread), set by the menu and the
// keys; the edit mode gEditMode itself and its values (kModePaint ...
// kModeSmooth) are declared in app/Editor.h. ApplyTools is the frame's thin
// caller: it reads the mouse through gWindow and the settings, works on
// gTerrain, and keeps the tools' memory between frames in gPlateauHeight and
// gLeftButtonBefore.
#pragma once

#include <cstdint>

#include "gl/PressEdge.h"
#include "terrain/Symmetry.h"

class TerrainModel;

extern char gCurrentGround;      // ground letter the paint tool writes: 'e', 'w', 's'
extern int32_t gBrushSize;       // brush size B of the height tools: 2 to 8, 32 with the keys
extern int32_t gSymmetry;        // symmetry mode (Symmetry.h), kSymmetryOff at start
extern double gPlateauHeight;    // height the plateau tool flattens to
extern bool gLeftButtonBefore;   // left button at the end of the last ApplyTools

// Menu actions (the menu calls every action as void(*)(int)).
// SelectGround keeps the low byte of `letter` as the ground letter and also
// switches to the paint tool.
void SelectGround(int letter);
void SetEditMode(int mode);
void SetBrushSize(int size);

// One frame's input to the tools.
struct ToolInput {
    int mode;       // gEditMode's values; only kModePaint ... kModeSmooth act
    char ground;    // the letter painting writes
    int brush;      // brush size B; below 1 it is used as 1
    bool left, right;
    bool overView;  // the pointer lies above the menu rows
    int symmetry;   // symmetry mode (Symmetry.h)
};

// What the tools remember from frame to frame.
struct ToolMemory {
    PressEdge left;              // a new left press captures the plateau height
    double plateauHeight = 0.0;  // the height the plateau tool flattens to
};

// Applies the tools for one frame with `cellId` picked: at the cell and at
// its mirrored cells (MirroredCells), tool by tool in the order of that
// list. Painting writes the picked cell's lower-left vertex and its mirror
// images (MirroredVertices). A new left press captures the plateau height
// at the picked cell only, so every part of a stroke flattens to it. An id
// that names no cell of the grid (-1 or outside) changes nothing but the
// remembered button state.
void ApplyToolsAt(TerrainModel& terrain, int cellId, const ToolInput& in, ToolMemory& memory);

// The input of this frame from gWindow and the settings; needs gWindow.
ToolInput FrameToolInput();

// ApplyToolsAt on gTerrain with FrameToolInput, gPlateauHeight and
// gLeftButtonBefore. Does nothing without a window or a terrain.
void ApplyTools(int pickedId);
