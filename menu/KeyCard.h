// The card of the keys: every row of the key table (KeyTable.h) in German,
// drawn in the panel font over the view. F1 shows it; F1 again or a press
// of any other key hides it. The keys go on acting as always while it is
// shown (Escape still ends the editor).
//
// Conventions: keys are the 256 key-down flags by Windows virtual-key code;
// a key counts when it goes down, once however long it is held. Screen
// pixels with (0, 0) at the lower-left corner, y upward.
#pragma once

class OpenGLFullscreen;
struct PanelFont;

struct KeyCard {
    bool shown = false;
    bool before[256] = {};  // the key flags of the previous frame
};

// This frame's new key presses applied to the card.
void KeyCardKeys(const bool* keys, KeyCard& card);

// Draws the card centred above the menu panel of a window of the given
// size, between its own Begin2D and End2D; leaves blending and the alpha
// test off and texturing on. Draws nothing while the card is hidden.
void DrawKeyCard(OpenGLFullscreen& window, const PanelFont& font, const KeyCard& card);
