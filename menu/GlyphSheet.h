// Layout of the panel font's glyph sheet (textures/menue/schrift), shared by
// the texture generator that paints it and the editor that draws text with
// it. Standard library only, so the generator can include it.
//
// Conventions: the sheet is kSheetWidth x kSheetHeight pixels, rows stored
// bottom row first like every picture of the pack. It holds kColumns x kRows
// cells of kCellSize pixels; slot s lies in column s % kColumns and row
// s / kColumns counted from the TOP of the sheet, so the sheet reads like a
// page of text. Slots 0 .. 94 are the printable ASCII characters 32 .. 126,
// then come kExtraCodePoints. A glyph's pixels are white with full alpha,
// its shadow one pixel right and one down is black, half transparent;
// everything else is transparent. Glyphs have no fixed width: the editor
// measures each one's inked columns (shadow included) in the alpha picture.
// Inside a cell the baseline lies kBaseline pixel rows above the cell's
// bottom edge; the glyph design has 13 rows, row 0 at cell row
// kCellSize - 2, the cap height spans design rows 2 .. 10, and descenders
// reach down to cell row 1 (shadow included).
#pragma once

#include <cstdint>

namespace glyphsheet {

constexpr int kCellSize = 16;
constexpr int kColumns = 16;
constexpr int kRows = 8;
constexpr int kSheetWidth = kColumns * kCellSize;   // 256
constexpr int kSheetHeight = kRows * kCellSize;     // 128
constexpr int kBaseline = 4;
constexpr int kDesignRows = 13;
constexpr int kFirstAscii = 32;
constexpr int kLastAscii = 126;

// ä ö ü Ä Ö Ü ß °, in this order after the ASCII slots.
constexpr uint32_t kExtraCodePoints[] = {0xE4, 0xF6, 0xFC, 0xC4, 0xD6, 0xDC, 0xDF, 0xB0};
constexpr int kExtraCount = sizeof(kExtraCodePoints) / sizeof(kExtraCodePoints[0]);
constexpr int kSlotCount = kLastAscii - kFirstAscii + 1 + kExtraCount;
static_assert(kSlotCount <= kColumns * kRows, "every glyph has a cell");

// The slot of a Unicode code point, -1 when the sheet has no glyph for it.
constexpr int SlotOf(uint32_t codePoint) {
    if (codePoint >= uint32_t(kFirstAscii) && codePoint <= uint32_t(kLastAscii))
        return int(codePoint) - kFirstAscii;
    for (int k = 0; k < kExtraCount; ++k)
        if (kExtraCodePoints[k] == codePoint) return kLastAscii - kFirstAscii + 1 + k;
    return -1;
}

// Lower-left pixel of slot s's cell in the sheet (y from the bottom row).
constexpr int CellLeft(int slot) { return (slot % kColumns) * kCellSize; }
constexpr int CellBottom(int slot) { return kSheetHeight - (slot / kColumns + 1) * kCellSize; }

}  // namespace glyphsheet
