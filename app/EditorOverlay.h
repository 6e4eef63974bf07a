// The status display wired into the editor: the frame's overlay hook fills
// the display's value from the editor's globals and draws it, a press on
// the minimap moves the view, and every change the stroke history reports
// reaches both the recovery keeper and the minimap.
//
// Minimap updates: a load redraws it whole (RedrawOverlayMap); while the
// tools may act (a button held, a tool selected, the frame state naming
// cells) the cells of its brush windows are repainted in the next frame;
// undo and redo repaint the cells their change names. Nothing is repainted
// otherwise.
//
// Ownership: one EditorOverlay per editor run, owned by RunEditor and used
// on gWindow and gTerrain; the keeper it hands changes to outlives it.
#pragma once

#include "menu/KeyCard.h"
#include "menu/StatusDisplay.h"
#include "terrain/Symmetry.h"

class RecoveryKeeper;
struct GridChange;

// Cells [x0, x1) x [y0, y1).
struct CellRect {
    int x0, y0, x1, y1;
};

struct EditorOverlay {
    StatusDisplay display;
    RecoveryKeeper* keeper = nullptr;  // null: changes go to the minimap only
    // The cells the tools may have changed in the last frame, around the
    // picked cell and each of its mirror images.
    CellRect repaint[kMaxMirroredCells] = {};
    int repaintCount = 0;
    KeyCard keyCard;  // F1's card of the keys, over the view
};

// Loads the display (after the texture catalogue's upload), draws the
// minimap of the map on screen, and becomes the frame's overlay and the
// history's change sink.
void StartEditorOverlay(EditorOverlay& overlay, RecoveryKeeper* keeper);
// Stops being the overlay and the change sink.
void StopEditorOverlay(EditorOverlay& overlay);
// The map on screen was replaced (a load): the minimap is drawn anew.
void RedrawOverlayMap(EditorOverlay& overlay);
