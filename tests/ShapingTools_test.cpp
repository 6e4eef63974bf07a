// The shaping tools and the strength through the mode table, as the frame
// runs them: each height tool at 20 % moves a fifth of what it moves at
// 100 %, plateau at 100 % sets the captured height; the ramp follows the
// straight line along its centre, is one undo step and is cancelled by the
// right button; painting by slope changes only the brush disc.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "terrain/EditHistory.h"
#include "terrain/SlopePaint.h"
#include "terrain/TerrainModel.h"
#include "terrain/TerrainTools.h"
#include "terrain/ToolModes.h"

namespace {

constexpr int kCells = 32;

int Id(int x, int y) { return (x << 16) | y; }

// A hill at cell (4, 4), dales elsewhere; well inside the height limits.
void Hills(TerrainModel& t) {
    for (int x = 0; x <= kCells; ++x)
        for (int y = 0; y <= kCells; ++y) {
            const double d = std::hypot(x - 4.5, y - 4.5);
            t.columns[x][y].height =
                float(std::max(0.0, 1.0 - d / 8.0) + 0.05 * std::sin(x * 0.9) * std::cos(y * 0.7));
            t.columns[x][y].ground = 'e';
        }
}

std::vector<float> Heights(const TerrainModel& t) {
    std::vector<float> h;
    for (int x = 0; x <= kCells; ++x)
        for (int y = 0; y <= kCells; ++y) h.push_back(t.columns[x][y].height);
    return h;
}

// `frames` frames of `mode` held at cell (cx, cy), then the release there.
void Hold(TerrainModel& t, ToolMemory& m, int mode, int cx, int cy, int frames, int strength,
          bool right = false, int brush = 4) {
    for (int i = 0; i <= frames; ++i) {
        const bool held = i < frames;
        ToolInput in{mode, 'w', brush, held && !right, held && right, true, kSymmetryOff, strength};
        ApplyToolsAt(t, Id(cx, cy), in, m);
    }
}

}  // namespace

TEST(ShapingTools, StrengthScalesEveryStepAndFullStrengthIsTheTextsStep) {
    const struct {
        int mode, frames;
        bool right;
    } kCases[] = {{kModeRaise, 30, false}, {kModeLower, 30, true}, {kModeSmooth, 1, false},
                  {kModeSmooth, 1, true}, {kModePlateau, 1, false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.mode);
        TerrainModel full(nullptr, kCells, kCells), fifth(nullptr, kCells, kCells);
        Hills(full);
        Hills(fifth);
        const std::vector<float> was = Heights(full);
        ToolMemory a, b;
        Hold(full, a, c.mode, 6, 5, c.frames, 100, c.right);
        Hold(fifth, b, c.mode, 6, 5, c.frames, 20, c.right);
        const std::vector<float> h100 = Heights(full), h20 = Heights(fifth);
        int moved = 0;
        double most = 0.0;  // within 1 % of the tool's largest step
        for (size_t i = 0; i < was.size(); ++i) most = std::max(most, std::fabs(h100[i] - was[i] + 0.0));
        for (size_t i = 0; i < was.size(); ++i) {
            const double d100 = double(h100[i]) - was[i], d20 = double(h20[i]) - was[i];
            EXPECT_NEAR(d20, 0.2 * d100, 0.01 * most) << i;
            moved += d100 != 0.0;
            if (c.mode == kModePlateau && d100 != 0.0) {
                EXPECT_EQ(h100[i], float(a.plateauHeight));
            }
        }
        EXPECT_GT(moved, 10);
    }
}

TEST(ShapingTools, RampFollowsTheStraightLineIsOneStepAndTheRightButtonCancels) {
    TerrainModel t(nullptr, kCells, kCells);
    Hills(t);
    const std::vector<float> was = Heights(t);
    EditHistory history;
    ToolMemory m;
    m.history = &history;
    // Right while held: nothing happens at the release.
    ApplyToolsAt(t, Id(4, 4), {kModeRamp, 'e', 3, true, false, true, 0, 100}, m);
    ApplyToolsAt(t, Id(9, 9), {kModeRamp, 'e', 3, true, true, true, 0, 100}, m);
    ApplyToolsAt(t, Id(20, 20), {kModeRamp, 'e', 3, false, false, true, 0, 100}, m);
    EXPECT_EQ(Heights(t), was);
    const double ha = 0.25 * (double(t.columns[4][4].height) + t.columns[5][4].height +
                              t.columns[5][5].height + t.columns[4][5].height);
    const double hb = 0.25 * (double(t.columns[20][20].height) + t.columns[21][20].height +
                              t.columns[21][21].height + t.columns[20][21].height);
    ApplyToolsAt(t, Id(4, 4), {kModeRamp, 'e', 3, true, false, true, 0, 100}, m);
    ApplyToolsAt(t, Id(20, 20), {kModeRamp, 'e', 3, false, false, true, 0, 100}, m);
    history.EndStroke(t);
    // The centre line runs through the corners (k, k), at s = (k - 4.5) / 16.
    for (int k = 5; k <= 20; ++k) {
        EXPECT_NEAR(t.columns[k][k].height, ha + (hb - ha) * (k - 4.5) / 16.0, 1e-6) << k;
        if (k > 5) {
            EXPECT_LT(t.columns[k][k].height, t.columns[k - 1][k - 1].height);
        }
    }
    EXPECT_EQ(t.columns[20][4].height, was[20 * (kCells + 1) + 4]);  // far from the band
    EXPECT_EQ(history.UndoSteps(), 1u);
    ASSERT_TRUE(history.Undo(t));
    EXPECT_EQ(Heights(t), was);
}

TEST(ShapingTools, PaintingBySlopeGivesTheRulesGroundInsideTheBrushOnly) {
    TerrainModel t(nullptr, kCells, kCells);
    Hills(t);
    const std::vector<float> was = Heights(t);
    ToolMemory m;
    Hold(t, m, kModeAutoPaint, 5, 6, 3, 100, false, 6);
    const LandRegion disc = LandRegion::BrushDisc(5, 6, 6);
    for (int x = 0; x <= kCells; ++x)
        for (int y = 0; y <= kCells; ++y) {
            const bool inside = disc.Contains(t, x, y);
            ASSERT_EQ(t.columns[x][y].ground, inside ? SlopeGround(t, SlopePaintRule(), x, y) : 'e');
        }
    EXPECT_EQ(Heights(t), was);
}
