// Choice of the fullscreen display mode.
//
// Conventions: sizes in pixels, colour depth in bits per pixel. The list of
// modes is the display's own (SDL order: larger and deeper first), with the
// desktop's current mode appended by the caller, so that a display that
// offers no mode list but already runs at the wanted size is accepted.
#pragma once

#include <vector>

namespace desktop {

struct ModeInfo {
    int width = 0;
    int height = 0;
    int bits = 0;
};

// Index of the mode of exactly width x height whose colour depth is closest
// to bits (on a tie the deeper one, then the earlier one); -1 when the
// display has no mode of that size.
int ChooseDisplayMode(const std::vector<ModeInfo>& modes, int width, int height, int bits);

}  // namespace desktop
