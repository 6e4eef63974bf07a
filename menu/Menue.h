// The editor's tool menu: a background picture and a 4 x 4 grid of icon
// cells drawn in screen pixels, and a per-frame hit test that turns a fresh
// left-button press on a cell into a call of that cell's action.
//
// Conventions: screen pixels with (0, 0) at the lower-left, y upward; the
// mouse (window pixels, y downward) is turned into that frame as
// height - 1 - mouse y. Grid rectangles include their left and bottom edges
// and exclude their right and top edges. Row 0 is the top row; item index =
// 4 * row + column. The menu owns neither its textures nor its window.
#pragma once

#include <cstdint>

#include "gl/TextureRecord.h"
#include "terrain/FrameState.h"  // kMenuPanelRows, kMenuPointerRows

class OpenGLFullscreen;

// One cell: its icon (null = empty cell) and what a press on it calls.
struct MenuItem {
    TextureRecord* texture;
    void (*action)(int argument);  // null = no action
    int32_t argument;
};

constexpr int kMenuGridColumns = 4;
constexpr int kMenuGridRows = 4;
constexpr int kMenuItemCount = kMenuGridColumns * kMenuGridRows;

class GameMenue;
// The editor run's one menu (null outside a run), owned by RunEditor.
extern GameMenue* gMenu;

class GameMenue {
public:
    // Stores both pointers; every position, size and item starts at zero.
    GameMenue(TextureRecord* background, OpenGLFullscreen* owner);

    void SetBackgroundPosition(int x, int y);
    void SetGrid(int left, int top, int right, int bottom);
    void SetCellSpacing(int width, int height);
    void SetItems(const MenuItem items[kMenuItemCount]);

    // Background, then the icons with the alpha test off, between Begin2D
    // and End2D. Needs the rendering context to be current.
    void Draw();
    // Hit test of the left button; call once per pass of the main loop.
    void Update();

    // Fields, public: the editor and the tests set and read them directly.
    TextureRecord* background;
    OpenGLFullscreen* owner;
    int32_t backgroundX;
    int32_t backgroundY;
    int32_t gridLeft;
    int32_t gridTop;
    int32_t gridRight;
    int32_t gridBottom;
    MenuItem items[kMenuItemCount];
    int32_t cellWidth;
    int32_t cellHeight;
};

// Left-button state seen by the previous GameMenue::Update (false at start).
extern bool buttonWasDown;

// Builds the editor's menu on gWindow from the texture catalogue and stores
// it in gMenu. Runs after the catalogue upload; always true.
bool BuildMenu();
