// One frame's tool state as one value: the tool settings, the pointer, the
// buttons and the cells the tools act at with each one's brush window. The
// frame's owner builds it once per frame, after the terrain pass has picked
// a cell, and hands it by const reference to the tools, the history's
// recording, the brush footprint, the status display and the minimap's
// repaint; none of them reads the editor's globals again.
//
// Conventions: cell ids as TriangleSelection.h makes them; a vertex at
// offset (dx, dy) from cell (px, py) lies at brush distance
// sqrt((dx - 0.5)^2 + (dy - 0.5)^2) grid steps, measured from the middle of
// the cell. A brush of size B works on the window of offsets -B .. B + 1 (B
// at least 1: smaller sizes would divide by zero in the weight). The pointer
// is over the view when it lies more than kMenuPointerRows pixel rows above
// the bottom edge; below that lies the menu, where no tool acts.
#pragma once

#include <cstdint>

#include "terrain/Symmetry.h"

class TerrainModel;
struct ToolKeyMemory;

// The menu's bands at the bottom of the screen, in pixel rows. The panel
// covers the lowest kMenuPanelRows rows, which the 3D view leaves out; the
// tools count the pointer as over the menu up to kMenuPointerRows rows above
// the bottom edge and act only above that, clear of the icon grid's top.
constexpr int kMenuPanelRows = 230;
constexpr int kMenuPointerRows = 280;

// The strength of a tool's step in per cent; 100 is the step as defined.
constexpr int32_t kFullStrength = 100;

struct ToolSettings {
    int32_t mode;      // gEditMode's values (ToolModes.h)
    char ground;       // the letter painting writes
    int32_t brush;     // brush size B as set; the windows use at least 1
    int32_t symmetry;  // symmetry mode (Symmetry.h)
    int32_t strength = kFullStrength;
};

// The window's input of this frame.
struct FrameInput {
    int width, height;   // window pixels
    int mouseX, mouseY;  // window pixels, y downward
    const bool* keys;    // 256 key-down flags by virtual-key code
    bool left, right;
};

// The vertices of offsets -B .. B + 1 around one cell, clipped to the grid's
// vertices 0 .. width and 0 .. height; 64-bit, so no brush size overflows.
struct BrushWindow {
    int cellX, cellY;
    int64_t brush;  // B, at least 1
    int64_t x0, y0, x1, y1;
};

struct FrameState {
    ToolSettings settings;
    FrameInput input;
    int picked;        // the picked cell if it is a cell of the grid, else kNoCell
    bool overView;     // the pointer lies above the menu rows
    bool leftPressed;  // the left button went down in this frame
    // Where the tools act: the picked cell and its mirror images, none while
    // the pointer is over the menu or no cell is picked.
    int cellCount;
    int cells[kMaxMirroredCells];
    BrushWindow windows[kMaxMirroredCells];
};

bool PointerOverView(int height, int mouseY);

double BrushDistance(int64_t dx, int64_t dy);
// The raise and lower tools' weight: 1 near the middle of the cell, falling
// along a cosine to 0 at distance B and 0 beyond.
double BrushWeight(int64_t dx, int64_t dy, int64_t brush);
BrushWindow BrushWindowAt(const TerrainModel& terrain, int cellId, int32_t brush);

// The frame state from its parts; `leftBefore` is the left button of the
// previous frame, `overView` whether the pointer is over the view.
FrameState BuildFrameState(const TerrainModel& terrain, const FrameInput& input,
                           const ToolSettings& settings, int picked, bool leftBefore,
                           bool overView);

// The editor's: the one place that reads gWindow, gEditMode, gCurrentGround,
// gBrushSize and gSymmetry for the tools and what shows them. ReadFrameInput
// needs gWindow; EditorFrameState needs gTerrain and takes the press edge
// from gLeftButtonBefore.
FrameInput ReadFrameInput();
// The tool keys' new presses of this frame applied to the settings
// (ToolKeys.h); before the frame state is built, so that the frame shows and
// uses what they chose.
void ApplyToolKeys(const FrameInput& input, ToolKeyMemory& memory);
ToolSettings ReadToolSettings();
FrameState EditorFrameState(const FrameInput& input, int picked);
