// A tiny built-in 5 x 7 pixel font for digits, lower-case letters and a few
// signs, used for the brush-size digits of the menu icons and the labels of
// the contact sheet.
//
// Conventions: (x, y) is the lower-left corner of the text in canvas pixels
// (y upward); every glyph pixel becomes a `scale` x `scale` block; glyphs
// advance by 6 * scale. Unknown characters draw as blanks.
#pragma once

#include "Canvas.h"

#include <string>

namespace tg {

void DrawText(Canvas& c, int x, int y, const std::string& text, Rgb colour, int scale = 1);
int TextWidth(const std::string& text, int scale = 1);
// True when glyph `ch` has its pixel (column gx 0..4, row gy 0..6 from the top) set.
bool GlyphPixel(char ch, int gx, int gy);

}  // namespace tg
