// The minimap: the whole map from above in a box of the menu panel, the
// view's outline on it and the picked cell as a dot; a press or drag on it
// names the map point the view is to be centred on.
//
// Conventions: screen pixels with (0, 0) at the lower-left corner, y upward.
// Map positions are in cells: cell (x, y) covers [x, x + 1] x [y, y + 1],
// map y upward like the screen's, so the minimap shows the map as the view
// does at heading 0. The picture keeps the map's aspect and is as large as
// the box allows: one texel per cell where the map has fewer cells than the
// picture has pixels, else one texel per pixel, each texel the colour of the
// cells it covers (CellColourSource). The texture is the module's own
// (uploaded after the texture catalogue, never registered, ending with the
// rendering context); LayOutMinimap writes it whole, PaintMinimapCells only
// the texels of the cells named, with one sub-image upload.
#pragma once

#include <cstdint>
#include <vector>

#include "gl/PressEdge.h"

// Writes the colour (R, G, B) of the cells [x0, x1) x [y0, y1) as seen from
// above; the range is never empty.
using CellColourSource = void (*)(void* user, int x0, int y0, int x1, int y1, uint8_t rgb[3]);

struct MinimapBox {
    int left, bottom, width, height;
};

// What the frame marks on the picture.
struct MinimapMarks {
    float outline[4][2];  // the view's ground corners, in cells, in order around
    bool cellShown;       // the picked cell, when the pointer is over the view
    int cellX, cellY;
};

struct Minimap {
    uint32_t texture = 0;
    int mapWidth = 0, mapHeight = 0;              // cells
    int texelsX = 0, texelsY = 0;                 // picture in texels
    int textureWidth = 0, textureHeight = 0;      // powers of two
    int left = 0, bottom = 0, width = 0, height = 0;  // picture on the screen
    PressEdge button;           // the left button as the last MinimapPress saw it
    bool dragging = false;      // a press that began on the picture is held
    std::vector<uint8_t> texels;  // upload scratch, R, G, B, A per texel
};

// Fits a map of the given size into the box, (re)creates the texture and
// paints every texel. A map without cells shows nothing.
void LayOutMinimap(Minimap& minimap, const MinimapBox& box, int mapWidth, int mapHeight,
                   CellColourSource source, void* user);
// Repaints the texels covering cells [x0, x1) x [y0, y1) (clipped to the map).
void PaintMinimapCells(Minimap& minimap, int x0, int y0, int x1, int y1,
                       CellColourSource source, void* user);
// The picture in a dark frame two pixels wide around it, the outline (cut
// to the picture) and the dot, between Begin2D and End2D; changes only the bound texture, colour and line width, and
// leaves texturing on and the scissor test off.
void DrawMinimap(const Minimap& minimap, const MinimapMarks& marks);
// The left button at screen pixel (x, y): true while a press that began on
// the picture is held over it, with the map point under the pointer in cells.
bool MinimapPress(Minimap& minimap, int x, int y, bool down, float& cellX, float& cellY);
