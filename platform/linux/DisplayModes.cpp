// Choice of the fullscreen display mode (rules in DisplayModes.h).
#include "platform/linux/DisplayModes.h"

#include <cstdlib>

namespace desktop {

int ChooseDisplayMode(const std::vector<ModeInfo>& modes, int width, int height, int bits) {
    int best = -1;
    for (size_t i = 0; i < modes.size(); ++i) {
        const ModeInfo& mode = modes[i];
        if (mode.width != width || mode.height != height) continue;
        if (best < 0) {
            best = int(i);
            continue;
        }
        const int distance = std::abs(mode.bits - bits);
        const int bestDistance = std::abs(modes[best].bits - bits);
        if (distance < bestDistance || (distance == bestDistance && mode.bits > modes[best].bits))
            best = int(i);
    }
    return best;
}

}  // namespace desktop
