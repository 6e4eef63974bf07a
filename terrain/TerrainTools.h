// The terrain editing tools: paint a ground type, raise, lower, plateau and
// smooth, applied once per frame to the cell picked under the mouse and, in
// a symmetry mode, to its mirrored cells as well.
//
// Conventions: cell ids and brush windows as FrameState.h has them; heights
// are world units (z up). ApplyToolsAt takes everything it works with as
// arguments and changes the given terrain in place, re-tiling or re-lighting
// what it changed before it returns. Each tool is one row of the mode table
// (ToolModes.h) and one of the apply functions below. The editor's tool
// settings are the plain globals below (one thread), set by the menu and the
// keys and read only by the frame state's builder; ApplyTools is the frame's
// thin caller, which keeps the tools' memory between frames in
// gPlateauHeight and gLeftButtonBefore.
#pragma once

#include <cstdint>

#include "gl/PressEdge.h"
#include "terrain/FrameState.h"
#include "terrain/ShapingTools.h"

class TerrainModel;
class EditHistory;

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

// What the tools remember from frame to frame.
struct ToolMemory {
    PressEdge left;              // for ToolInput callers: a new left press
    double plateauHeight = 0.0;  // the height the plateau tool flattens to
    ShapingMemory shaping;       // the held ramp and the erosion's generator
    // Where a tool that changes more than the frame's brush windows (the
    // ramp) records what it changes first; null: nowhere.
    EditHistory* history = nullptr;
};

// Applies the selected tool for one frame at every cell of `frame`, the
// picked cell first. Painting writes the picked cell's lower-left vertex and
// its mirror images (MirroredVertices); with Shift held, every vertex within
// distance B of each cell, as plateau. Every step is scaled by the frame's
// strength: raise, lower and smooth amounts times the share, the plateau
// moves h by share * (target - h) (at 100 % it sets the target). A new left press captures the
// plateau height at the picked cell only, in any mode and anywhere, so
// every part of a stroke flattens to it. Without a picked cell nothing
// changes.
void ApplyToolsAt(TerrainModel& terrain, const FrameState& frame, ToolMemory& memory);

// The tools' rows' apply functions (ToolModes.cpp).
void ApplyPaint(TerrainModel& terrain, const FrameState& frame, ToolMemory& memory);
void ApplyRaiseLower(TerrainModel& terrain, const FrameState& frame, ToolMemory& memory);
void ApplyPlateau(TerrainModel& terrain, const FrameState& frame, ToolMemory& memory);
void ApplySmooth(TerrainModel& terrain, const FrameState& frame, ToolMemory& memory);

// The tools' input in short, for callers without a window: the frame state
// of `cellId` with these settings and buttons.
struct ToolInput {
    int mode;
    char ground;
    int brush;
    bool left, right;
    bool overView;
    int symmetry;
    int strength = kFullStrength;
};
FrameState ToolFrameState(const TerrainModel& terrain, int cellId, const ToolInput& in,
                          bool leftPressed);
// ApplyToolsAt with that frame state, the press edge kept in memory.left.
void ApplyToolsAt(TerrainModel& terrain, int cellId, const ToolInput& in, ToolMemory& memory);

// ApplyToolsAt on gTerrain with gPlateauHeight, then gLeftButtonBefore = the
// frame's left button. Does nothing without a terrain.
void ApplyFrameTools(const FrameState& frame);
// ApplyFrameTools with the editor's frame state for `pickedId`; needs gWindow.
void ApplyTools(int pickedId);
