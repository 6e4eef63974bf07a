// Text drawn over an OpenGL picture with the built-in bitmap font; the text
// output of the backends that have no system text drawing on OpenGL
// windows.
//
// Conventions: window pixels, (0, 0) at the top-left, y downward. The text
// is black on a white box of 8 pixels per character by 13 pixels, whose
// top-left corner is at (x, y); whatever falls outside the window is cut
// off. Drawing uses the fixed-function pipeline of the current context
// (raster position and glDrawPixels, OpenGL 1.1 only) into the current draw
// buffer, and leaves every OpenGL state as it found it: attributes, client
// attributes, matrices and the current raster position.
#pragma once

// Draws length bytes of text (non-ASCII bytes show as '?'). Does nothing
// when no context is current, the window size is not positive, or the
// context would not draw it faithfully (a pixel-unpack buffer or a shader
// program is bound, which the editor never does).
void DrawTextOverlay(int windowWidth, int windowHeight, int x, int y, const char* text,
                     int length);
