// The status display's font: a glyph sheet of printable ASCII and the German
// umlauts, painted from hand-made bitmaps (layout in menu/GlyphSheet.h).
#pragma once

#include "Canvas.h"

namespace tg {

// "menue/schrift": white glyphs with a soft black shadow, on alpha.
PackEntry PaintPanelFont();

}  // namespace tg
