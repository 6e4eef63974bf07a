// The editor's mouse pointer: a textured picture drawn in screen pixels on
// top of the scene and the menu (the window hides the system pointer).
//
// Conventions: screen pixels with (0, 0) at the lower-left, y upward; the
// mouse (window pixels, y downward) becomes height - 1 - mouse y. The hot
// spot, the pixel that sits under the mouse, is 14 pixels right of the
// picture's left edge and 52 above its bottom edge. The cursor owns neither
// its texture nor its window.
#pragma once

#include "gl/TextureRecord.h"

class OpenGLFullscreen;

class GameCursor;
// The editor run's one pointer picture (null outside a run), owned by RunEditor.
extern GameCursor* gCursor;

class GameCursor {
public:
    GameCursor(TextureRecord* texture, OpenGLFullscreen* owner);

    // Per-frame hook, called right before Draw; the pointer has no state of
    // its own to advance.
    void Update();
    // Draws the picture at the current mouse position between Begin2D and
    // End2D. Blending and alpha test are the caller's.
    void Draw();

    // Fields, public: the editor and the tests set and read them directly.
    TextureRecord* texture;
    OpenGLFullscreen* owner;
};

// Offset of the hot spot from the picture's lower-left corner.
constexpr int kCursorHotSpotX = 14;
constexpr int kCursorHotSpotY = 52;
