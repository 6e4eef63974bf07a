// Screen-pixel drawing of texture records, one image pixel to one screen
// pixel, for the 2D overlays (menu, cursor).
//
// Conventions: screen pixels have (0, 0) at the lower-left corner of the
// screen, y upward; image pixels have (0, 0) at the lower-left corner of the
// image. Begin2D and End2D bracket the drawing by pushing and popping both
// matrices; the drawing operations set no OpenGL state besides the bound
// texture (texturing, colour, blending, alpha test and depth test belong to
// the caller). Rectangles are clipped per tile in 64-bit arithmetic, so no
// argument values can overflow.
#include <algorithm>
#include <cstdint>

#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"

void OpenGLFullscreen::Begin2D() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, static_cast<double>(width), 0.0, static_cast<double>(height), -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void OpenGLFullscreen::End2D() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

// The record's source rectangle when both its sides are set, else the whole
// image. A null record draws nothing.
void OpenGLFullscreen::DrawTexture(const TextureRecord* record, int x, int y) {
    if (!record) return;
    if (record->regionWidth != 0 && record->regionHeight != 0) {
        DrawTextureRegion(record, x, y, record->regionX, record->regionY, record->regionWidth,
                          record->regionHeight);
    } else {
        DrawTextureRegion(record, x, y, 0, 0, record->width, record->height);
    }
}

// Image pixel (sx, sy) lands on screen pixel (x, y). Each tile the rectangle
// touches gets one quad covering exactly its part, so neighbouring quads
// meet without a gap. A record without tiles (or a null one) draws nothing.
void OpenGLFullscreen::DrawTextureRegion(const TextureRecord* record, int x, int y, int sx, int sy,
                                         int sw, int sh) {
    if (!record || !record->tiles) return;
    const int64_t tileTotal = static_cast<int64_t>(record->tileRows) * record->tileColumns;
    for (int64_t index = 0; index < tileTotal; ++index) {
        const TextureTile& tile = record->tiles[index];
        const int64_t tx = tile.x, ty = tile.y, tw = tile.width, th = tile.height;
        if (tw <= 0 || th <= 0) continue;
        const int64_t left = std::max<int64_t>(int64_t{sx} - tx, 0);
        const int64_t right = std::min<int64_t>(int64_t{sx} + sw - tx, tw);
        const int64_t bottom = std::max<int64_t>(int64_t{sy} - ty, 0);
        const int64_t top = std::min<int64_t>(int64_t{sy} + sh - ty, th);
        if (left >= right || bottom >= top) continue;

        const int64_t originX = int64_t{x} - sx + tx;
        const int64_t originY = int64_t{y} - sy + ty;
        const float fw = static_cast<float>(tw);
        const float fh = static_cast<float>(th);
        const int64_t corners[4][2] = {{left, bottom}, {right, bottom}, {right, top}, {left, top}};
        glBindTexture(GL_TEXTURE_2D, tile.glName);
        glBegin(GL_QUADS);
        for (const auto& corner : corners) {
            glTexCoord2f(static_cast<float>(corner[0]) / fw, static_cast<float>(corner[1]) / fh);
            glVertex2i(static_cast<GLint>(originX + corner[0]), static_cast<GLint>(originY + corner[1]));
        }
        glEnd();
    }
}
