// Symmetric editing: the lists, the mode cycle and the brush steps against
// literal data; then, in each mode, a session of every tool (both buttons,
// brushes 1 to 32, edges, corners, strokes across the centre lines) from a
// symmetric start on 24 x 21 cells (cells on the horizontal centre line):
// after each stroke ground letters and heights are symmetric, the heights
// exactly where no two applications of a frame met, within 1e-6 where they
// did, within 1e-5 where smoothing met; undo and redo are byte for byte.
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
constexpr int kImages[] = {1, 2, 2, 4, 2};  // list length by mode, off the centre lines
using Points = std::vector<std::pair<int, int>>;

TEST(SymmetryTest, ListsHoldEveryImageOnceAndTheKeysStepInOrder) {
    const struct { bool vertex; int x, y, mode; Points want; } cases[] = {
        {false, 3, 5, 3, {{3, 5}, {20, 5}, {3, 15}, {20, 15}}}, {false, 24, 0, 3, {}},
        {false, 11, 10, 3, {{11, 10}, {12, 10}}}, {false, 23, 20, 4, {{23, 20}, {0, 0}}},
        {true, 3, 5, 3, {{3, 5}, {21, 5}, {3, 16}, {21, 16}}}, {true, 25, 0, 0, {}},
        {true, 12, 0, 3, {{12, 0}, {12, 21}}}, {true, 24, 21, 4, {{24, 21}, {0, 0}}}};
    for (const auto& c : cases) {
        int ids[kMaxMirroredCells];
        const int id = MakeCellId(c.x, c.y);
        const int n = c.vertex ? MirroredVertices(kW, kH, id, c.mode, ids)
                               : MirroredCells(kW, kH, id, c.mode, ids);
        Points got;
        for (int i = 0; i < n; ++i) got.push_back({CellIdX(ids[i]), CellIdY(ids[i])});
        EXPECT_EQ(got, c.want) << c.vertex << " " << c.x << "," << c.y << " mode " << c.mode;
    }
    std::vector<int> modes{0}, sizes{2};
    for (int i = 0; i < 5; ++i) modes.push_back(NextSymmetry(modes.back()));
    for (int i = 0; i < 16; ++i) sizes.push_back(StepBrushSize(sizes.back(), i < 8 ? 1 : -1));
    EXPECT_EQ(modes, std::vector<int>({0, 1, 2, 3, 4, 0}));
    EXPECT_EQ(sizes, std::vector<int>({2, 4, 6, 8, 12, 16, 24, 32, 32, 24, 16, 12, 8, 6, 4, 2, 2}));
}

const struct Stroke { int tool; char ground; bool left, right; int brush; Points path; int frames; }
kSession[] = {
    {kModePaint, 'w', true, false, 1, {{0, 0}, {5, 3}, {11, 10}, {12, 10}, {23, 20}}, 1},
    {kModePaint, 's', true, true, 4, {{12, 0}, {0, 10}, {17, 19}, {11, 9}}, 1},
    {kModeRaise, 0, true, false, 2, {{0, 0}, {1, 0}, {2, 1}}, 6},
    {kModeRaise, 0, false, true, 8, {{9, 10}, {11, 10}, {12, 11}, {14, 9}}, 4},
    {kModeLower, 0, true, true, 4, {{23, 20}, {23, 0}, {0, 20}}, 8},
    {kModeLower, 0, true, false, 32, {{6, 6}}, 3},
    {kModePlateau, 0, true, false, 6, {{4, 15}, {11, 10}}, 2},
    {kModeRaise, 0, true, false, 12, {{18, 3}}, 5},
    {kModeSmooth, 0, true, false, 4, {{3, 3}, {11, 9}, {12, 10}}, 4},
    {kModeSmooth, 0, false, true, 6, {{19, 17}}, 6},
    {kModeSmooth, 0, false, true, 12, {{20, 18}, {12, 10}}, 1},
    {kModeRaise, 0, false, true, 16, {{2, 18}}, 3}};

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
    std::vector<std::string> names;  // a tile for every pattern, so painting re-tiles
    for (int i = 0; i < 81; ++i)
        names.push_back({"ews"[i % 3], "ews"[i / 3 % 3], "ews"[i / 9 % 3], "ews"[i / 27]});
    for (size_t i = 0; i < names.size(); ++i) t.groundTextures[i].name = &names[i][0];
    t.groundTextureCount = int32_t(names.size());
    for (int x = 0; x <= kW; ++x)
        for (int y = 0; y <= kH; ++y) {
            const int a = x * (kW - x), c = y * (kH - y);  // the same at every image
            t.columns[x][y].height = float(0.01 * a - 0.004 * c);
            t.columns[x][y].ground = "ews"[(a + 2 * c) % 3];
        }
    t.ShadeAll();
    EditHistory history;
    ToolMemory memory;
    std::vector<double> slack(size_t(kW + 1) * kRows, 0.0);  // allowed difference per vertex
    auto at = [](int id) { return size_t(CellIdX(id)) * kRows + CellIdY(id); };
    for (const Stroke& s : kSession) {
        const std::string before = Bytes(t);
        const ToolInput in{s.tool, s.ground, s.brush, s.left, s.right, true, symmetry};
        // Smoothing reads -B .. B + 1 and changes its whole window in another
        // order at a cell on a centre line (a shorter list) or where brushes
        // meet; the other tools change 1 - B .. B, each vertex on its own.
        const bool smooth = s.tool == kModeSmooth;
        const int lo = smooth ? -s.brush : 1 - s.brush, hi = smooth ? s.brush + 1 : s.brush;
        for (const auto& cell : s.path)
            for (int frame = 0; frame < s.frames; ++frame) {
                int cells[kMaxMirroredCells];
                const int id = MakeCellId(cell.first, cell.second);
                const int n = MirroredCells(kW, kH, id, symmetry, cells);
                std::vector<int> reached(slack.size(), 0);
                for (int i = 0; i < n; ++i)
                    for (int x = CellIdX(cells[i]) + lo; x <= CellIdX(cells[i]) + hi; ++x)
                        for (int y = CellIdY(cells[i]) + lo; y <= CellIdY(cells[i]) + hi; ++y)
                            if (x >= 0 && x <= kW && y >= 0 && y <= kH) ++reached[x * kRows + y];
                const bool met = n < kImages[symmetry] ||
                                 *std::max_element(reached.begin(), reached.end()) > 1;
                for (size_t v = 0; v < slack.size(); ++v)
                    if (smooth ? met && reached[v] > 0 : s.tool != kModePaint && reached[v] > 1)
                        slack[v] = std::max(slack[v], smooth ? 1e-5 : 1e-6);
                RecordToolWork(history, t, id, in);
                ApplyToolsAt(t, id, in, memory);
            }
        memory.left.Pressed(false);  // let go: the next stroke's press is new
        history.EndStroke(t);
        int asymmetric = 0;
        for (int x = 0; x <= kW; ++x)
            for (int y = 0; y <= kH; ++y) {
                int images[kMaxMirroredCells];
                const int id = MakeCellId(x, y);
                const int n = MirroredVertices(kW, kH, id, symmetry, images);
                for (int i = 1; i < n; ++i) {
                    const TerrainVertex &v = t.columns[x][y],
                                        &w = t.columns[CellIdX(images[i])][CellIdY(images[i])];
                    const double allowed = std::max(slack[at(id)], slack[at(images[i])]);
                    if (v.ground == w.ground && std::fabs(v.height - w.height) <= allowed) continue;
                    if (asymmetric++ == 0)
                        ADD_FAILURE() << "tool " << s.tool << " brush " << s.brush << " at " << x
                                      << "," << y << ": " << v.ground << v.height << ", image "
                                      << i << ": " << w.ground << w.height;
                }
            }
        const std::string after = Bytes(t);
        EXPECT_NE(after, before) << "tool " << s.tool;
        ASSERT_TRUE(history.Undo(t));
        EXPECT_TRUE(Bytes(t) == before) << "undo of tool " << s.tool;
        ASSERT_TRUE(history.Redo(t));
        EXPECT_TRUE(Bytes(t) == after) << "redo of tool " << s.tool;
    }
    EXPECT_EQ(history.UndoSteps(), std::size(kSession));
}

INSTANTIATE_TEST_SUITE_P(EveryMode, SymmetrySession, ::testing::Range(0, 5));

}  // namespace
