// The keys that change the tool settings: M steps the symmetry mode; ] and
// keypad + make the brush bigger, [ and keypad - smaller; a tool's own key
// (its row's, ToolModes.h) selects it.
//
// Conventions: keys are the 256 key-down flags by Windows virtual-key code.
// Each key acts once per press however long it is held, as L does. The
// brush steps through kBrushSizes: the menu's 2, 4, 6 and 8, and on to the
// bigger sizes only the keys reach.
#pragma once

#include <cstdint>

#include "gl/PressEdge.h"
#include "terrain/ShapingTools.h"
#include "terrain/ToolModes.h"

constexpr int32_t kBrushSizes[] = {2, 4, 6, 8, 12, 16, 24, 32};

// The next listed size above `size` (step > 0) or below it (step < 0); the
// size stays when there is none in that direction.
int32_t StepBrushSize(int32_t size, int step);

// The keys' levels of the previous frame.
struct ToolKeyMemory {
    PressEdge symmetry;
    PressEdge brush[4];  // one per brush key, in the order of the key table
    PressEdge modes[kMaxToolModes];  // one per row of kToolModes
    StrengthKeyMemory strength;      // the digit keys
};

// Applies this frame's new presses to the brush size and the symmetry mode.
void ToolKeys(const bool* keys, ToolKeyMemory& memory, int32_t& brushSize, int32_t& symmetry);
// Applies this frame's new presses of the tools' keys to the edit mode.
void ModeKeys(const bool* keys, ToolKeyMemory& memory, int32_t& mode);
