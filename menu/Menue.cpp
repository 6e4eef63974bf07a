// The editor's tool menu: drawing, the press hit test and the fixed item
// table of the editor.
//
// Conventions: see Menue.h. A press is the left button going down while the
// pointer is inside the grid; only the pass that sees the change from up to
// down can call an action, so holding the button or sliding onto another cell
// while it is held calls nothing more. The icons are drawn opaque (alpha test
// off) over a background whose alpha bitmap the caller's alpha test cuts to
// shape; the menu changes no other OpenGL state.
#include "menu/Menue.h"

#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "gl/PressEdge.h"
#include "terrain/TerrainTools.h"
#include "terrain/ToolModes.h"

bool buttonWasDown = false;

GameMenue::GameMenue(TextureRecord* background, OpenGLFullscreen* owner)
    : background(background),
      owner(owner),
      backgroundX(0),
      backgroundY(0),
      gridLeft(0),
      gridTop(0),
      gridRight(0),
      gridBottom(0),
      items{},
      cellWidth(0),
      cellHeight(0) {}

void GameMenue::SetBackgroundPosition(int x, int y) {
    backgroundX = x;
    backgroundY = y;
}

void GameMenue::SetGrid(int left, int top, int right, int bottom) {
    gridLeft = left;
    gridTop = top;
    gridRight = right;
    gridBottom = bottom;
}

void GameMenue::SetCellSpacing(int width, int height) {
    cellWidth = width;
    cellHeight = height;
}

void GameMenue::SetItems(const MenuItem newItems[kMenuItemCount]) {
    for (int i = 0; i < kMenuItemCount; ++i) items[i] = newItems[i];
}

void GameMenue::Draw() {
    if (!owner) return;
    owner->Begin2D();
    // A menu built without its background picture still shows its icons.
    if (background) owner->DrawTexture(background, backgroundX, backgroundY);
    glDisable(GL_ALPHA_TEST);
    // Columns outer, rows inner: the order the icons reach the screen.
    for (int column = 0; column < kMenuGridColumns; ++column) {
        for (int row = 0; row < kMenuGridRows; ++row) {
            const MenuItem& item = items[kMenuGridColumns * row + column];
            if (!item.texture) continue;
            owner->DrawTexture(item.texture, gridLeft + column * cellWidth,
                               gridBottom + (kMenuGridRows - 1 - row) * cellHeight);
        }
    }
    owner->End2D();
}

void GameMenue::Update() {
    if (!owner) return;
    const int x = owner->GetMouseX();
    const int64_t y = FlipScreenY(owner->GetHeight(), owner->GetMouseY());
    const bool down = owner->GetLeftButton();

    PressEdge left(buttonWasDown);
    const bool pressInsideGrid =
        left.Pressed(down) && gridLeft <= x && x < gridRight && gridBottom <= y && y < gridTop;
    // A zero cell pitch leaves no cell to hit (and nothing to divide by).
    if (pressInsideGrid && cellWidth != 0 && cellHeight != 0) {
        // Differences in 64 bits: both lie inside the grid, but the grid
        // edges are arbitrary ints.
        const int64_t column = (static_cast<int64_t>(x) - gridLeft) / cellWidth;
        const int64_t row =
            (kMenuGridRows - 1) - (static_cast<int64_t>(y) - gridBottom) / cellHeight;
        if (column >= 0 && column < kMenuGridColumns && row >= 0 && row < kMenuGridRows) {
            const MenuItem& item = items[kMenuGridColumns * row + column];
            // A cell whose picture file was missing still has its (empty)
            // record and still answers; only cells without a record are empty.
            if (item.texture && item.action) item.action(item.argument);
        }
    }
    buttonWasDown = left.WasDown();
}

namespace {

// The editor's cells by index (4 * row + column), row 0 at the top. The
// grounds' and tools' icons are their rows' (ToolModes.h).
struct ItemEntry {
    int index;
    const char* textureName;  // null: the icon of the ground or tool argument names
    void (*action)(int);
    int argument;
};

const ItemEntry kEditorItems[] = {
    {0, "menue_tool_load", SetEditMode, kModeLoad},
    {1, "menue_tool_save", SetEditMode, kModeSave},
    {4, nullptr, SelectGround, 'e'},
    {5, nullptr, SelectGround, 'w'},
    {6, nullptr, SelectGround, 's'},
    {8, nullptr, SetEditMode, kModeRaise},
    {9, nullptr, SetEditMode, kModeLower},
    {10, nullptr, SetEditMode, kModePlateau},
    {11, nullptr, SetEditMode, kModeSmooth},
    {12, "menue_size2", SetBrushSize, 2},
    {13, "menue_size4", SetBrushSize, 4},
    {14, "menue_size6", SetBrushSize, 6},
    {15, "menue_size8", SetBrushSize, 8},
};

const char* IconOf(const ItemEntry& entry) {
    if (entry.textureName != nullptr) return entry.textureName;
    if (entry.action == SelectGround) return FindGround(char(entry.argument))->icon;
    return FindToolMode(entry.argument)->icon;
}

}  // namespace

bool BuildMenu() {
    gMenu = new GameMenue(gWindow->FindTexture("menue"), gWindow);
    gMenu->SetBackgroundPosition(0, 0);
    // Absolute screen pixels: the grid sits in the bottom-right corner of a
    // 1280 x 1024 screen, four 60 x 60 cells each way.
    gMenu->SetGrid(1026, 257, 1266, 17);
    gMenu->SetCellSpacing(60, 60);

    MenuItem items[kMenuItemCount] = {};
    for (const ItemEntry& entry : kEditorItems) {
        items[entry.index].texture = gWindow->FindTexture(IconOf(entry));
        items[entry.index].action = entry.action;
        items[entry.index].argument = entry.argument;
    }
    gMenu->SetItems(items);
    return true;
}
