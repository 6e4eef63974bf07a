// Speed of whole frames: FrameUpdate plus glFinish at 1280 x 1024 on the
// headless backend (Mesa llvmpipe), for three views: the start view (camera
// defaults, map corner under the eye, so half the screen is empty), the
// default camera over the middle of the map, and the lowest, most tilted
// camera (height 2.5) over the middle, which covers the most cells.
//
// The frame is the editor's whole frame: terrain, water in the hollows below
// the water level, the scene objects, the menu and the pointer.
// The map is 256 x 256 cells of rolling hills. Run from the build folder:
// when textures/ground/_ground.txt is there (the texture pack), the real
// catalogue is loaded and the ground is textured; otherwise it is drawn
// untextured. Counters: fps (frames per second) and cells (cells drawn per
// frame).
//
// BM_Display measures what the status display and the brush footprint add
// to a frame: the centre view with raise and brush 8 selected and the
// display drawn, against the same view with neither, on maps of 256 x 256
// and 4096 x 4096 cells in the same run (compare the CPU columns: the
// editor's own work; llvmpipe rasterises in threads of its own).
// BM_MinimapRepaint measures the minimap's repaint of the cells a brush-8
// tool frame may change, against that tool frame (raise, left button held).
//
// BM_BuildFrameState measures building one frame's state (the window's
// input, the tool settings, the picked cell and its mirror images with
// their brush windows) with brush 32 in four quadrants, against the whole
// low tilted frame (BM_Frame/2).
//
// For instruction counts under callgrind, `FrameBench --frames=N` skips the
// benchmark library and runs exactly N frames of each view (or only of the
// view named by --view=), e.g. with valgrind --tool=callgrind
// --toggle-collect='FrameUpdate()' ./FrameBench --frames=20 --view=centre
// (add --display for frames with the status display and brush footprint)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/Editor.h"
#include "app/EditorOverlay.h"
#include "app/TextureCatalogue.h"
#include "gl/GL.h"
#include "gl/GLState.h"
#include "gl/OpenGLFullscreen.h"
#include "menu/Cursor.h"
#include "menu/Menue.h"
#include "platform/HeadlessControl.h"
#include "terrain/FrameState.h"
#include "terrain/FrameUpdate.h"
#include "terrain/TerrainModel.h"
#include "terrain/MapColours.h"
#include "terrain/TerrainRender.h"
#include "terrain/TerrainTools.h"
#include "terrain/TriangleSelection.h"

namespace {

struct View {
    const char* name;
    float offsetX, offsetY, height, heading;
};

const View kViews[] = {
    {"start", 0.0f, 0.0f, 6.0f, 0.0f},
    {"centre", 35.0f, 35.0f, 6.0f, 0.0f},
    {"low_tilted", 35.0f, 35.0f, 2.5f, 30.0f},
};

bool gTextured = false;

bool FileExists(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

// Rolling hills with patches of all three grounds, shaded.
void FillMap() {
    for (int x = 0; x <= gTerrain->width; ++x) {
        for (int y = 0; y <= gTerrain->height; ++y) {
            TerrainVertex& v = gTerrain->columns[x][y];
            v.height = 1.0f * std::sin(x * 0.09f) * std::cos(y * 0.07f) - 0.2f;
            const float g = std::sin(x * 0.11f + 1.0f) + std::cos(y * 0.13f);
            v.ground = g > 0.8f ? 's' : (g < -0.4f ? 'w' : 'e');
        }
    }
}

// One editor set-up for the whole program, as RunEditor would make it.
bool SetUpEditor() {
    static bool done = false, ok = false;
    if (done) return ok;
    done = true;
    headless::Reset();
    gWindow = new OpenGLFullscreen(1280, 1024);
    if (!gWindow->IsCreated()) return false;
    gTerrain = new TerrainModel(gWindow, 256, 256);
    gTextured = FileExists("textures/ground/_ground.txt");
    if (gTextured) LoadTextureCatalogue();
    FillMap();
    std::srand(1);
    InitGLState();  // also shades the whole map
    // The whole frame, overlays included: menu panel, icons and pointer.
    BuildMenu();
    gCursor = new GameCursor(gWindow->FindTexture("game_cursor"), gWindow);
    SetSelectionWindow(gWindow);
    SetupSelection();
    LightingEnabled = false;
    // The mouse rests over the view, so picking and the highlight run too.
    gWindow->mouseX = 640;
    gWindow->mouseY = 500;
    ok = true;
    return ok;
}

// The map at `cells` x `cells`, made anew when its size differs.
bool UseMapSize(int cells) {
    if (gTerrain->width == cells) return true;
    if (!gTerrain->Resize(cells, cells)) return false;
    FillMap();
    gTerrain->ShadeAll();
    return true;
}

void UseView(const View& view) {
    ViewOffsetX = view.offsetX;
    ViewOffsetY = view.offsetY;
    CameraHeight = view.height;
    CameraHeading = view.heading;
}

int CellsDrawn() {
    int cells = 0;
    for (int i = 0; i < gVisibleSpans.count; ++i) {
        const VisibleSpan& span = gVisibleSpans.spans[i];
        if (span.lastColumn >= span.firstColumn) cells += span.lastColumn - span.firstColumn + 1;
    }
    return cells;
}

void BM_Frame(benchmark::State& state) {
    if (!SetUpEditor()) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    const View& view = kViews[state.range(0)];
    state.SetLabel(std::string(view.name) + (gTextured ? " textured" : " untextured"));
    for (auto _ : state) {
        UseView(view);  // no keys are held, so the camera stays put
        FrameUpdate();
        glFinish();
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()),
                                               benchmark::Counter::kIsRate);
    state.counters["cells"] = CellsDrawn();
}
BENCHMARK(BM_Frame)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Display(benchmark::State& state) {
    if (!SetUpEditor() || !UseMapSize(int(state.range(0)))) {
        state.SkipWithError("no OpenGL context or no memory for the map");
        return;
    }
    // range(1): bit 0 the footprint (raise selected), bit 1 the display.
    const bool footprint = (state.range(1) & 1) != 0, shown = (state.range(1) & 2) != 0;
    EditorOverlay overlay;
    if (shown) StartEditorOverlay(overlay, nullptr);
    gEditMode = footprint ? kModeRaise : kModeNone;
    gBrushSize = 8;
    const char* const labels[4] = {"neither", "footprint", "display", "display and footprint"};
    state.SetLabel(labels[state.range(1) & 3]);
    for (auto _ : state) {
        UseView(kViews[1]);
        FrameUpdate();
        glFinish();
    }
    if (shown) StopEditorOverlay(overlay);
    gEditMode = kModeNone;
    gBrushSize = 2;
}
// The fastest repetition: on a shared machine the least disturbed one.
double Fastest(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

BENCHMARK(BM_Display)
    ->ArgsProduct({{256, 4096}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Fastest);

void BM_MinimapRepaint(benchmark::State& state) {
    if (!SetUpEditor() || !UseMapSize(int(state.range(0)))) {
        state.SkipWithError("no OpenGL context or no memory for the map");
        return;
    }
    EditorOverlay overlay;
    StartEditorOverlay(overlay, nullptr);
    const int px = 100, py = 100, b = 8;
    const bool repaint = state.range(1) != 0;
    gEditMode = kModeRaise;
    gBrushSize = b;
    gWindow->leftButton = 1;
    state.SetLabel(repaint ? "minimap repaint" : "raise tool frame");
    for (auto _ : state) {
        if (repaint) {
            PaintMinimapCells(overlay.display.minimap, px - b, py - b, px + b + 2, py + b + 2,
                              &MapCellColour, gTerrain);
            glFinish();
        } else {
            ApplyTools(MakeCellId(px, py));
        }
    }
    gWindow->leftButton = 0;
    gLeftButtonBefore = false;
    StopEditorOverlay(overlay);
    gEditMode = kModeNone;
    gBrushSize = 2;
}
BENCHMARK(BM_MinimapRepaint)
    ->ArgsProduct({{256, 4096}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", Fastest);

void BM_BuildFrameState(benchmark::State& state) {
    if (!SetUpEditor() || !UseMapSize(256)) {
        state.SkipWithError("no OpenGL context or no memory for the map");
        return;
    }
    gEditMode = kModeSmooth;
    gBrushSize = 32;
    gSymmetry = kSymmetryBoth;
    gWindow->leftButton = 1;
    int picked = MakeCellId(40, 70);
    for (auto _ : state) {
        const FrameState frame = EditorFrameState(ReadFrameInput(), picked);
        benchmark::DoNotOptimize(frame);
        picked = MakeCellId(40 + frame.cellCount % 2, 70);
    }
    gWindow->leftButton = 0;
    gSymmetry = kSymmetryOff;
    gEditMode = kModeNone;
    gBrushSize = 2;
}
BENCHMARK(BM_BuildFrameState)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);

// Plain loop for instruction counting: N frames of every view, or of the
// one named; with display, raise and brush 8 are selected and the status
// display is drawn.
int RunFrames(int frames, const char* only, bool display) {
    if (!SetUpEditor()) {
        std::fprintf(stderr, "no OpenGL context\n");
        return 1;
    }
    EditorOverlay overlay;
    if (display) {
        StartEditorOverlay(overlay, nullptr);
        gEditMode = kModeRaise;
        gBrushSize = 8;
    }
    for (const View& view : kViews) {
        if (only != nullptr && std::strcmp(only, view.name) != 0) continue;
        UseView(view);
        for (int i = 0; i < frames; ++i) {
            FrameUpdate();
            glFinish();
        }
        std::printf("%s: %d frames, %d cells per frame, %s\n", view.name, frames, CellsDrawn(),
                    gTextured ? "textured" : "untextured");
    }
    if (display) StopEditorOverlay(overlay);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 0;
    const char* only = nullptr;
    bool display = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--frames=", 9) == 0) frames = std::atoi(argv[i] + 9);
        if (std::strncmp(argv[i], "--view=", 7) == 0) only = argv[i] + 7;
        if (std::strcmp(argv[i], "--display") == 0) display = true;
    }
    if (frames > 0) return RunFrames(frames, only, display);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
