// The edit modes as one table: what each tool is called, how it is shown and
// what it does. A tool is one row of kToolModes and one apply function; the
// menu, the status display, the brush footprint, the history and the tools
// all read the row, none of them names a mode by its number.
//
// Conventions: gEditMode holds a mode number. 0 is no tool; 1 and 2 are the
// one-shot load and save requests the main loop serves and resets to 0; 3 to
// 7 are the tools of the menu, and tools added later take the numbers after
// them. A row's apply function runs once per frame while its mode is
// selected, at every cell of the frame state (FrameState.h), and decides
// itself which buttons make it act. Grounds are a table of their own: the
// paint tool writes the selected one, and its name and icon stand for the
// paint tool in the status display.
#pragma once

#include <cstdint>

extern int32_t gEditMode;

constexpr int32_t kModeNone = 0;
constexpr int32_t kModeLoad = 1;
constexpr int32_t kModeSave = 2;
constexpr int32_t kModePaint = 3;
constexpr int32_t kModeRaise = 4;
constexpr int32_t kModeLower = 5;
constexpr int32_t kModePlateau = 6;
constexpr int32_t kModeSmooth = 7;
// The shaping tools, reached by their keys (ShapingTools.h).
constexpr int32_t kModeRamp = 8;
constexpr int32_t kModeErosion = 9;
constexpr int32_t kModeAutoPaint = 10;
// The region tools (RegionTool.h): selecting a rectangle, pasting its copy.
constexpr int32_t kModeSelect = 11;
constexpr int32_t kModePaste = 12;

// What the brush footprint shows, one shape per tool.
enum class FootprintShape {
    None,     // no tool: nothing is drawn
    Paint,    // the one tile quarter (the cell) whose corner is painted
    Raise,    // ring at distance B, tint by the weight, warm
    Lower,    // the same, cool
    Plateau,  // ring at distance B and a flat ring at the captured height
    Smooth,   // ring at distance B
    Ramp,     // ring at distance B; while held, the band from A to the pointer
};

class TerrainModel;
struct FrameState;
struct ToolMemory;

// Applies a tool for one frame at every cell of `frame`.
using ToolApply = void (*)(TerrainModel& terrain, const FrameState& frame, ToolMemory& memory);

struct ToolMode {
    int32_t mode;
    const char* name;         // the status display's name; null: the ground's paint name
    const char* icon;         // texture catalogue name; null: the ground's icon
    FootprintShape footprint;
    bool usesBrush;           // false: the brush size does not change what it does
    bool afterCapture;        // runs after a new left press has captured the plateau height
    unsigned key;             // virtual-key code that selects it, 0 for the menu only
    ToolApply apply;
};

extern const ToolMode kToolModes[];
extern const int kToolModeCount;
constexpr int kMaxToolModes = 16;

// The row of `mode`, null for no tool and for the load and save requests.
const ToolMode* FindToolMode(int32_t mode);

struct GroundKind {
    char letter;            // as stored per vertex
    const char* name;       // the status display's name of the ground
    const char* paintName;  // the status display's name of the paint tool with this ground
    const char* icon;       // texture catalogue name
};

constexpr int kGroundCount = 3;
extern const GroundKind kGrounds[kGroundCount];

// The row of ground `letter`, null for a letter no ground has.
const GroundKind* FindGround(char letter);
