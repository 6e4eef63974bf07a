// Symmetric editing: the lists and the brush steps against literal data;
// in each mode a session of every tool from a symmetric start on 24 x 21
// cells keeps letters and heights symmetric, undone and redone byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "app/Editor.h"
#include "terrain/EditHistory.h"
#include "terrain/TerrainModel.h"
#include "terrain/TerrainTools.h"
#include "terrain/ToolKeys.h"
#include "terrain/TriangleSelection.h"

namespace {

constexpr int kW = 24, kH = 21, kRows = kH + 1;
using Points = std::vector<std::pair<int, int>>;

Points List(bool vertices, int x, int y, int mode) {
    int ids[kMaxMirroredCells];
    const int n = vertices ? MirroredVertices(kW, kH, MakeCellId(x, y), mode, ids)
                           : MirroredCells(kW, kH, MakeCellId(x, y), mode, ids);
    Points list;
    for (int i = 0; i < n; ++i) list.push_back({CellIdX(ids[i]), CellIdY(ids[i])});
    return list;
}

TEST(SymmetryTest, ListsHoldEveryImageOnceAndTheBrushKeysStepInOrder) {
    EXPECT_EQ(List(false, 3, 5, 3), Points({{3, 5}, {20, 5}, {3, 15}, {20, 15}}));
    EXPECT_EQ(List(false, 11, 10, 3), Points({{11, 10}, {12, 10}}));  // on the centre row
    EXPECT_EQ(List(false, 24, 0, 1), Points());  // no cell
    EXPECT_EQ(List(true, 12, 0, 3), Points({{12, 0}, {12, 21}}));  // on the centre column
    std::vector<int> sizes{2};  // the mode cycle: symmetry_e2e.sh
    for (int i = 0; i < 16; ++i) sizes.push_back(StepBrushSize(sizes.back(), i < 8 ? 1 : -1));
    EXPECT_EQ(sizes, std::vector<int>({2, 4, 6, 8, 12, 16, 24, 32, 32, 24, 16, 12, 8, 6, 4, 2, 2}));
}

// Both buttons, brushes 1 to 32, edges, corners, centre lines; the slack a stroke
// may leave between a height and its images: none unless two applications of a
// frame meet, last bits if raise or lower meet, 1e-5 if smoothing (in place) does.
const struct Stroke { int tool; char ground; bool left, right; int brush; Points path; int frames;
                      double slack; } kSession[] = {
    {kModePaint, 'w', true, false, 1, {{0, 0}, {5, 3}, {11, 10}, {12, 10}, {23, 20}}, 1, 0},
    {kModePaint, 's', true, true, 4, {{12, 0}, {0, 10}, {17, 19}, {11, 9}}, 1, 0},
    {kModeRaise, 0, true, false, 2, {{0, 0}, {1, 0}, {2, 1}}, 6, 0},
    {kModeLower, 0, true, true, 4, {{23, 20}, {23, 0}, {0, 20}}, 8, 0},
    {kModePlateau, 0, true, false, 6, {{4, 15}, {11, 10}}, 2, 0},
    {kModeSmooth, 0, false, true, 6, {{19, 17}}, 6, 0},
    {kModeRaise, 0, false, true, 8, {{9, 10}, {11, 10}, {12, 11}, {14, 9}}, 4, 1e-6},
    {kModeLower, 0, true, false, 32, {{6, 6}}, 3, 1e-6},
    {kModeRaise, 0, true, false, 12, {{18, 3}}, 5, 1e-6},
    {kModeSmooth, 0, true, false, 4, {{3, 3}, {11, 9}, {12, 10}}, 4, 1e-5},
    {kModeSmooth, 0, true, false, 12, {{20, 18}, {12, 10}}, 3, 1e-5},
    {kModeRaise, 0, false, true, 16, {{2, 18}}, 3, 1e-5}};

std::string Bytes(const TerrainModel& t) {
    std::string bytes;  // the columns one after the other
    for (int x = 0; x <= kW; ++x)
        bytes.append(reinterpret_cast<const char*>(t.columns[x]), kRows * sizeof(TerrainVertex));
    return bytes;
}

class SymmetrySession : public ::testing::TestWithParam<int> {};

TEST_P(SymmetrySession, StrokesStaySymmetricAndUndoAsOneStep) {
    const int symmetry = GetParam();
    TerrainModel t(nullptr, kW, kH);
    std::vector<std::string> names(81);  // a tile for every pattern, so painting re-tiles
    for (int i = 0; i < 81; ++i) {
        names[i] = {"ews"[i % 3], "ews"[i / 3 % 3], "ews"[i / 9 % 3], "ews"[i / 27]};
        t.groundTextures[i].name = &names[i][0];
    }
    t.groundTextureCount = 81;
    for (int x = 0; x <= kW; ++x)
        for (int y = 0; y <= kH; ++y) {
            const int a = x * (kW - x), c = y * (kH - y);  // the same at every image
            t.columns[x][y].height = float(0.01 * a - 0.004 * c);
            t.columns[x][y].ground = "ews"[(a + 2 * c) % 3];
        }
    t.ShadeAll();
    EditHistory history;
    ToolMemory memory;
    double slack = 0.0;  // differences left by this and earlier strokes
    for (const Stroke& s : kSession) {
        const std::string before = Bytes(t);
        const ToolInput in{s.tool, s.ground, s.brush, s.left, s.right, true, symmetry};
        for (const auto& [x, y] : s.path)
            for (int frame = 0; frame < s.frames; ++frame) {
                RecordToolWork(history, t, MakeCellId(x, y), in);
                ApplyToolsAt(t, MakeCellId(x, y), in, memory);
            }
        memory.left.Pressed(false);  // let go: the next stroke's press is new
        history.EndStroke(t);
        slack = std::max(slack, s.slack);
        for (int x = 0; x <= kW; ++x)
            for (int y = 0; y <= kH; ++y)
                for (const auto& [ix, iy] : List(true, x, y, symmetry)) {
                    const TerrainVertex &v = t.columns[x][y], &w = t.columns[ix][iy];
                    ASSERT_TRUE(v.ground == w.ground && std::fabs(v.height - w.height) <= slack)
                        << "tool " << s.tool << ": " << x << "," << y << " and " << ix << "," << iy;
                }
        const std::string after = Bytes(t);
        EXPECT_NE(after, before) << "tool " << s.tool;
        ASSERT_TRUE(history.Undo(t) && Bytes(t) == before) << "undo of tool " << s.tool;
        ASSERT_TRUE(history.Redo(t) && Bytes(t) == after) << "redo of tool " << s.tool;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryMode, SymmetrySession, ::testing::Range(0, 5));

}  // namespace
