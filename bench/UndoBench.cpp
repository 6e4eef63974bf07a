// Cost of the tools and the stroke history, a small harness printing figures.
//
// 1. Tools and recording against the frame: the lowest, most tilted view
//    (height 2.5, heading 30, over the middle of a 256 x 256 map of rolling
//    hills), the left button held while the pointer sweeps over the view, the
//    button let go for one frame every 40 frames (each let-go ends a stroke).
//    The whole frames (FrameUpdate + glFinish) are timed. The picked cells
//    and buttons of those frames are then replayed twice on the same
//    starting map: tools alone (ApplyTools), and tools with the history's
//    hooks around them (RecordStroke, ApplyTools, EditKeys), best of several
//    runs. The tools' share of the frame and the recording's cost (the
//    difference, as a share of the frame without it) are given, for the
//    raise tool at brush 8 and, mirrored into all four quadrants, for every
//    height tool at brush 32, the largest the keys reach. Smoothing is also
//    replayed with the text's plain loops (tests/support/TextSmooth.h) and
//    the same re-lighting in place of the editor's, as the baseline: at
//    brush 8 and at brush 32 in four quadrants.
// 2. Undo and redo of large strokes, with their memory: the smooth tool at
//    brush 8 held for 10 seconds of 60 frames (600 frames) while the pointer
//    drags over the map, one cell per frame, in rows 16 cells apart (the
//    fastest a hand sweeps the grid); and a stroke over the whole grid, the
//    most any stroke can hold.
// Times are wall-clock milliseconds on the headless backend (Mesa
// llvmpipe); run from the build folder for the textured frame.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/Editor.h"
#include "bench/BenchSupport.h"
#include "app/TextureCatalogue.h"
#include "gl/GL.h"
#include "gl/GLState.h"
#include "gl/OpenGLFullscreen.h"
#include "menu/Cursor.h"
#include "menu/Menue.h"
#include "platform/HeadlessControl.h"
#include "terrain/EditHistory.h"
#include "terrain/FrameState.h"
#include "terrain/FrameUpdate.h"
#include "terrain/TerrainModel.h"
#include "terrain/TerrainTools.h"
#include "terrain/TriangleSelection.h"
#include "tests/support/TextSmooth.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Rolling hills with patches of meadow and snow.
void Hills(TerrainModel& t) {
    for (int x = 0; x <= t.width; ++x)
        for (int y = 0; y <= t.height; ++y) {
            TerrainVertex& v = t.columns[x][y];
            v.height = 1.0f * std::sin(x * 0.09f) * std::cos(y * 0.07f) - 0.2f;
            const float g = std::sin(x * 0.11f + 1.0f) + std::cos(y * 0.13f);
            v.ground = g > 0.8f ? 's' : (g < -0.4f ? 'w' : 'e');
        }
}

std::vector<TerrainVertex> CopyGrid() {
    std::vector<TerrainVertex> copy;
    for (int x = 0; x <= gTerrain->width; ++x)
        copy.insert(copy.end(), gTerrain->columns[x], gTerrain->columns[x] + gTerrain->height + 1);
    return copy;
}

void RestoreGrid(const std::vector<TerrainVertex>& copy) {
    size_t i = 0;
    for (int x = 0; x <= gTerrain->width; ++x)
        for (int y = 0; y <= gTerrain->height; ++y) gTerrain->columns[x][y] = copy[i++];
}

struct FrameInput {
    int picked;
    bool left;
};

void SetButton(bool left) { gWindow->leftButton = left ? 1 : 0; }

FrameState StateOf(int picked) { return EditorFrameState(ReadFrameInput(), picked); }

// The smoothing of the text at every cell of the frame, re-lit as the
// editor's tool re-lights.
void TextSmoothFrame(const FrameState& f) {
    if (!f.input.left || f.settings.mode != kModeSmooth) return;
    for (int i = 0; i < f.cellCount; ++i) {
        const BrushWindow& w = f.windows[i];
        TextSmooth(*gTerrain, w.cellX, w.cellY, int(w.brush), 0.01);
        for (int64_t x = w.x0; x <= w.x1; ++x)
            for (int64_t y = w.y0; y <= w.y1; ++y) gTerrain->RelightVertex(int(x), int(y));
    }
}

// First: tools and recording against the frame.
// The replays are the best of `runs`.
void RecordingCost(const char* tool, int mode, int brush, int symmetry, int runs) {
    const int kFrames = 160, kStrokeFrames = 40;
    const std::vector<TerrainVertex> start = CopyGrid();
    gBrushSize = brush;
    gSymmetry = symmetry;
    SetEditMode(mode);
    gEditHistory.Clear();

    std::vector<FrameInput> inputs;
    const Clock::time_point frameStart = Clock::now();
    for (int i = 0; i < kFrames; ++i) {
        const bool left = (i + 1) % kStrokeFrames != 0;
        SetButton(left);
        // A sweep over the view, well above the menu rows.
        gWindow->mouseX = 300 + (i * 37) % 700;
        gWindow->mouseY = 250 + (i * 13) % 350;
        FrameUpdate();
        glFinish();
        inputs.push_back({FramePickedCell(), left});
    }
    const double frameMs = MsSince(frameStart) / kFrames;
    const size_t strokes = gEditHistory.UndoSteps();

    double toolsMs = 1e30, hookedMs = 1e30;
    for (int run = 0; run < runs; ++run) {
        for (int hooked = 0; hooked < 2; ++hooked) {
            RestoreGrid(start);
            gEditHistory.Clear();
            gLeftButtonBefore = false;
            const Clock::time_point t = Clock::now();
            for (const FrameInput& in : inputs) {
                SetButton(in.left);
                const FrameState f = StateOf(in.picked);
                if (hooked) RecordStroke(f);
                ApplyFrameTools(f);
                if (hooked) EditKeys(f);
            }
            const double ms = MsSince(t) / kFrames;
            (hooked ? hookedMs : toolsMs) = std::min(hooked ? hookedMs : toolsMs, ms);
        }
    }
    double textMs = 0.0;  // the text's smoothing, one run: it is the slow one
    if (mode == kModeSmooth) {
        RestoreGrid(start);
        const Clock::time_point t = Clock::now();
        for (const FrameInput& in : inputs) {
            SetButton(in.left);
            TextSmoothFrame(StateOf(in.picked));
        }
        textMs = MsSince(t) / kFrames;
    }
    SetButton(false);
    gSymmetry = kSymmetryOff;
    const double recordMs = hookedMs - toolsMs;
    std::printf("%s at brush %d%s on the low tilted view, %d frames, %zu strokes:\n", tool, brush,
                symmetry == kSymmetryBoth ? " in four quadrants" : "", kFrames, strokes);
    std::printf("  frame with recording    %8.3f ms\n", frameMs);
    std::printf("  tools alone             %8.4f ms per frame = %.2f %% of the frame\n", toolsMs,
                100.0 * toolsMs / frameMs);
    std::printf("  tools with the history  %8.4f ms per frame\n", hookedMs);
    std::printf("  recording               %8.4f ms per frame = %.3f %% of the frame without it\n",
                recordMs, 100.0 * recordMs / (frameMs - recordMs));
    if (textMs > 0.0)
        std::printf("  text's plain loops      %8.4f ms per frame = %.2f %% of the frame; "
                    "running sums take %.3f of that time\n",
                    textMs, 100.0 * textMs / frameMs, toolsMs / textMs);
    RestoreGrid(start);
}

// Times undo and redo of the newest stroke, best and worst of several.
void TimeUndoRedo(const char* what) {
    const int kRuns = 20;
    double undoBest = 1e30, undoWorst = 0, redoBest = 1e30, redoWorst = 0;
    for (int run = 0; run < kRuns; ++run) {
        Clock::time_point t = Clock::now();
        if (!gEditHistory.Undo(*gTerrain)) std::printf("  undo failed\n");
        double ms = MsSince(t);
        undoBest = std::min(undoBest, ms);
        undoWorst = std::max(undoWorst, ms);
        t = Clock::now();
        if (!gEditHistory.Redo(*gTerrain)) std::printf("  redo failed\n");
        ms = MsSince(t);
        redoBest = std::min(redoBest, ms);
        redoWorst = std::max(redoWorst, ms);
    }
    std::printf("%s:\n", what);
    std::printf("  %zu bytes held (%.2f MiB)\n", gEditHistory.Bytes(),
                gEditHistory.Bytes() / 1048576.0);
    std::printf("  undo %.3f ms best, %.3f ms worst; redo %.3f ms best, %.3f ms worst\n",
                undoBest, undoWorst, redoBest, redoWorst);
}

// Second: the largest strokes.
void LargeStrokes() {
    gEditHistory.Clear();
    gBrushSize = 8;
    SetEditMode(kModeSmooth);
    gWindow->mouseY = 100;  // over the view, for the tools' menu test
    SetButton(true);
    // 600 frames, one cell per frame, rows 16 cells apart, turning at the
    // map's edges.
    int x = 0, y = 4, dx = 1;
    const Clock::time_point t = Clock::now();
    for (int frame = 0; frame < 600; ++frame) {
        const FrameState f = StateOf((x << 16) | y);
        RecordStroke(f);
        ApplyFrameTools(f);
        EditKeys(f);
        x += dx;
        if (x < 0 || x > 255) {
            dx = -dx;
            x += dx;
            y = std::min(255, y + 16);
        }
    }
    const double strokeMs = MsSince(t);
    SetButton(false);
    EditKeys(StateOf(kNoCell));
    char label[128];
    std::snprintf(label, sizeof label,
                  "10-second smooth stroke at brush 8 (600 frames, %.0f ms of tool work)", strokeMs);
    TimeUndoRedo(label);

    // The whole grid in one stroke.
    gEditHistory.Touch(*gTerrain, 0, gTerrain->width, 0, gTerrain->height);
    for (int i = 0; i <= gTerrain->width; ++i)
        for (int j = 0; j <= gTerrain->height; ++j) gTerrain->columns[i][j].height += 0.01f;
    gEditHistory.EndStroke(*gTerrain);
    const size_t wholeSteps = gEditHistory.UndoSteps();
    TimeUndoRedo(wholeSteps == 2 ? "stroke over the whole grid (bytes: both strokes)"
                                 : "stroke over the whole grid");
}

}  // namespace

int main() {
    if (!SetUpTiltedEditor(&Hills)) {
        std::fprintf(stderr, "no OpenGL context\n");
        return 1;
    }
    RecordingCost("raise", kModeRaise, 8, kSymmetryOff, 7);
    RecordingCost("smooth", kModeSmooth, 8, kSymmetryOff, 7);
    const struct {
        const char* name;
        int mode, runs;
    } kTools[] = {{"raise", kModeRaise, 7}, {"lower", kModeLower, 7}, {"plateau", kModePlateau, 7},
                  {"smooth", kModeSmooth, 7}};
    for (const auto& tool : kTools)
        RecordingCost(tool.name, tool.mode, 32, kSymmetryBoth, tool.runs);
    LargeStrokes();
    return 0;
}
