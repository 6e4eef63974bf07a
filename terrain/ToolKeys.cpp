// Two keys for each brush direction: [ and ] lie elsewhere on many layouts
// (on a German keyboard they need AltGr, which sends other key codes), the
// keypad's + and - lie in the same place on every keyboard.
#include "terrain/ToolKeys.h"

#include <iterator>

#include "platform/Platform.h"
#include "terrain/Symmetry.h"

namespace {

constexpr unsigned kKeySymmetry = 'M';

struct BrushKey {
    unsigned key;
    int step;
};
constexpr BrushKey kBrushKeys[] = {
    {plat::VK_OEM_6, +1},     // ]
    {plat::VK_ADD, +1},       // keypad +
    {plat::VK_OEM_4, -1},     // [
    {plat::VK_SUBTRACT, -1},  // keypad -
};
static_assert(std::size(kBrushKeys) == sizeof(ToolKeyMemory::brush) / sizeof(PressEdge),
              "one remembered level per brush key");

}  // namespace

int32_t StepBrushSize(int32_t size, int step) {
    if (step > 0) {
        for (int32_t listed : kBrushSizes)
            if (listed > size) return listed;
    } else if (step < 0) {
        for (auto it = std::rbegin(kBrushSizes); it != std::rend(kBrushSizes); ++it)
            if (*it < size) return *it;
    }
    return size;
}

void ToolKeys(const bool* keys, ToolKeyMemory& memory, int32_t& brushSize, int32_t& symmetry) {
    if (memory.symmetry.Pressed(keys[kKeySymmetry])) symmetry = NextSymmetry(symmetry);
    for (size_t i = 0; i < std::size(kBrushKeys); ++i)
        if (memory.brush[i].Pressed(keys[kBrushKeys[i].key]))
            brushSize = StepBrushSize(brushSize, kBrushKeys[i].step);
}

void ModeKeys(const bool* keys, ToolKeyMemory& memory, int32_t& mode) {
    for (int i = 0; i < kToolModeCount; ++i) {
        const unsigned key = kToolModes[i].key;
        if (key != 0 && key < 256 && memory.modes[i].Pressed(keys[key])) mode = kToolModes[i].mode;
    }
}
