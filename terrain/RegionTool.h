// The region tools: select a rectangle (key B), copy it (Ctrl+C), paste the
// copy (Ctrl+V) turned (T) and flipped (F left/right, Shift+F top/bottom)
// where the pointer is, and stamps (Ctrl+Shift+V asks the main loop for a
// file through stampRequested).
//
// Conventions: the selection is a rectangle of cells x0..x1, y0..y1 (both
// corners included), dragged with the left button from one corner cell to
// the other; it stays until the next selection, whatever tool is chosen.
// Its copy holds every vertex of those cells: x0..x1 + 1, y0..y1 + 1. The
// paste outline is the copy centred on the picked cell's lower-left vertex
// (PasteOrigin). A left click places it, replacing heights and ground, a
// Shift + left click stamps it (Regions.h), the right button ends pasting;
// each click is one step of the history, with every mirrored placement of
// the symmetry mode. Ctrl+C also writes the copy to copyFile (through the
// platform's one file replacement) and Ctrl+V reads that file first, so a
// copy made in another editor, or before a restart, is pasted. One
// program-wide state, gRegionTool, serves the editor; the frame's owner hands
// it to RegionFrame.
#pragma once

#include <cstdint>
#include <string>

#include "gl/PressEdge.h"
#include "terrain/Regions.h"

class EditHistory;
class TerrainModel;
struct FrameState;

struct RegionTool {
    bool selected = false;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // the selection's cells
    bool dragging = false;
    int anchorX = 0, anchorY = 0;  // the cell the drag began on
    GroundCopy copy;
    std::string copyFile;  // empty: the copy stays in this editor
    bool stampRequested = false;
    int32_t modeBefore = 0;
    PressEdge keyB, keyC, keyV, keyT, keyF, right;
};

extern RegionTool gRegionTool;

// The state folder's copy file: "<folder>ablage.ground", empty without one.
std::string CopyFileIn(const char* stateFolder);

// Where the copy's vertex (0, 0) lies when the pointer is on cell `picked`.
void PasteOrigin(const GroundCopy& copy, int picked, int* originX, int* originY);

// One frame of the region tools: their keys, the drag of the selection and
// the placements of a paste. `mode` is the edit mode (gEditMode's values),
// which the keys may change: Ctrl+V to pasting, B again or the right button
// while pasting to no tool.
void RegionFrame(RegionTool& regions, TerrainModel& terrain, EditHistory& history,
                 const FrameState& frame, int32_t& mode);

// Makes `copy` the copy to paste and starts pasting (a stamp from a file).
void StartPasting(RegionTool& regions, GroundCopy copy, int32_t& mode);

// The selection's outline and, while pasting over the view, the copy's
// outline at each placement a click would make, on the ground.
void DrawRegionOutlines(const TerrainModel& terrain, const RegionTool& regions,
                        const FrameState& frame, float viewOffsetX, float viewOffsetY);
