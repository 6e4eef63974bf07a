// Copies of ground: turns and flips, a placement and a stamp clamped and lit
// as they stand, the mirrored places, the copy file read back and refused.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "terrain/Regions.h"
#include "terrain/Symmetry.h"
#include "terrain/TerrainModel.h"

namespace {

GroundCopy Numbered(int width, int height) {
    GroundCopy c{width, height, {}, {}};
    for (int i = 0; i < width * height; ++i)
        c.heights.push_back(float(i)), c.grounds.push_back("ews"[i % 3]);
    return c;
}

}  // namespace

TEST(RegionsTest, TurnsAndFlips) {
    const GroundCopy c = Numbered(3, 2);  // rows 0 1 2 / 3 4 5
    EXPECT_EQ(Turned(c).heights, (std::vector<float>{3, 0, 4, 1, 5, 2}));
    EXPECT_EQ(Turned(c).grounds, (std::vector<char>{'e', 'e', 'w', 'w', 's', 's'}));
    EXPECT_EQ(Turned(Turned(Turned(Turned(c)))).heights, c.heights);
    EXPECT_EQ(FlippedLeftRight(c).heights, (std::vector<float>{2, 1, 0, 5, 4, 3}));
    EXPECT_EQ(FlippedTopBottom(c).heights, (std::vector<float>{3, 4, 5, 0, 1, 2}));
}

TEST(RegionsTest, PlacementAndStampClampedTiledAndLit) {
    TerrainModel t(nullptr, 12, 10);
    for (int x = 0; x <= 12; ++x)
        for (int y = 0; y <= 10; ++y) t.columns[x][y].height = 1.25f;
    t.ShadeAll();  // lit everywhere, so any vertex a placement leaves stale shows
    GroundCopy c{3, 2, {-1.0f, -0.5f, 3.0f, 0.0f, -9.0f, 1.0f}, {'s', 's', 'w', 'w', 'e', 's'}};
    PlaceCopy(t, c, 11, 9, false);  // the last column falls off the grid
    PlaceCopy(t, c, 2, 3, true);    // adds the height above -9, keeps the ground
    const struct { int x, y; float height; char ground; } kVertices[] = {
        {11, 9, -1.0f, 's'}, {12, 9, -0.5f, 's'}, {11, 10, 0.0f, 'w'}, {12, 10, -2.0f, 'e'},
        {10, 9, 1.25f, 'e'}, {2, 3, 1.5f, 'e'},  {4, 4, 1.5f, 'e'},   {3, 4, 1.25f, 'e'},
    };
    for (const auto& v : kVertices) {
        EXPECT_EQ(t.columns[v.x][v.y].height, v.height) << v.x << "," << v.y;
        EXPECT_EQ(t.columns[v.x][v.y].ground, v.ground) << v.x << "," << v.y;
    }
    for (int x = 0; x <= 12; ++x)
        for (int y = 0; y <= 10; ++y) {
            const TerrainVertex was = t.columns[x][y];
            t.RelightVertex(x, y);
            ASSERT_EQ(0, std::memcmp(&was, &t.columns[x][y], sizeof was)) << x << "," << y;
        }
}

TEST(RegionsTest, MirroredPlacesOfEverySymmetryMode) {
    TerrainModel t(nullptr, 20, 20);
    const GroundCopy c = Numbered(3, 2);
    const struct { int mode, x, y; std::vector<int> expected; } kCases[] = {
        {kSymmetryOff, 2, 3, {2, 3, 0, 0}},
        {kSymmetryTopBottom, 2, 3, {2, 3, 0, 0, 2, 16, 0, 1}},
        {kSymmetryBoth, 2, 3, {2, 3, 0, 0, 16, 3, 1, 0, 2, 16, 0, 1, 16, 16, 1, 1}},
        {kSymmetryPoint, 2, 3, {2, 3, 0, 0, 16, 16, 1, 1}},
        {kSymmetryLeftRight, 9, 3, {9, 3, 0, 0}},  // centred on the line: once
    };
    for (const auto& k : kCases) {
        std::vector<int> got;
        for (const PlacementSpot& p : MirroredSpots(t, c, k.x, k.y, k.mode))
            got.insert(got.end(), {p.originX, p.originY, p.flipLeftRight, p.flipTopBottom});
        EXPECT_EQ(got, k.expected) << "mode " << k.mode;
    }
}

TEST(RegionsTest, CopyFileReadBackAndRefused) {
    const GroundCopy c = Numbered(4, 3);
    const std::vector<uint8_t> bytes = EncodeCopy(c);
    ASSERT_EQ(bytes.size(), 16u + 5u * 12u);
    GroundCopy back;
    std::string reason;
    ASSERT_TRUE(DecodeCopy(bytes.data(), bytes.size(), &back, &reason)) << reason;
    EXPECT_TRUE(back.heights == c.heights && back.grounds == c.grounds);
    const struct { size_t at; std::vector<uint8_t> put; size_t size; const char* says; } kFaults[] = {
        {0, {'X'}, bytes.size(), "first bytes"},
        {8, {0, 0, 0, 0}, bytes.size(), "size 0 x 3"},
        {12, {0x02, 0x10, 0, 0}, bytes.size(), "size 4 x 4098"},
        {0, {}, bytes.size() - 1, "length"},
        {0, {}, 15, "first bytes"},
        {16 + 5 * 7 + 4, {'x'}, bytes.size(), "vertex 7"},
        {16 + 5 * 2, {0x00, 0x00, 0xC0, 0x7F}, bytes.size(), "vertex 2"},  // a quiet NaN
    };
    for (const auto& f : kFaults) {
        std::vector<uint8_t> bad = bytes;
        std::copy(f.put.begin(), f.put.end(), bad.begin() + long(f.at));
        EXPECT_FALSE(DecodeCopy(bad.data(), f.size, &back, &reason)) << f.says;
        EXPECT_NE(reason.find(f.says), std::string::npos) << reason;
    }
}
