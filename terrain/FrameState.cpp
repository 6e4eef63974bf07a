#include "terrain/FrameState.h"

#include <algorithm>
#include <cmath>

#include "gl/OpenGLFullscreen.h"
#include "math/Matrixvector.h"
#include "terrain/TerrainModel.h"
#include "terrain/ShapingTools.h"
#include "terrain/TerrainTools.h"
#include "terrain/ToolKeys.h"
#include "terrain/ToolModes.h"
#include "terrain/TriangleSelection.h"

bool PointerOverView(int height, int mouseY) {
    return FlipScreenY(height, mouseY) > kMenuPointerRows;
}

double BrushDistance(int64_t dx, int64_t dy) {
    const double u = double(dx) - 0.5, v = double(dy) - 0.5;
    return std::sqrt(u * u + v * v);
}

double BrushWeight(int64_t dx, int64_t dy, int64_t brush) {
    return std::max(std::cos(BrushDistance(dx, dy) / double(brush) * kPi * 0.5), 0.0);
}

BrushWindow BrushWindowAt(const TerrainModel& t, int cellId, int32_t brush) {
    const int px = CellIdX(cellId), py = CellIdY(cellId);
    const int64_t b = std::max<int64_t>(1, brush);
    return {px, py, b, std::max<int64_t>(0, px - b), std::max<int64_t>(0, py - b),
            std::min<int64_t>(t.width, px + b + 1), std::min<int64_t>(t.height, py + b + 1)};
}

FrameState BuildFrameState(const TerrainModel& t, const FrameInput& input,
                           const ToolSettings& settings, int picked, bool leftBefore,
                           bool overView) {
    FrameState s{};
    s.settings = settings;
    s.input = input;
    s.overView = overView;
    s.leftPressed = input.left && !leftBefore;
    // Only an id naming a cell of the grid counts: its four corners exist,
    // and so do those of its images.
    int cells[kMaxMirroredCells];
    const int count = t.columns == nullptr
                          ? 0
                          : MirroredCells(t.width, t.height, picked, settings.symmetry, cells);
    s.picked = count > 0 ? picked : kNoCell;
    s.cellCount = s.overView ? count : 0;
    for (int i = 0; i < s.cellCount; ++i) {
        s.cells[i] = cells[i];
        s.windows[i] = BrushWindowAt(t, cells[i], settings.brush);
    }
    return s;
}

FrameInput ReadFrameInput() {
    const OpenGLFullscreen& w = *gWindow;
    return {w.GetWidth(), w.GetHeight(), w.GetMouseX(), w.GetMouseY(), w.GetKeys(),
            w.GetLeftButton(), w.GetRightButton()};
}

void ApplyToolKeys(const FrameInput& input, ToolKeyMemory& memory) {
    ToolKeys(input.keys, memory, gBrushSize, gSymmetry);
    ModeKeys(input.keys, memory, gEditMode);
    StrengthKeys(input.keys, memory.strength, gBrushStrength);
}

ToolSettings ReadToolSettings() {
    return {gEditMode, gCurrentGround, gBrushSize, gSymmetry, gBrushStrength};
}

FrameState EditorFrameState(const FrameInput& input, int picked) {
    return BuildFrameState(*gTerrain, input, ReadToolSettings(), picked, gLeftButtonBefore,
                           PointerOverView(input.height, input.mouseY));
}
