// Tests of the terrain editing tools: the cosine brush of raise and lower
// with its figures and limits, painting one vertex and re-tiling one block,
// smoothing, the plateau height capture, the menu rows, the grid edge and
// ids that name no cell. A 16 x 16 terrain behind a 1280 x 1024 headless
// window; input goes through the window's public input fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/Editor.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "terrain/TerrainModel.h"
#include "terrain/TerrainTools.h"
#include "tests/support/TextSmooth.h"

namespace {

constexpr int kW = 1280;
constexpr int kH = 1024;
constexpr int kCells = 16;
constexpr int kOverView = 100;        // 923 rows above the bottom edge
constexpr int kLastMenuRow = kH - 1 - 280;  // exactly 280 rows up: still the menu

// Figures of the B = 2 brush: weights at distance sqrt(0.5) and sqrt(2.5).
constexpr double kNear = 0.8497105;
constexpr double kFar = 0.3230711;

int Id(int x, int y) { return (x << 16) | y; }

class TerrainToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        gWindow = new OpenGLFullscreen(kW, kH);
        ASSERT_TRUE(gWindow->IsCreated());
        gTerrain = new TerrainModel(gWindow, kCells, kCells);
        gTerrain->ShadeAll();
        gEditMode = 0;
        gCurrentGround = 'e';
        gBrushSize = 2;
        gPlateauHeight = 0.0;
        gLeftButtonBefore = false;
        Buttons(false, false);
        gWindow->mouseY = kOverView;
    }
    void TearDown() override {
        delete gTerrain;
        gTerrain = nullptr;
        delete gWindow;
        gWindow = nullptr;
    }

    static void Buttons(bool left, bool right) {
        gWindow->leftButton = left ? 1 : 0;
        gWindow->rightButton = right ? 1 : 0;
    }
    static float& H(int x, int y) { return gTerrain->columns[x][y].height; }
    static void Flatten() {
        for (int x = 0; x <= kCells; ++x)
            for (int y = 0; y <= kCells; ++y) H(x, y) = 0.0f;
    }

    struct Snapshot {
        std::vector<float> heights;
        std::vector<char> grounds;
        std::vector<uint32_t> tiles;
    };
    static Snapshot Take() {
        Snapshot s;
        for (int x = 0; x <= kCells; ++x)
            for (int y = 0; y <= kCells; ++y) {
                s.heights.push_back(H(x, y));
                s.grounds.push_back(gTerrain->columns[x][y].ground);
                s.tiles.push_back(gTerrain->columns[x][y].tileTexture);
            }
        return s;
    }
    static bool Same(const Snapshot& a, const Snapshot& b) {
        return a.heights == b.heights && a.grounds == b.grounds && a.tiles == b.tiles;
    }
    // Vertices whose height differs from the snapshot.
    static int ChangedHeights(const Snapshot& before) {
        int changed = 0, i = 0;
        for (int x = 0; x <= kCells; ++x)
            for (int y = 0; y <= kCells; ++y, ++i)
                if (H(x, y) != before.heights[i]) ++changed;
        return changed;
    }

    // Heap names of exactly their length, as the texture library keeps them.
    void SetGroundList(const std::vector<std::pair<std::string, uint32_t>>& list) {
        for (size_t i = 0; i < list.size(); ++i) {
            names.emplace_back(new char[list[i].first.size() + 1]);
            std::memcpy(names.back().get(), list[i].first.c_str(), list[i].first.size() + 1);
            gTerrain->groundTextures[i].name = names.back().get();
            gTerrain->groundTextures[i].glName = list[i].second;
        }
        gTerrain->groundTextureCount = int32_t(list.size());
    }
    std::vector<std::unique_ptr<char[]>> names;
};

// Checks one frame of the B = 2 brush at (px, py) scaled by `amount`: the
// four centre vertices, the eight at distance sqrt(2.5), nothing else.
void ExpectBrushFrame(int px, int py, double amount) {
    for (int x = 0; x <= kCells; ++x)
        for (int y = 0; y <= kCells; ++y) {
            const int dx = x - px, dy = y - py;
            const bool centre = (dx == 0 || dx == 1) && (dy == 0 || dy == 1);
            const bool ring = !centre && dx >= -1 && dx <= 2 && dy >= -1 && dy <= 2 &&
                              !((dx == -1 || dx == 2) && (dy == -1 || dy == 2));
            const double want = centre ? amount * kNear : ring ? amount * kFar : 0.0;
            EXPECT_NEAR(gTerrain->columns[x][y].height, want, 2e-7) << x << "," << y;
        }
}

TEST_F(TerrainToolsTest, RaiseAndLowerFollowTheCosineBrush) {
    SetEditMode(4);
    Buttons(true, false);
    ApplyTools(Id(8, 8));
    EXPECT_NEAR(H(8, 8), 0.00425, 1e-5);
    EXPECT_NEAR(H(7, 8), 0.0016, 2e-5);
    ExpectBrushFrame(8, 8, 0.005);
    // The changed heights are re-lit, including the neighbour two steps out
    // whose forward difference now sees a slope.
    EXPECT_LT(gTerrain->columns[6][8].normal[0], 0.0f);
    EXPECT_GT(gTerrain->columns[9][8].normal[0], 0.0f);

    // Both buttons: the right button's step wins.
    Flatten();
    Buttons(true, true);
    ApplyTools(Id(8, 8));
    ExpectBrushFrame(8, 8, 0.02);

    Flatten();
    SetEditMode(5);
    Buttons(false, true);
    ApplyTools(Id(8, 8));
    ExpectBrushFrame(8, 8, -0.02);
}

TEST_F(TerrainToolsTest, HeldRaiseAndLowerStopExactlyAtTheLimits) {
    SetEditMode(4);
    Buttons(false, true);
    for (int frame = 0; frame < 400; ++frame) ApplyTools(Id(8, 8));
    EXPECT_EQ(H(8, 8), 1.5f);
    EXPECT_EQ(H(9, 9), 1.5f);
    EXPECT_EQ(H(7, 8), 1.5f);   // weight 0.32
    EXPECT_EQ(H(10, 9), 1.5f);
    EXPECT_EQ(H(7, 7), 0.0f);   // weight 0
    EXPECT_EQ(H(10, 10), 0.0f);

    SetEditMode(5);
    for (int frame = 0; frame < 800; ++frame) ApplyTools(Id(8, 8));
    EXPECT_EQ(H(8, 8), -2.0f);
    EXPECT_EQ(H(7, 9), -2.0f);
    EXPECT_EQ(H(7, 7), 0.0f);
}

TEST_F(TerrainToolsTest, PaintChangesOneVertexAndRetilesItsBlock) {
    SetGroundList({{"eeee_1", 11}, {"weee_1", 12}});
    gTerrain->ShadeAll();
    ASSERT_EQ(gTerrain->columns[5][7].tileTexture, 11u);

    SetEditMode(4);
    SetBrushSize(8);  // ignored by the paint tool
    SelectGround(0x100 | 'w');
    EXPECT_EQ(gEditMode, 3);
    EXPECT_EQ(gCurrentGround, 'w');

    const Snapshot before = Take();
    Buttons(true, false);
    ApplyTools(Id(5, 7));
    int i = 0;
    for (int x = 0; x <= kCells; ++x)
        for (int y = 0; y <= kCells; ++y, ++i) {
            const bool painted = x == 5 && y == 7;
            const bool block = (x == 4 || x == 5) && (y == 6 || y == 7);
            EXPECT_EQ(gTerrain->columns[x][y].ground, painted ? 'w' : 'e') << x << "," << y;
            EXPECT_EQ(gTerrain->columns[x][y].tileTexture, block ? 12u : before.tiles[i])
                << x << "," << y;
        }
    EXPECT_EQ(ChangedHeights(before), 0);

    // The last cell of the grid paints its own lower-left vertex only.
    SelectGround('s');
    ApplyTools(Id(kCells - 1, kCells - 1));
    EXPECT_EQ(gTerrain->columns[kCells - 1][kCells - 1].ground, 's');
    EXPECT_EQ(gTerrain->columns[kCells][kCells].ground, 'e');
}

TEST_F(TerrainToolsTest, ToolsIgnoreThePointerOverTheMenuRows) {
    SetGroundList({{"eeee_1", 11}, {"weee_1", 12}});
    gTerrain->ShadeAll();
    H(8, 8) = 1.0f;
    gWindow->mouseY = kLastMenuRow;
    for (int mode : {3, 4, 5, 6, 7}) {
        SetEditMode(mode);
        const Snapshot before = Take();
        for (bool right : {false, true}) {
            Buttons(true, right);
            ApplyTools(Id(8, 8));
            Buttons(false, false);
            ApplyTools(Id(8, 8));
        }
        EXPECT_TRUE(Same(before, Take())) << mode;
    }
    // One row higher the pointer is over the view.
    gWindow->mouseY = kLastMenuRow - 1;
    SetEditMode(4);
    Buttons(true, false);
    ApplyTools(Id(2, 2));
    EXPECT_NEAR(H(2, 2), 0.005 * kNear, 1e-7);
}

TEST_F(TerrainToolsTest, PlateauHeightIsCapturedOnANewPressInAnyMode) {
    H(3, 3) = 0.1f;
    H(4, 3) = 0.2f;
    H(4, 4) = 0.3f;
    H(3, 4) = 0.4f;
    H(10, 10) = H(11, 10) = H(11, 11) = H(10, 11) = -0.5f;

    // A press in raise mode over the menu: nothing is raised, but the mean
    // of the picked cell's corners is captured.
    SetEditMode(4);
    gWindow->mouseY = kLastMenuRow;
    Buttons(true, false);
    ApplyTools(Id(3, 3));
    EXPECT_NEAR(gPlateauHeight, 0.25, 1e-7);
    EXPECT_TRUE(gLeftButtonBefore);

    // Still held, now plateau mode over another cell: flattens to the stored
    // height, exactly the 12 vertices within distance 2 of the cell's middle.
    SetEditMode(6);
    gWindow->mouseY = kOverView;
    const Snapshot before = Take();
    ApplyTools(Id(10, 10));
    EXPECT_NEAR(gPlateauHeight, 0.25, 1e-7);
    EXPECT_EQ(ChangedHeights(before), 12);
    for (int x = 9; x <= 12; ++x)
        for (int y = 9; y <= 12; ++y) {
            const bool corner = (x == 9 || x == 12) && (y == 9 || y == 12);
            if (!corner) {
                EXPECT_EQ(H(x, y), 0.25f) << x << "," << y;
            }
        }
    EXPECT_EQ(H(8, 10), 0.0f);  // distance 2.55

    // Released, pressed again: the new press captures and flattens at once.
    Buttons(false, false);
    ApplyTools(Id(10, 10));
    H(10, 10) = H(11, 10) = H(11, 11) = H(10, 11) = 1.0f;
    Buttons(true, false);
    ApplyTools(Id(10, 10));
    EXPECT_NEAR(gPlateauHeight, 1.0, 1e-7);
    EXPECT_EQ(H(9, 10), 1.0f);
}

TEST_F(TerrainToolsTest, SmoothPullsASpikeTowardsItsNeighbours) {
    H(8, 8) = 1.0f;
    SetEditMode(7);
    Buttons(true, false);
    const Snapshot before = Take();
    ApplyTools(Id(8, 8));

    // The first target in loop order is (7, 8): it sees only the untouched
    // spike, so it moves by 1 / L * 0.01, L summing its distances to the
    // other 35 vertices of the 6 x 6 window.
    double sumL = 0.0;
    for (int x = 6; x <= 11; ++x)
        for (int y = 6; y <= 11; ++y)
            if (x != 7 || y != 8) sumL += std::hypot(x - 7.0, y - 8.0);
    EXPECT_NEAR(H(7, 8), 0.01 / sumL, 1e-8);
    EXPECT_LT(H(8, 8), 1.0f);
    EXPECT_GT(H(8, 8), 0.9f);
    EXPECT_GT(H(9, 9), 0.0f);
    EXPECT_EQ(ChangedHeights(before), 12);  // the targets within distance 2
    EXPECT_EQ(H(6, 6), 0.0f);
}

TEST_F(TerrainToolsTest, BrushesPastTheGridEdgeChangeOnlyInsideVertices) {
    SetEditMode(4);
    Buttons(true, false);
    ApplyTools(Id(0, 0));
    ExpectBrushFrame(0, 0, 0.005);
    ApplyTools(Id(kCells - 1, kCells - 1));
    EXPECT_NEAR(H(kCells, kCells), 0.005 * kNear, 1e-7);
    EXPECT_NEAR(H(kCells - 2, kCells), 0.005 * kFar, 1e-7);
    EXPECT_EQ(H(kCells - 2, kCells - 2), 0.0f);

    // Smooth and plateau at a corner: clipped windows, finite results.
    Flatten();
    H(0, 0) = 1.0f;
    SetEditMode(7);
    ApplyTools(Id(0, 0));
    EXPECT_LT(H(0, 0), 1.0f);
    EXPECT_GT(H(1, 1), 0.0f);
    EXPECT_EQ(H(3, 0), 0.0f);
    gPlateauHeight = -0.75;
    SetEditMode(6);
    ApplyTools(Id(kCells - 1, 0));
    EXPECT_EQ(H(kCells, 0), -0.75f);
    EXPECT_EQ(H(kCells - 2, 1), -0.75f);
    EXPECT_EQ(H(kCells - 3, 0), 0.0f);
}

TEST_F(TerrainToolsTest, IdsThatNameNoCellAndMissingObjectsChangeNothing) {
    SetGroundList({{"eeee_1", 11}, {"weee_1", 12}});
    gTerrain->ShadeAll();
    gCurrentGround = 'w';
    gPlateauHeight = 0.5;
    const Snapshot before = Take();
    const int ids[] = {-1, Id(kCells, 0), Id(0, kCells), Id(kCells, kCells), 0x7FFFFFFF,
                       int(0x80000000u)};
    for (int mode : {3, 4, 5, 6, 7})
        for (int id : ids) {
            SetEditMode(mode);
            gLeftButtonBefore = false;
            Buttons(true, true);
            ApplyTools(id);
            EXPECT_TRUE(gLeftButtonBefore);  // the button state is still tracked
            Buttons(false, false);
            ApplyTools(id);
            EXPECT_FALSE(gLeftButtonBefore);
        }
    EXPECT_TRUE(Same(before, Take()));
    EXPECT_EQ(gPlateauHeight, 0.5);

    // Without a terrain or a window the tools do nothing at all.
    TerrainModel* terrain = gTerrain;
    gTerrain = nullptr;
    Buttons(true, false);
    ApplyTools(Id(1, 1));
    EXPECT_FALSE(gLeftButtonBefore);
    gTerrain = terrain;
    OpenGLFullscreen* window = gWindow;
    gWindow = nullptr;
    SetEditMode(4);
    ApplyTools(Id(1, 1));
    gWindow = window;
    EXPECT_TRUE(Same(before, Take()));
}

TEST_F(TerrainToolsTest, BrushSizesBelowOneActAsOne) {
    SetEditMode(4);
    Buttons(true, false);
    SetBrushSize(-3);
    ApplyTools(Id(5, 5));
    // Weight cos(sqrt(0.5) * pi / 2) on the four corners of the cell only.
    EXPECT_NEAR(H(5, 5), 0.005 * 0.4440158, 1e-8);
    EXPECT_NEAR(H(6, 6), 0.005 * 0.4440158, 1e-8);
    EXPECT_EQ(H(4, 5), 0.0f);
    SetEditMode(7);
    SetBrushSize(0);
    H(5, 5) = 1.0f;
    ApplyTools(Id(5, 5));
    EXPECT_TRUE(std::isfinite(H(5, 5)));
    EXPECT_LT(H(5, 5), 1.0f);
}

}  // namespace

// The running-sum smoothing against the text's plain loops, on rough
// ground, for small and large brushes in the middle, at every edge and
// corner and on a grid smaller than the window. Only the order of the additions differs, so every height
// agrees to within one step of a float (the slack, kSlackUlps).
TEST(SmoothRunningSum, EqualsTheTextsLoopsUpToTheOrderOfAdditions) {
    constexpr int kSlackUlps = 1;
    const struct {
        int cells, x, y, brush;
    } kCases[] = {{40, 20, 20, 1},  {40, 20, 20, 2},  {40, 17, 22, 8},
                  {80, 40, 40, 32}, {40, 0, 20, 8},   {40, 39, 20, 8},
                  {40, 20, 0, 4},   {40, 20, 39, 6},  {40, 0, 0, 8},
                  {40, 39, 39, 8},  {40, 0, 39, 3},   {40, 39, 0, 13},
                  {5, 2, 1, 8},     {1, 0, 0, 2},     {64, 30, 2, 32}};
    for (const auto& c : kCases)
        for (const bool right : {false, true}) {
            TerrainModel fast(nullptr, c.cells, c.cells), text(nullptr, c.cells, c.cells);
            for (int x = 0; x <= c.cells; ++x)
                for (int y = 0; y <= c.cells; ++y)
                    fast.columns[x][y].height = text.columns[x][y].height =
                        float(std::sin(x * 1.7 + y * y * 0.3) - 0.0004 * x * y);
            ToolMemory memory;
            ApplyToolsAt(fast, Id(c.x, c.y), {kModeSmooth, 'e', c.brush, !right, right, true, 0}, memory);
            TextSmooth(text, c.x, c.y, c.brush, right ? 1.0 / 15 : 0.01);
            int worst = 0;
            for (int x = 0; x <= c.cells; ++x)
                for (int y = 0; y <= c.cells; ++y) {
                    float a = fast.columns[x][y].height, b = text.columns[x][y].height;
                    int ulps = 0;
                    while (a != b && ulps <= kSlackUlps) a = std::nextafter(a, b), ++ulps;
                    worst = std::max(worst, ulps);
                }
            EXPECT_LE(worst, kSlackUlps) << c.cells << " cells at " << c.x << "," << c.y
                                         << ", brush " << c.brush;
        }
}
