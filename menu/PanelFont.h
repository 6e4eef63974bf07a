// Text in the panel font, the glyph sheet the texture generator paints
// (menu/GlyphSheet.h), for the status display in the menu panel.
//
// Conventions: screen pixels with (0, 0) at the lower-left corner, y upward;
// a text position is the left end of its baseline. Texts are UTF-8; a code
// point the sheet has no glyph for, and any byte that is not valid UTF-8,
// shows as '?'. The font's texture is the module's own: uploaded once, after
// the texture catalogue's upload, never registered in the window's texture
// registry, and it ends with the rendering context.
#pragma once

#include <cstdint>
#include <string>

#include "menu/GlyphSheet.h"

class OpenGLFullscreen;

struct PanelFont {
    uint32_t texture = 0;  // 0 while the sheet is missing: texts draw as nothing
    // Inked columns of each glyph cell (shadow included); width 0 = blank.
    int8_t inkLeft[glyphsheet::kSlotCount] = {};
    int8_t inkWidth[glyphsheet::kSlotCount] = {};
};

// Blank pixels between one glyph's shadow and the next glyph, and the
// advance of a space.
constexpr int kPanelGlyphGap = 1;
constexpr int kPanelSpaceAdvance = 4;

// Reads textures/menue/schrift.bmp and its alpha picture through the
// window's image loader and uploads them as one texture. False (texture 0)
// when either picture is missing or not the sheet's size.
bool LoadPanelFont(OpenGLFullscreen& window, PanelFont& font);

// Width in pixels of the text as DrawPanelText lays it out.
int PanelTextWidth(const PanelFont& font, const std::string& text);
// The text, or its longest beginning that fits maxWidth with "..." added.
std::string FitPanelText(const PanelFont& font, const std::string& text, int maxWidth);
// Texts are drawn in one batch: BeginPanelText binds the font's texture and
// begins one run of quads, PanelText adds a quad per glyph in the current
// colour (it modulates the white glyphs; the shadow stays black; glColor may
// change between texts), EndPanelText ends the run. Between Begin2D and
// End2D with blending on; nothing else may be drawn inside the batch.
void BeginPanelText(const PanelFont& font);
void PanelText(const PanelFont& font, int x, int y, const std::string& text);
void EndPanelText(const PanelFont& font);
