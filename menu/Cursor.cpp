// The editor's mouse pointer. See Cursor.h for the coordinate conventions and
// the hot spot.
#include "menu/Cursor.h"

#include "gl/OpenGLFullscreen.h"

GameCursor::GameCursor(TextureRecord* texture, OpenGLFullscreen* owner)
    : texture(texture), owner(owner) {}

void GameCursor::Update() {}

void GameCursor::Draw() {
    if (!owner) return;
    owner->Begin2D();
    const int x = owner->GetMouseX() - kCursorHotSpotX;
    const int y = static_cast<int>(FlipScreenY(owner->GetHeight(), owner->GetMouseY())) -
                  kCursorHotSpotY;
    // Without its picture the pointer is simply not drawn.
    if (texture) owner->DrawTexture(texture, x, y);
    owner->End2D();
}
