// Text drawn by the backends over the picture being presented: a small
// built-in bitmap font, black glyphs on a white box, like a system's default
// text output. Window pixels, (0, 0) at the top-left, y downward. Every
// OpenGL state is left exactly as it was found.
#pragma once

void DrawTextOverlay(int windowWidth, int windowHeight, int x, int y, const char* text,
                     int length);
