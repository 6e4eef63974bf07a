// The rows follow the key handling of terrain/ToolKeys.cpp, gl/WindowProc.cpp
// and terrain/FrameUpdate.cpp and the menu and minimap presses.
#include "menu/KeyTable.h"

const KeyRow kKeyRows[kKeyRowCount] = {
    {"Linke Maustaste", "Werkzeug sanft anwenden", "Left button",
     "apply the tool to the cell under the pointer, gently"},
    {"Rechte Maustaste", "Werkzeug schneller anwenden", "Right button",
     "apply the tool four to six times faster (raise, lower, smooth)"},
    {"Klick in die kleine Karte", "Ansicht dorthin verschieben", "Press on the minimap",
     "centre the view on the pressed point; dragging keeps it there"},
    {"Ziffernblock 8 / 2", "heraus- / hineinzoomen", "Keypad 8 / Keypad 2",
     "zoom out / in (eye height 6.0 down to 2.5)"},
    {"Ziffernblock 4 / 6", "Ansicht drehen", "Keypad 4 / Keypad 6",
     "turn the view by 2 degrees per frame"},
    {"Pfeiltasten, Mauszeiger am Rand", "Karte verschieben",
     "Arrow keys, or the pointer within 20 pixels of a screen edge", "scroll the map"},
    {"L", "Beleuchtung an / aus", "L", "switch the lighting on or off"},
    {"M", "Symmetrie: aus, links/rechts, oben/unten, beides, Punkt", "M",
     "next symmetry mode: off, mirror left/right, mirror top/bottom, both, point symmetry"},
    {"] / Ziffernblock +", "Pinsel größer: 2, 4, 6, 8, 12, 16, 24, 32", "] or Keypad +",
     "brush size one step up through 2, 4, 6, 8, 12, 16, 24, 32"},
    {"[ / Ziffernblock -", "Pinsel kleiner", "[ or Keypad -",
     "brush size one step down (where [ and ] need AltGr, as on a German keyboard, use the keypad)"},
    // The region tools (terrain/RegionTool.cpp).
    {"B", "Auswahl: Rechteck aufziehen, B wieder beendet", "B",
     "select: drag a rectangle of cells with the left button; B again ends selecting"},
    {"Strg+C", "Auswahl kopieren", "Ctrl+C",
     "copy the heights and ground of the selection (another editor, or this one after a "
     "restart, can paste it too)"},
    {"Strg+V", "Kopie einfügen", "Ctrl+V", "paste the copy: its outline follows the pointer"},
    {"Strg+Umsch+V", "Stempel aus Karte oder Höhenbild laden", "Ctrl+Shift+V",
     "load a stamp: a whole .map file, or a heightmap PNG (not on Windows), becomes the copy "
     "to paste"},
    {"T / F / Umsch+F", "Kopie drehen / links-rechts / oben-unten spiegeln", "T / F / Shift+F",
     "while pasting: turn the copy by 90 degrees / flip it left/right / flip it top/bottom"},
    {"Linke Maustaste / Umsch+linke", "Kopie setzen / als Stempel addieren",
     "Left button / Shift+left button while pasting",
     "place the copy, replacing heights and ground / add its heights above its own lowest "
     "vertex (a stamp); mirrored too in a symmetry mode"},
    {"Rechte Maustaste beim Einfügen", "Einfügen beenden", "Right button while pasting",
     "stop pasting"},
    {"Strg+Z", "letzten Strich zurücknehmen", "Ctrl+Z",
     "take back the last stroke (button down until no button is held)"},
    {"Strg+Y, Strg+Umsch+Z", "Strich wiederherstellen", "Ctrl+Y, Ctrl+Shift+Z",
     "put back the stroke last taken back"},
    {"Strg+S / Strg+O", "Karte speichern / laden", "Ctrl+S / Ctrl+O",
     "save / load the map, as the menu's save and load icons"},
    {"Escape", "Editor beenden", "Escape", "end the editor"},
};
