// The status display in the three sunken fields of the menu panel: the
// minimap (left), the selected tool (middle), the pointer and the map
// (right). It shows one plain value, StatusView, that the frame's owner
// fills; it knows nothing of the terrain, the history or the map files.
//
// Conventions: screen pixels with (0, 0) at the lower-left corner, y upward;
// map positions in cells (see Minimap.h); heights in world units, shown with
// a decimal comma. Texts are German, like the rest of the interface. The
// display owns its font and minimap textures (uploaded after the texture
// catalogue, never registered); it does not own the window or the icons it
// borrows from the catalogue.
#pragma once

#include <cstdint>
#include <string>

#include "gl/TextureRecord.h"
#include "menu/Minimap.h"
#include "menu/PanelFont.h"
#include "terrain/FrameState.h"
#include "terrain/ToolModes.h"

class OpenGLFullscreen;

struct StatusView {
    int mode;              // the edit mode (ToolModes.h)
    char ground;           // ground letter of the paint tool: 'e', 'w', 's'
    int brush;             // brush size of the height tools
    double plateauHeight;  // the height the plateau tool flattens to
    int symmetry;          // 0 off, 1 left/right, 2 top/bottom, 3 four quadrants, 4 point
    int strength = kFullStrength;  // the tools' strength in per cent; shown below full
    bool cellShown;        // a cell is picked and the pointer is over the view
    int cellX, cellY;
    float cellHeight;      // mean height of the picked cell's corners
    char cellGround;       // ground letter of the picked cell
    float waterDepth;      // > 0 where the picked cell lies under water
    std::string mapName;   // file name without its folders, empty for a new map
    int mapWidth, mapHeight;
    bool unsaved;
    int undoSteps, redoSteps;
    float outline[4][2];   // the view's ground corners, in cells
    int selectionWidth = 0, selectionHeight = 0;  // the selection's cells, 0 for none
};

struct StatusDisplay {
    OpenGLFullscreen* window = nullptr;
    PanelFont font;
    Minimap minimap;
    // The icons of the middle field: each tool's row (kToolModes) and each
    // ground's (kGrounds) for the paint tool, by index; null where missing.
    const TextureRecord* modeIcons[kMaxToolModes] = {};
    const TextureRecord* groundIcons[kGroundCount] = {};
};

// The box of the left field that the minimap fills.
MinimapBox StatusMinimapBox();

// Loads the font and finds the tool icons on the window (after the texture
// catalogue's upload). The minimap is laid out by its owner. False when the
// font is missing; the display then draws everything but its texts.
bool StartStatusDisplay(StatusDisplay& display, OpenGLFullscreen& window);
// Draws the three fields between Begin2D and End2D, blended; leaves the
// alpha test and blending off, texturing on.
void DrawStatusDisplay(StatusDisplay& display, const StatusView& view);
