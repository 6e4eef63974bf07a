// The terrain editing tools: paint a ground type, raise, lower, plateau and
// smooth, applied once per frame to the cell picked under the mouse.
//
// Conventions: a cell id is (x << 16) | y for cell (x, y), -1 for none.
// Heights are world units (z up), brush distances are grid steps measured
// from the middle of the picked cell. Tool state lives in the plain globals
// below (one thread); the edit mode gEditMode itself and its values
// (kModePaint ... kModeSmooth) are declared in app/Editor.h. The tools read
// the mouse through gWindow and change gTerrain in place, re-tiling or
// re-lighting what they changed before they return.
#pragma once

#include <cstdint>

extern char gCurrentGround;      // ground letter the paint tool writes: 'e', 'w', 's'
extern int32_t gBrushSize;       // brush size B of the height tools: 2, 4, 6 or 8
extern double gPlateauHeight;    // height the plateau tool flattens to
extern bool gLeftButtonBefore;   // left button at the end of the last ApplyTools

// Menu actions (the menu calls every action as void(*)(int)).
// SelectGround keeps the low byte of `letter` as the ground letter and also
// switches to the paint tool.
void SelectGround(int letter);
void SetEditMode(int mode);
void SetBrushSize(int size);

// Applies the current tool to the picked cell for one frame, while a mouse
// button is held and the pointer is above the menu rows. Does nothing without
// a window or a terrain; an id that names no cell of the grid (-1 or outside)
// changes nothing but the remembered button state. A brush size below 1 is
// used as 1.
void ApplyTools(int pickedId);
