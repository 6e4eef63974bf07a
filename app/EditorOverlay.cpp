// The status display's view comes from the frame state and the history;
// the minimap's repaint from the frame state's brush windows. The view's
// outline is the ground under the four view corners as the visible
// region finds it; centring it on a map point shifts the view offsets by
// the distance from the outline's centre (the mean of its corners) to that
// point, as the corners move with the offsets.
#include "app/EditorOverlay.h"

#include <algorithm>
#include <string>

#include "app/Editor.h"
#include "app/MapFile.h"
#include "app/Recovery.h"
#include "gl/OpenGLFullscreen.h"
#include "menu/Menue.h"
#include "terrain/EditHistory.h"
#include "terrain/FrameState.h"
#include "terrain/FrameUpdate.h"
#include "terrain/MapColours.h"
#include "terrain/RegionTool.h"
#include "terrain/TerrainModel.h"
#include "terrain/TerrainRender.h"
#include "terrain/TerrainTools.h"
#include "terrain/ToolModes.h"
#include "terrain/TriangleSelection.h"

namespace {

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void FillPointer(const TerrainModel& t, int picked, StatusView& v) {
    v.cellX = CellIdX(picked);
    v.cellY = CellIdY(picked);
    const int x = v.cellX, y = v.cellY;
    v.cellHeight = 0.25f * (t.columns[x][y].height + t.columns[x + 1][y].height +
                            t.columns[x + 1][y + 1].height + t.columns[x][y + 1].height);
    v.cellGround = t.columns[x][y].ground;
    v.waterDepth = std::max(0.0f, t.waterLevel - v.cellHeight);
}

StatusView ViewOfFrame(const TerrainModel& t, const FrameState& f) {
    StatusView v{};
    v.mode = f.settings.mode;
    v.ground = f.settings.ground;
    v.brush = f.settings.brush;
    v.plateauHeight = gPlateauHeight;
    v.symmetry = f.settings.symmetry;
    v.strength = f.settings.strength;
    v.cellShown = f.overView && f.picked != kNoCell;
    if (v.cellShown) FillPointer(t, f.picked, v);
    v.mapName = FileNameOf(CurrentMapPath());
    v.mapWidth = t.width;
    v.mapHeight = t.height;
    v.unsaved = gEditHistory.Unsaved();
    v.undoSteps = int(gEditHistory.UndoSteps());
    v.redoSteps = int(gEditHistory.RedoSteps());
    if (gRegionTool.selected) {
        v.selectionWidth = gRegionTool.x1 - gRegionTool.x0 + 1;
        v.selectionHeight = gRegionTool.y1 - gRegionTool.y0 + 1;
    }
    const Vector4* corners = ViewCorners();
    for (int k = 0; k < 4; ++k) {
        v.outline[k][0] = corners[k].x / t.spacing;
        v.outline[k][1] = corners[k].y / t.spacing;
    }
    return v;
}

void CentreViewOn(const TerrainModel& t, float cellX, float cellY) {
    const Vector4* corners = ViewCorners();
    float u = 0.0f, v = 0.0f;
    for (int k = 0; k < 4; ++k) {
        u += 0.25f * corners[k].x;
        v += 0.25f * corners[k].y;
    }
    ViewOffsetX += cellX * t.spacing - u;
    ViewOffsetY += cellY * t.spacing - v;
}

// The cells whose colour the tools may change this frame: the vertices of
// each brush window, each vertex colouring its own cell.
void ScheduleToolRepaint(EditorOverlay& o, const FrameState& f) {
    const bool held = f.input.left || f.input.right;
    if (FindToolMode(f.settings.mode) == nullptr || !held) return;
    for (int i = 0; i < f.cellCount; ++i) {
        const BrushWindow& w = f.windows[i];
        o.repaint[i] = {int(w.x0), int(w.y0), int(w.x1) + 1, int(w.y1) + 1};
    }
    o.repaintCount = f.cellCount;
}

void DrawEditorOverlay(void* user, const FrameState& frame) {
    EditorOverlay& o = *static_cast<EditorOverlay*>(user);
    const TerrainModel& t = *gTerrain;
    Minimap& minimap = o.display.minimap;
    if (minimap.mapWidth != t.width || minimap.mapHeight != t.height) RedrawOverlayMap(o);
    for (int i = 0; i < o.repaintCount; ++i) {
        const CellRect& r = o.repaint[i];
        PaintMinimapCells(minimap, r.x0, r.y0, r.x1, r.y1, &MapCellColour, gTerrain);
    }
    o.repaintCount = 0;
    ScheduleToolRepaint(o, frame);
    DrawStatusDisplay(o.display, ViewOfFrame(t, frame));
    KeyCardKeys(frame.input.keys, o.keyCard);
    DrawKeyCard(*gWindow, o.display.font, o.keyCard);
    const int x = frame.input.mouseX;
    const int y = int(FlipScreenY(frame.input.height, frame.input.mouseY));
    float cellX = 0.0f, cellY = 0.0f;
    if (MinimapPress(minimap, x, y, frame.input.left, cellX, cellY)) CentreViewOn(t, cellX, cellY);
}

void ForwardGridChange(void* user, const GridChange& change) {
    EditorOverlay& o = *static_cast<EditorOverlay*>(user);
    if (o.keeper) RecoveryKeeper::Collect(o.keeper, change);
    const Minimap& minimap = o.display.minimap;
    if (change.count == 0 || change.gridWidth != minimap.mapWidth ||
        change.gridHeight != minimap.mapHeight || gTerrain == nullptr)
        return;
    const uint32_t rows = uint32_t(change.gridHeight) + 1;
    uint32_t x0 = UINT32_MAX, y0 = UINT32_MAX, x1 = 0, y1 = 0;
    for (size_t i = 0; i < change.count; ++i) {
        const uint32_t x = change.index[i] / rows, y = change.index[i] % rows;
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
    }
    PaintMinimapCells(o.display.minimap, int(x0), int(y0), int(x1) + 1, int(y1) + 1,
                      &MapCellColour, gTerrain);
}

}  // namespace

void StartEditorOverlay(EditorOverlay& overlay, RecoveryKeeper* keeper) {
    overlay.keeper = keeper;
    StartStatusDisplay(overlay.display, *gWindow);
    RedrawOverlayMap(overlay);
    SetFrameOverlay(&DrawEditorOverlay, &overlay);
    gEditHistory.SetChangeSink(&ForwardGridChange, &overlay);
}

void StopEditorOverlay(EditorOverlay& overlay) {
    overlay.keeper = nullptr;
    SetFrameOverlay(nullptr, nullptr);
    gEditHistory.SetChangeSink(nullptr, nullptr);
}

void RedrawOverlayMap(EditorOverlay& overlay) {
    overlay.repaintCount = 0;
    LayOutMinimap(overlay.display.minimap, StatusMinimapBox(), gTerrain->width, gTerrain->height,
                  &MapCellColour, gTerrain);
}
