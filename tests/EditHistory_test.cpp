// Tests of the stroke history: real strokes of every tool through the frame
// update (both buttons, brush 8, reaching past the grid's edges) undone and
// redone with the Ctrl keys, compared byte for byte over the whole grid;
// Ctrl+S and Ctrl+O, also after a dialog took the keys' releases; the
// bounds of 100 strokes and 64 MiB; a load clearing the history. A 24 x 24
// terrain behind a 1280 x 1024 headless window, ground tiles for every
// pattern so that painting re-tiles; input through the window's fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/Editor.h"
#include "app/MapFile.h"
#include "gl/GLState.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "terrain/EditHistory.h"
#include "terrain/FrameUpdate.h"
#include "terrain/TerrainModel.h"
#include "terrain/TerrainTools.h"
#include "tests/support/EditorFixture.h"
#include "tests/support/ImageFiles.h"

namespace {

constexpr int kCells = 24;
constexpr int kCtrl = 0x11, kShift = 0x10;

std::vector<uint8_t> Grid() {
    std::vector<uint8_t> bytes;
    const size_t column = (size_t(gTerrain->height) + 1) * sizeof(TerrainVertex);
    for (int x = 0; x <= gTerrain->width; ++x) {
        const uint8_t* p = reinterpret_cast<const uint8_t*>(gTerrain->columns[x]);
        bytes.insert(bytes.end(), p, p + column);
    }
    return bytes;
}

class EditHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testeditor::Start(kCells));
        // One tile per pattern of the three ground letters, so every painted
        // block finds tiles (several, in several orientations).
        const char letters[] = "ews";
        for (int i = 0; i < 81; ++i) {
            std::string code;
            for (int k = 0, n = i; k < 4; ++k, n /= 3) code += letters[n % 3];
            names.push_back(code + "_tile");
        }
        for (size_t i = 0; i < names.size(); ++i) {
            gTerrain->groundTextures[i].name = &names[i][0];
            gTerrain->groundTextures[i].glName = uint32_t(100 + i);
        }
        gTerrain->groundTextureCount = int32_t(names.size());
        ASSERT_TRUE(InitGLState());  // fixed state and the first shading
        // The map's middle ahead of the eye, the whole map in view.
        ViewOffsetX = kCells * gTerrain->spacing * 0.5f;
        ViewOffsetY = -1.0f;
        gBrushSize = 8;
        gEditMode = 0;
        gEditHistory.Clear();
        Release();
    }
    void TearDown() override {
        gEditHistory.Clear();
        gTerrain->groundTextureCount = 0;
        testeditor::Stop();
    }

    static void Release() {
        for (bool& key : gWindow->keys) key = false;
        gWindow->leftButton = gWindow->rightButton = 0;
        gWindow->mouseX = 640;
        gWindow->mouseY = 400;
        FrameUpdate();
    }
    static void MouseAt(std::pair<int, int> at) {
        gWindow->mouseX = at.first;
        gWindow->mouseY = at.second;
    }
    // One press of a key chord: down for a frame, up for a frame.
    static void Chord(std::vector<int> held, int key) {
        held.push_back(key);
        for (int k : held) gWindow->keys[k] = true;
        FrameUpdate();
        for (int k : held) gWindow->keys[k] = false;
        FrameUpdate();
    }

    std::vector<std::string> names;
};

TEST_F(EditHistoryTest, StrokesOfEveryToolUndoAndRedoByteForByte) {
    // Mouse positions over the view that pick the cells nearest each corner
    // of the grid and its middle.
    std::map<std::string, std::pair<int, int>> spot;
    std::map<std::string, int> best;
    const int c = kCells - 1;
    for (int my = 40; my < 740; my += 30)
        for (int mx = 40; mx < 1240; mx += 60) {
            MouseAt({mx, my});
            FrameUpdate();
            const int id = FramePickedCell();
            if (id < 0) continue;
            const int px = id >> 16, py = id & 0xFFFF;
            const std::pair<const char*, int> score[] = {
                {"low", px + py},
                {"high", 2 * c - px - py},
                {"left_top", px + c - py},
                {"right_low", c - px + py},
                {"middle", std::abs(px - c / 2) + std::abs(py - c / 2)}};
            for (const auto& s : score)
                if (best.count(s.first) == 0 || s.second < best[s.first]) {
                    best[s.first] = s.second;
                    spot[s.first] = {mx, my};
                }
        }
    ASSERT_EQ(spot.size(), 5u);
    // Brush 8 from a cell this near the corners reaches past both edges.
    for (const char* corner : {"low", "high", "left_top", "right_low"})
        EXPECT_LE(best[corner], 6) << corner;

    struct Stroke {
        int mode;  // SelectGround for 3
        char ground;
        bool left, right;
        std::vector<const char*> path;
        int framesPerSpot;
        bool changes;  // whether the stroke changes the grid
    };
    const std::vector<Stroke> strokes = {
        {3, 'w', true, false, {"low", "middle", "high"}, 3, true},
        {3, 's', true, true, {"left_top", "right_low"}, 2, true},
        {3, 'e', false, true, {"middle"}, 3, false},  // painting takes the left button
        {4, 0, true, false, {"low", "left_top"}, 15, true},
        {4, 0, false, true, {"high"}, 30, true},
        {5, 0, true, true, {"right_low", "middle"}, 40, true},  // into the water
        {0, 0, true, false, {"middle"}, 3, false},  // captures the plateau height only
        {6, 0, true, false, {"high", "low"}, 2, true},
        {6, 0, false, true, {"middle"}, 3, false},  // the plateau takes the left button
        {7, 0, true, false, {"left_top", "middle"}, 10, true},
        {7, 0, false, true, {"right_low", "high"}, 10, true},
    };

    const std::vector<uint8_t> start = Grid();
    std::vector<std::vector<uint8_t>> after;  // the grid after each real stroke
    for (const Stroke& s : strokes) {
        if (s.mode == 3) SelectGround(s.ground); else SetEditMode(s.mode);
        const std::vector<uint8_t> before = Grid();
        gWindow->leftButton = s.left;
        gWindow->rightButton = s.right;
        for (const char* name : s.path) {
            MouseAt(spot[name]);
            for (int i = 0; i < s.framesPerSpot; ++i) FrameUpdate();
        }
        Release();
        EXPECT_EQ(Grid() != before, s.changes) << "mode " << s.mode;
        if (s.changes) after.push_back(Grid());
        EXPECT_EQ(gEditHistory.UndoSteps(), after.size()) << "mode " << s.mode;
    }
    const std::vector<uint8_t> end = Grid();

    // Ctrl+Z pressed during a stroke waits for its end, then takes it back.
    SetEditMode(4);
    gWindow->leftButton = 1;
    MouseAt(spot["middle"]);
    FrameUpdate();
    gWindow->keys[kCtrl] = gWindow->keys['Z'] = true;
    FrameUpdate();
    gWindow->keys[kCtrl] = gWindow->keys['Z'] = false;
    FrameUpdate();
    EXPECT_NE(Grid(), end);  // still raising
    Release();
    EXPECT_EQ(Grid(), end);
    EXPECT_EQ(gEditHistory.RedoSteps(), 1u);
    // A new stroke after an undo drops what could be redone.
    gWindow->rightButton = 1;
    MouseAt(spot["middle"]);
    FrameUpdate();
    Release();
    after.push_back(Grid());
    EXPECT_EQ(gEditHistory.RedoSteps(), 0u);
    EXPECT_EQ(gEditHistory.UndoSteps(), after.size());

    // The grid after the first k strokes.
    auto state = [&](size_t k) { return k == 0 ? start : after[k - 1]; };
    size_t k = after.size();
    // Holding Ctrl+Z takes back one stroke only.
    gWindow->keys[kCtrl] = gWindow->keys['Z'] = true;
    for (int i = 0; i < 4; ++i) FrameUpdate();
    Release();
    EXPECT_EQ(Grid(), state(--k));
    // Z, Y and Shift+Z without Ctrl do nothing.
    Chord({}, 'Z');
    Chord({}, 'Y');
    Chord({kShift}, 'Z');
    EXPECT_EQ(Grid(), state(k));

    while (k > 0) {
        Chord({kCtrl}, 'Z');
        EXPECT_EQ(Grid(), state(--k)) << "undo back to " << k << " strokes";
    }
    Chord({kCtrl}, 'Z');  // nothing left to undo
    EXPECT_EQ(Grid(), start);

    // Redo alternately with Ctrl+Y and Ctrl+Shift+Z, then once too often.
    for (size_t i = 1; i <= after.size() + 1; ++i) {
        if (i % 2 == 0) Chord({kCtrl}, 'Y'); else Chord({kCtrl, kShift}, 'Z');
        EXPECT_EQ(Grid(), state(std::min(i, after.size()))) << "redo to " << i << " strokes";
    }

    // Ctrl+S and Ctrl+O raise the menu's save and load requests; S, O and
    // Ctrl+Shift+S alone do not.
    SetEditMode(4);
    Chord({}, 'S');
    Chord({}, 'O');
    Chord({kCtrl, kShift}, 'S');
    EXPECT_EQ(gEditMode, 4);
    Chord({kCtrl}, 'S');
    EXPECT_EQ(gEditMode, 2);
    Chord({kCtrl}, 'O');
    EXPECT_EQ(gEditMode, 1);
    // Keys let go while the dialog has the keyboard never reach the editor;
    // the next Ctrl+S still saves, and a plain Z after it does not undo.
    gWindow->keys[kCtrl] = gWindow->keys['S'] = true;
    FrameUpdate();
    EXPECT_EQ(gEditMode, 2);
    headless::ScriptFileDialogAnswers({nullptr});
    MapSave();
    FrameUpdate();
    EXPECT_EQ(gEditMode, 0);  // no second dialog
    gWindow->keys[kCtrl] = gWindow->keys['S'] = true;
    FrameUpdate();
    EXPECT_EQ(gEditMode, 2);
    headless::ScriptFileDialogAnswers({nullptr});
    MapSave();
    Chord({}, 'Z');
    EXPECT_EQ(Grid(), after.back());
    gEditMode = 0;
}

TEST_F(EditHistoryTest, KeepsTheLastHundredStrokesWithin64MiBAndALoadClearsIt) {
    // Single-vertex strokes on a 256 x 256 grid: the oldest beyond 100 go.
    ASSERT_TRUE(gTerrain->Resize(256, 256));
    EditHistory history;
    for (int k = 0; k < 105; ++k) {
        history.Touch(*gTerrain, k, k, 0, 0);
        gTerrain->columns[k][0].height = 1.0f;
        history.EndStroke(*gTerrain);
    }
    EXPECT_EQ(history.UndoSteps(), 100u);
    while (history.Undo(*gTerrain)) {
    }
    for (int k = 0; k < 105; ++k)
        EXPECT_EQ(gTerrain->columns[k][0].height, k < 5 ? 1.0f : 0.0f) << k;

    // Strokes over the whole grid: 66,049 vertices with two records each,
    // about 8.8 MiB, so 7 of them fit in 64 MiB and an 8th drops the oldest.
    history.Clear();
    for (int k = 1; k <= 8; ++k) {
        history.Touch(*gTerrain, 0, 256, 0, 256);
        for (int x = 0; x <= 256; ++x)
            for (int y = 0; y <= 256; ++y) gTerrain->columns[x][y].height = float(k);
        history.EndStroke(*gTerrain);
        EXPECT_LE(history.Bytes(), EditHistory::kMaxBytes);
    }
    EXPECT_EQ(history.UndoSteps(), 7u);
    while (history.Undo(*gTerrain)) {
    }
    EXPECT_EQ(gTerrain->columns[128][128].height, 1.0f);

    // A grid of another size never receives the old steps.
    history.Redo(*gTerrain);
    ASSERT_TRUE(gTerrain->Resize(8, 8));
    EXPECT_FALSE(history.Undo(*gTerrain));
    EXPECT_EQ(history.UndoSteps() + history.RedoSteps(), 0u);

    // The editor's history: a save and a cancelled load keep it, a load
    // clears it, the stroke being recorded included.
    testimg::TempDir dir;
    const std::string path = dir.File("two.map");
    gEditHistory.Touch(*gTerrain, 2, 3, 2, 3);
    gTerrain->columns[2][2].height = 0.5f;
    gEditHistory.EndStroke(*gTerrain);
    headless::ScriptFileDialogAnswers({path.c_str(), nullptr, path.c_str()});
    MapSave();
    MapLoad();
    EXPECT_EQ(gEditHistory.UndoSteps(), 1u);
    gEditHistory.Touch(*gTerrain, 0, 8, 0, 8);
    MapLoad();
    EXPECT_EQ(headless::FileDialogCalls(), 3);
    EXPECT_FALSE(gEditHistory.StrokeOpen());
    EXPECT_EQ(gEditHistory.UndoSteps() + gEditHistory.RedoSteps(), 0u);
    EXPECT_EQ(gTerrain->columns[2][2].height, 0.5f);
}

}  // namespace
