// Offscreen editor scene for mapconvert (see EditorScene.h).
//
// The top view uses the editor's own cell and water drawing under an
// orthographic camera over the whole map: terrain plane (0, 0) at the
// picture's lower-left corner, one cell spacing per cell, heights along the
// line of sight (the higher point wins the depth test). Lighting stays off,
// as when the editor starts, so cells show their stored brightness.
#include "tools/mapconvert/EditorScene.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/Editor.h"
#include "app/TextureCatalogue.h"
#include "gl/DataFiles.h"
#include "gl/GL.h"
#include "gl/GLState.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "terrain/FrameUpdate.h"
#include "terrain/SceneRender.h"
#include "terrain/TerrainModel.h"
#include "terrain/TerrainRender.h"

namespace fs = std::filesystem;

namespace {

const int kContextWidth = 1280;
const int kContextHeight = 1024;

}  // namespace

void TopViewSize(int cellsWide, int cellsHigh, int longSide, int* width, int* height) {
    const double cellsLong = std::max(cellsWide, cellsHigh);
    *width = std::max(1, int(longSide * (cellsWide / cellsLong) + 0.5));
    *height = std::max(1, int(longSide * (cellsHigh / cellsLong) + 0.5));
}

std::string FindTexturePack(const std::string& given) {
    if (!given.empty()) return given;
    std::error_code code;
    if (HoldsTexturePack(std::string())) return ".";
    const fs::path self = fs::read_symlink("/proc/self/exe", code);
    const std::string own = code ? std::string() : self.parent_path().u8string();
    if (!own.empty() && HoldsTexturePack(own)) return own;
    const std::string installed = plat::DataFolder();
    if (!installed.empty() && HoldsTexturePack(installed)) return installed;
    return ".";
}

EditorScene::~EditorScene() {
    delete gTerrain;
    gTerrain = nullptr;
    delete gWindow;
    gWindow = nullptr;
}

bool EditorScene::Open(const std::string& pack, std::string* error) {
    if (!HoldsTexturePack(pack)) {
        *error = "no texture pack: " + (fs::u8path(pack) / kPackMark).u8string() +
                 " is missing (give the folder that holds textures/ with --pack)";
        return false;
    }
    gWindow = new OpenGLFullscreen(kContextWidth, kContextHeight);
    if (!gWindow->IsCreated()) {
        *error = "cannot create an offscreen OpenGL context (EGL)";
        return false;
    }
    gTerrain = new TerrainModel(gWindow, 2, 2);

    // The catalogue's paths are below the pack's folder; the library reads
    // them from the given pack for this load only.
    UseDataFolder(pack);
    LoadTextureCatalogue();
    UseDataFolder(std::string());
    // The library reports unreadable pictures in message boxes; here they
    // become warnings.
    for (const headless::RecordedBox& box : headless::MessageBoxes())
        std::fprintf(stderr, "mapconvert: warning: %s: %s\n", box.title.c_str(), box.text.c_str());
    if (gTerrain->groundTextureCount <= 0) {
        *error = "the texture pack in " + pack + " lists no ground textures";
        return false;
    }
    InitGLState();
    open = true;
    return true;
}

TerrainModel& EditorScene::Terrain() { return *gTerrain; }

bool EditorScene::DrawTopView(int longSide, int* width, int* height, std::vector<uint8_t>* rgb,
                              std::string* error) {
    const TerrainModel& terrain = *gTerrain;
    if (!open || terrain.width < 1 || terrain.height < 1) {
        *error = "the map has no cells to draw";
        return false;
    }
    if (longSide < 1 || longSide > kContextHeight) {
        *error = "the picture size must be 1 to " + std::to_string(kContextHeight);
        return false;
    }
    TopViewSize(terrain.width, terrain.height, longSide, width, height);

    ViewOffsetX = ViewOffsetY = 0.0f;
    LightingEnabled = false;
    glViewport(0, 0, *width, *height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const float s = terrain.spacing;
    glOrtho(0.0, double(terrain.width) * s, 0.0, double(terrain.height) * s, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    // The cells go out grouped by their tile texture: a change of texture
    // ends the driver's batch of immediate-mode primitives, and a large map
    // has millions of cells. Cells do not overlap seen from above, so the
    // order does not change the picture.
    std::vector<uint64_t> order;
    order.reserve(size_t(terrain.width) * size_t(terrain.height));
    for (int x = 0; x < terrain.width; ++x)
        for (int y = 0; y < terrain.height; ++y)
            order.push_back(uint64_t(terrain.columns[x][y].tileTexture) << 32 |
                            uint64_t(x) << 16 | uint64_t(y));
    std::sort(order.begin(), order.end());
    for (const uint64_t key : order) DrawCell(int(key >> 16 & 0xFFFF), int(key & 0xFFFF), false, true);

    // The water pass draws over the visible rows; here every row, in
    // batches of the span list's length, all at the same wave phase.
    for (int first = 0; first < terrain.height; first += kMaxVisibleSpans) {
        gVisibleSpans.count = 0;
        for (int y = first; y < terrain.height && gVisibleSpans.count < kMaxVisibleSpans; ++y)
            gVisibleSpans.spans[gVisibleSpans.count++] = VisibleSpan{y, 0, terrain.width - 1};
        WavePhase = 0.0f;
        WaterScroll = 0.0f;
        DrawWater();
    }
    glFinish();
    while (glGetError() != GL_NO_ERROR) {
    }

    std::vector<uint8_t> bottomUp(size_t(*width) * size_t(*height) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, *width, *height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    if (glGetError() != GL_NO_ERROR) {
        *error = "reading the drawn picture back failed";
        return false;
    }
    const size_t rowBytes = size_t(*width) * 3;
    rgb->resize(bottomUp.size());
    for (int row = 0; row < *height; ++row)
        std::copy_n(bottomUp.data() + size_t(*height - 1 - row) * rowBytes, rowBytes,
                    rgb->data() + size_t(row) * rowBytes);
    return true;
}
