// The three sunken fields of the menu panel picture, left of the icon grid:
// the texture generator paints them and the status display draws into them,
// so both take their places from here.
//
// Conventions: screen pixels with (0, 0) at the lower-left corner, y upward
// (the panel picture lies at the screen's lower-left corner, one image pixel
// to one screen pixel). A field covers left <= x < right, bottom <= y < top;
// its bevel takes the outermost kPanelFieldBevel pixels on every side.
#pragma once

struct PanelField {
    int left, bottom, right, top;
};

constexpr int kPanelFieldCount = 3;
constexpr int kPanelFieldBevel = 3;

// Field k (0 left, 1 middle, 2 right): 300 x 190 pixels, 20 pixels apart.
constexpr PanelField PanelFieldRect(int k) {
    return PanelField{18 + 320 * k, 18, 318 + 320 * k, 208};
}
