// The built-in bitmap font of the text output: printable ASCII in cells of
// 8 x 13 pixels, drawn like the small bold system font of a desktop.
//
// Conventions: a glyph row is one byte, bit 7 the leftmost pixel; row 0 is
// the top of the cell. The art is 6 pixels wide and 11 high (9 above the
// baseline, 2 for descenders), placed one pixel in from the left and from
// the top of its cell. Characters outside 0x20-0x7E show as '?'.
#pragma once

#include <cstdint>

namespace textfont {

constexpr int kCellWidth = 8;
constexpr int kCellHeight = 13;

// Row bits of the glyph of character c (row 0 = top); 0 outside the cell.
uint8_t GlyphRow(unsigned char c, int row);

}  // namespace textfont
