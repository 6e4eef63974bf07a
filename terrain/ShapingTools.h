// The shaping tools of the mode table: the ramp between two points, erosion
// by droplets inside the brush and painting by height and slope, and the
// brush strength that scales every tool's step.
//
// Conventions: cells, brush windows and the cosine weight as FrameState.h
// has them. A ramp runs from the middle of cell A (picked when the left
// button went down) to the middle of cell B (picked when it comes up); a
// vertex's distance from the ramp is its distance from that segment in grid
// steps, and s its projection on it, clamped to 0 .. 1. Each end's height is
// the mean of its cell's corners, as the plateau captures it (A's at the
// press, B's at the release). In a symmetry mode the ramp runs between the
// images of A and B, image k of A to image k of B, each with its own ends'
// heights. The strength is a share in per cent, kFullStrength (the tools'
// steps as they are defined) at start; digit keys 1 .. 9 set 10 .. 90 %,
// 0 sets 100 %.
#pragma once

#include <cstdint>

#include "gl/PressEdge.h"
#include "terrain/Erosion.h"
#include "terrain/LandRegion.h"
#include "terrain/Symmetry.h"

class TerrainModel;
class EditHistory;
struct FrameState;
struct ToolMemory;

extern int32_t gBrushStrength;  // per cent, 10 .. 100

// The seed of the erosion brush's one generator, so that a session's
// strokes erode the same on every machine.
constexpr uint64_t kErosionBrushSeed = 0x7E55A1;

// The digit keys' levels of the previous frame.
struct StrengthKeyMemory {
    PressEdge digit[10];
};
// This frame's new presses of the digit keys applied to the strength.
void StrengthKeys(const bool* keys, StrengthKeyMemory& memory, int32_t& strength);

// The strength as a factor: 1.0 exactly at 100 %.
double StrengthShare(int32_t strength);

// A ramp while its button is held: the images of A and their heights.
struct HeldRamp {
    bool held = false;
    int count = 0;
    int cells[kMaxMirroredCells];
    double heights[kMaxMirroredCells];
};

// What the shaping tools remember between frames.
struct ShapingMemory {
    HeldRamp ramp;
    ErosionRandom random{kErosionBrushSeed};
};

// The mean height of the corners of cell `cellId`.
double CellMeanHeight(const TerrainModel& t, int cellId);

// Moves every vertex within distance `brush` of the segment from the middle
// of cell a to that of cell b towards the straight slope from ha to hb by
// f * share of the way (f the cosine weight), re-lights what it changed and
// returns the rectangle of vertices it may have changed. `history`, when
// given, records them first.
VertexRect RampBetween(TerrainModel& t, int cellA, double ha, int cellB, double hb, int brush,
                       double share, EditHistory* history);

// Forgets a held ramp once the frame can no longer finish it: another tool
// is selected, or its button is up and the ramp does not run this frame (no
// cell, over the menu). Called every frame before the tools.
void KeepShapingMemory(const FrameState& frame, ShapingMemory& memory);

// The rows' apply functions (ToolModes.cpp).
void ApplyRamp(TerrainModel& terrain, const FrameState& frame, ToolMemory& memory);
void ApplyErosion(TerrainModel& terrain, const FrameState& frame, ToolMemory& memory);
void ApplyAutoPaint(TerrainModel& terrain, const FrameState& frame, ToolMemory& memory);

// The editor's shaping memory, kept by the frame's tools between frames.
ShapingMemory& EditorShapingMemory();
// The held ramp of the editor's tools, for the footprint (null when none).
const HeldRamp* EditorHeldRamp();
