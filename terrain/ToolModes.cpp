// The rows of the editor's tools and grounds. The menu's order of the tools
// (raise, lower, plateau, smooth in its third row) is the menu's own.
#include "terrain/ToolModes.h"

#include <iterator>

#include "terrain/ShapingTools.h"
#include "terrain/TerrainTools.h"

namespace {

// The select and paste modes' rows act through RegionFrame (RegionTool.h),
// which holds their memory.
void ApplyRegionTool(TerrainModel&, const FrameState&, ToolMemory&) {}

}  // namespace

const ToolMode kToolModes[] = {
    {kModePaint, nullptr, nullptr, FootprintShape::Paint, false, false, 0, ApplyPaint},
    {kModeRaise, "Anheben", "menue_tool_raise", FootprintShape::Raise, true, false, 0,
     ApplyRaiseLower},
    {kModeLower, "Absenken", "menue_tool_lower", FootprintShape::Lower, true, false, 0,
     ApplyRaiseLower},
    {kModePlateau, "Plateau", "menue_tool_plateau", FootprintShape::Plateau, true, true, 0,
     ApplyPlateau},
    {kModeSmooth, "Glätten", "menue_tool_smooth", FootprintShape::Smooth, true, false, 0,
     ApplySmooth},
    // The shaping tools.
    {kModeRamp, "Rampe", nullptr, FootprintShape::Ramp, true, false, 'R', ApplyRamp},
    {kModeErosion, "Erosion", nullptr, FootprintShape::Smooth, true, false, 'E', ApplyErosion},
    {kModeAutoPaint, "Automatisch", nullptr, FootprintShape::Smooth, true, false, 'A',
     ApplyAutoPaint},
    // The region tools draw their own outlines and work in RegionFrame.
    {kModeSelect, "Auswahl", nullptr, FootprintShape::None, false, false, 'B', ApplyRegionTool},
    {kModePaste, "Einfügen", nullptr, FootprintShape::None, false, false, 0, ApplyRegionTool},
};
const int kToolModeCount = int(std::size(kToolModes));
static_assert(std::size(kToolModes) <= kMaxToolModes, "room for every tool's key");

const GroundKind kGrounds[kGroundCount] = {
    {'e', "Erde", "Erde malen", "groups_erde"},
    {'w', "Wiese", "Wiese malen", "groups_wiese"},
    {'s', "Schnee", "Schnee malen", "groups_schnee"},
};

const ToolMode* FindToolMode(int32_t mode) {
    for (const ToolMode& row : kToolModes)
        if (row.mode == mode) return &row;
    return nullptr;
}

const GroundKind* FindGround(char letter) {
    for (const GroundKind& row : kGrounds)
        if (row.letter == letter) return &row;
    return nullptr;
}
