// The one place that reads the editor's globals for the status display. The
// view's outline is the ground under the four view corners as the visible
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
#include "terrain/FrameUpdate.h"
#include "terrain/MapColours.h"
#include "terrain/TerrainModel.h"
#include "terrain/TerrainRender.h"
#include "terrain/TerrainTools.h"
#include "terrain/TriangleSelection.h"

namespace {

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool PickedInGrid(const TerrainModel& t, int id) {
    return id != kNoCell && CellIdX(id) < t.width && CellIdY(id) < t.height;
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

StatusView ViewOfFrame(const TerrainModel& t, int picked, bool overView) {
    StatusView v{};
    v.mode = gEditMode;
    v.ground = gCurrentGround;
    v.brush = gBrushSize;
    v.plateauHeight = gPlateauHeight;
    v.symmetry = gSymmetry;
    v.cellShown = overView && PickedInGrid(t, picked);
    if (v.cellShown) FillPointer(t, picked, v);
    v.mapName = FileNameOf(CurrentMapPath());
    v.mapWidth = t.width;
    v.mapHeight = t.height;
    v.unsaved = gEditHistory.Unsaved();
    v.undoSteps = int(gEditHistory.UndoSteps());
    v.redoSteps = int(gEditHistory.RedoSteps());
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
// the widest window a tool writes (offsets -B .. B + 1) around the picked
// cell and each of its mirror images, each vertex colouring its own cell.
void ScheduleToolRepaint(EditorOverlay& o, const TerrainModel& t, int picked, bool toolsAct) {
    const bool tool = gEditMode >= kModePaint && gEditMode <= kModeSmooth;
    const bool held = gWindow->GetLeftButton() || gWindow->GetRightButton();
    if (!tool || !held || !toolsAct) return;
    int cells[kMaxMirroredCells];
    const int count = MirroredCells(t.width, t.height, picked, gSymmetry, cells);
    const int b = std::max(1, int(gBrushSize));
    for (int i = 0; i < count; ++i) {
        const int x = CellIdX(cells[i]), y = CellIdY(cells[i]);
        o.repaint[i] = {x - b, y - b, x + b + 2, y + b + 2};
    }
    o.repaintCount = count;
}

void DrawEditorOverlay(void* user) {
    EditorOverlay& o = *static_cast<EditorOverlay*>(user);
    const TerrainModel& t = *gTerrain;
    Minimap& minimap = o.display.minimap;
    if (minimap.mapWidth != t.width || minimap.mapHeight != t.height) RedrawOverlayMap(o);
    for (int i = 0; i < o.repaintCount; ++i) {
        const CellRect& r = o.repaint[i];
        PaintMinimapCells(minimap, r.x0, r.y0, r.x1, r.y1, &MapCellColour, gTerrain);
    }
    o.repaintCount = 0;
    const int picked = FramePickedCell();
    const int x = gWindow->GetMouseX();
    const int y = int(FlipScreenY(gWindow->GetHeight(), gWindow->GetMouseY()));
    ScheduleToolRepaint(o, t, picked, y > kMenuPointerRows);
    DrawStatusDisplay(o.display, ViewOfFrame(t, picked, y >= kMenuPanelRows));
    float cellX = 0.0f, cellY = 0.0f;
    if (MinimapPress(minimap, x, y, gWindow->GetLeftButton(), cellX, cellY))
        CentreViewOn(t, cellX, cellY);
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
