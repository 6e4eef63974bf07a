// Tests of the terrain shading: normals and brightness of vertices, and the
// orientation and random choice of ground tiles.
//
// Tile placement is checked against an independent model of the eight
// symmetries of the square: the texture coordinates of a block must be one
// symmetry applied to the block's own (u, v) layout, and the quarter that
// every cell then shows must carry the cell's ground letter in the code.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "terrain/TerrainModel.h"

namespace {

const float kFlatColour = 0.8233333f;  // (1/3 + 0.3) * 1.3

// One symmetry of the unit square: optionally swap u and v, then optionally
// flip each of them.
struct Symmetry {
    bool swap, flipU, flipV;
    void Apply(float u, float v, float& outU, float& outV) const {
        const float s = swap ? v : u, t = swap ? u : v;
        outU = flipU ? 1.0f - s : s;
        outV = flipV ? 1.0f - t : t;
    }
};

Symmetry SymmetryOf(int index) { return {(index & 1) != 0, (index & 2) != 0, (index & 4) != 0}; }

// Sets the ground letters of block (x0, y0) in code order: (x0, y0 + 1),
// (x0 + 1, y0 + 1), (x0, y0), (x0 + 1, y0).
void SetBlock(TerrainModel& model, int x0, int y0, const char* pattern) {
    model.columns[x0][y0 + 1].ground = pattern[0];
    model.columns[x0 + 1][y0 + 1].ground = pattern[1];
    model.columns[x0][y0].ground = pattern[2];
    model.columns[x0 + 1][y0].ground = pattern[3];
}

// True when showing the code's texture through `s` puts on every cell of a
// block with `pattern` the quarter that carries that cell's letter.
bool LettersFit(const Symmetry& s, const char* code, const char* pattern) {
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            float u, v;
            s.Apply(0.5f * c + 0.25f, 0.5f * r + 0.25f, u, v);
            const int quarter = (v > 0.5f ? 0 : 2) + (u > 0.5f ? 1 : 0);
            const int patternIndex = (r == 1 ? 0 : 2) + c;
            if (code[quarter] != pattern[patternIndex]) return false;
        }
    return true;
}

// The symmetry (0..7) that the block's texture coordinates apply to its
// layout, or -1 when the coordinates are not one of them.
int SymmetryInBlock(const TerrainModel& model, int x0, int y0) {
    for (int index = 0; index < 8; ++index) {
        const Symmetry s = SymmetryOf(index);
        bool all = true;
        for (int r = 0; r < 2 && all; ++r)
            for (int c = 0; c < 2 && all; ++c) {
                const TerrainVertex& vertex = model.columns[x0 + c][y0 + r];
                for (int k = 0; k < 4; ++k) {
                    float u, v;
                    s.Apply(0.5f * (c + (k & 1)), 0.5f * (r + (k >> 1)), u, v);
                    if (vertex.tileU[k] != u || vertex.tileV[k] != v) all = false;
                }
            }
        if (all) return index;
    }
    return -1;
}

class TerrainShadingTest : public ::testing::Test {
protected:
    // Fills the model's ground list with heap names of exactly their length,
    // so that a read past a short name is a read past its block.
    void SetGroundList(TerrainModel& model,
                       const std::vector<std::pair<std::string, uint32_t>>& list) {
        for (size_t i = 0; i < list.size(); ++i) {
            names.emplace_back(new char[list[i].first.size() + 1]);
            std::memcpy(names.back().get(), list[i].first.c_str(), list[i].first.size() + 1);
            model.groundTextures[i].name = names.back().get();
            model.groundTextures[i].glName = list[i].second;
        }
        model.groundTextureCount = int32_t(list.size());
    }

    // Retiles block (x0, y0) `calls` times and collects the symmetries
    // chosen, checking every result against the code's letters.
    std::map<int, int> CollectChoices(TerrainModel& model, int x0, int y0, const char* code,
                                      const char* pattern, int calls, uint32_t glName) {
        std::map<int, int> seen;
        for (int i = 0; i < calls; ++i) {
            EXPECT_TRUE(model.RetileBlock(x0 + (i & 1), y0 + ((i >> 1) & 1)));
            const int index = SymmetryInBlock(model, x0, y0);
            EXPECT_GE(index, 0) << "coordinates are no symmetry of the block";
            if (index < 0) break;
            EXPECT_TRUE(LettersFit(SymmetryOf(index), code, pattern)) << "symmetry " << index;
            for (int r = 0; r < 2; ++r)
                for (int c = 0; c < 2; ++c)
                    EXPECT_EQ(model.columns[x0 + c][y0 + r].tileTexture, glName);
            ++seen[index];
        }
        return seen;
    }

    std::vector<std::unique_ptr<char[]>> names;
};

void SetAllHeights(TerrainModel& model, float h) {
    for (int x = 0; x <= model.width; ++x)
        for (int y = 0; y <= model.height; ++y) model.columns[x][y].height = h;
}

void FillNormalAndColour(TerrainModel& model, float value) {
    for (int x = 0; x <= model.width; ++x)
        for (int y = 0; y <= model.height; ++y)
            for (int i = 0; i < 3; ++i) {
                model.columns[x][y].normal[i] = value;
                model.columns[x][y].colour[i] = value;
            }
}

void ExpectColour(const TerrainVertex& v, float expected) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(v.colour[i], expected, 1e-6);
}

}  // namespace

TEST_F(TerrainShadingTest, FlatGroundIsLitUpAndTheBorderIsBlack) {
    TerrainModel model(nullptr, 6, 5);
    FillNormalAndColour(model, 7.0f);
    model.ShadeAll();
    for (int x = 0; x <= 6; ++x)
        for (int y = 0; y <= 5; ++y) {
            const TerrainVertex& v = model.columns[x][y];
            const bool inner = x > 0 && x < 6 && y > 0 && y < 5;
            EXPECT_EQ(v.normal[0], 0.0f) << x << "," << y;
            EXPECT_EQ(v.normal[1], 0.0f) << x << "," << y;
            EXPECT_FLOAT_EQ(v.normal[2], inner ? 1.0f : 0.0f) << x << "," << y;
            ExpectColour(v, inner ? kFlatColour : 0.0f);
        }
}

TEST_F(TerrainShadingTest, UnderwaterVerticesAreDarkenedLinearly) {
    TerrainModel model(nullptr, 4, 4);
    // Whole grid at one height keeps the normal straight up.
    const struct {
        float height, k;
    } cases[] = {{-1.0f, 1.0f}, {-0.5f, 1.0f}, {-1.5f, 0.6f}, {-2.0f, 0.2f}, {-2.5f, -0.2f}};
    for (const auto& c : cases) {
        SetAllHeights(model, c.height);
        model.RelightVertex(2, 2);
        EXPECT_FLOAT_EQ(model.columns[2][2].normal[2], 1.0f);
        SCOPED_TRACE(c.height);
        ExpectColour(model.columns[2][2], kFlatColour * c.k);
    }
}

TEST_F(TerrainShadingTest, NormalsUseTheForwardNeighboursAndFacingDecidesBrightness) {
    TerrainModel model(nullptr, 4, 4);
    const float s = model.spacing;
    // Rising towards +x and falling towards +y: normal along (-2, 2, 1),
    // which is the light direction itself.
    model.columns[3][2].height = 2 * s;
    model.columns[2][3].height = -2 * s;
    model.columns[1][2].height = 5.0f;  // backward neighbours play no part
    model.columns[2][1].height = -5.0f;
    model.RelightVertex(2, 2);
    const TerrainVertex& lit = model.columns[2][2];
    EXPECT_NEAR(lit.normal[0], -2.0 / 3, 1e-6);
    EXPECT_NEAR(lit.normal[1], 2.0 / 3, 1e-6);
    EXPECT_NEAR(lit.normal[2], 1.0 / 3, 1e-6);
    ExpectColour(lit, 1.69f);  // (1 + 0.3) * 1.3, clamped only by OpenGL

    // Falling towards +x: the slope faces away from the light, the diffuse
    // term stops at 0 and only the ambient part remains.
    SetAllHeights(model, 0.0f);
    model.columns[3][2].height = -s;
    model.RelightVertex(2, 2);
    const TerrainVertex& dark = model.columns[2][2];
    EXPECT_NEAR(dark.normal[0], std::sqrt(0.5), 1e-6);
    EXPECT_NEAR(dark.normal[1], 0.0, 1e-6);
    EXPECT_NEAR(dark.normal[2], std::sqrt(0.5), 1e-6);
    ExpectColour(dark, 0.39f);
}

TEST_F(TerrainShadingTest, SymmetricCodeMatchesInAllEightOrientationsEquallyOften) {
    TerrainModel model(nullptr, 4, 4);
    SetGroundList(model, {{"eeee_plain", 42}});
    std::srand(1234);
    const std::map<int, int> seen = CollectChoices(model, 2, 0, "eeee", "eeee", 8000, 42);
    ASSERT_EQ(seen.size(), 8u);
    for (const auto& entry : seen) {
        EXPECT_GT(entry.second, 800) << "symmetry " << entry.first;
        EXPECT_LT(entry.second, 1200) << "symmetry " << entry.first;
    }
}

TEST_F(TerrainShadingTest, AsymmetricCodesMatchExactlyTheFittingOrientations) {
    const struct {
        const char* code;
        const char* pattern;
        size_t orientations;
    } cases[] = {
        {"wwee", "ewew", 2},  // meadow on the right: a quarter turn, plain or mirrored
        {"wwee", "wwee", 2},
        {"wwee", "eeww", 2},
        {"wwes", "wwes", 1},  // no symmetry of its own: one orientation each
        {"wwes", "wwse", 1},
        {"wwes", "ewsw", 1},
        {"wwes", "wesw", 0},  // same letters, meadow across a diagonal
        {"ewwe", "wewe", 0},
        {"ewwe", "weew", 4},  // diagonal code: a half turn and two diagonal mirrors
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " on " + c.pattern);
        names.clear();
        TerrainModel model(nullptr, 4, 4);
        SetGroundList(model, {{c.code, 9}});
        SetBlock(model, 0, 2, c.pattern);
        std::set<int> expected;
        for (int index = 0; index < 8; ++index)
            if (LettersFit(SymmetryOf(index), c.code, c.pattern)) expected.insert(index);
        ASSERT_EQ(expected.size(), c.orientations) << "the test's own symmetry model";

        if (c.orientations == 0) {
            EXPECT_FALSE(model.RetileBlock(0, 2));
            continue;
        }
        std::srand(99);
        const std::map<int, int> seen = CollectChoices(model, 0, 2, c.code, c.pattern, 400, 9);
        std::set<int> seenSet;
        for (const auto& entry : seen) seenSet.insert(entry.first);
        EXPECT_EQ(seenSet, expected);
    }
}

TEST_F(TerrainShadingTest, ChoiceSpreadsOverAllMatchingTexturesAndWritesTheirNames) {
    TerrainModel model(nullptr, 4, 4);
    SetGroundList(model, {{"ssss", 5}, {"eese_a", 6}, {"", 7}, {"ee", 8}, {"eese_b", 10}});
    SetBlock(model, 2, 2, "seee");  // "eese" turned: fits both eese textures
    std::srand(7);
    std::map<uint32_t, int> textures;
    for (int i = 0; i < 400; ++i) {
        ASSERT_TRUE(model.RetileBlock(3, 3));
        ++textures[model.columns[2][2].tileTexture];
        EXPECT_EQ(model.columns[3][3].tileTexture, model.columns[2][2].tileTexture);
    }
    ASSERT_EQ(textures.size(), 2u);
    EXPECT_GT(textures[6], 150);
    EXPECT_GT(textures[10], 150);
}

TEST_F(TerrainShadingTest, NoMatchOrNoCellLeavesEverythingAsItWas) {
    TerrainModel model(nullptr, 5, 4);
    for (int x = 0; x <= 5; ++x)
        for (int y = 0; y <= 4; ++y) {
            TerrainVertex& v = model.columns[x][y];
            v.tileTexture = 1000u + unsigned(x * 10 + y);
            for (int k = 0; k < 4; ++k) v.tileU[k] = v.tileV[k] = float(x - y + k);
        }
    SetBlock(model, 0, 0, "sews");  // snow across a diagonal
    std::vector<TerrainVertex> before;
    for (int x = 0; x <= 5; ++x)
        for (int y = 0; y <= 4; ++y) before.push_back(model.columns[x][y]);
    auto unchanged = [&] {
        size_t i = 0;
        for (int x = 0; x <= 5; ++x)
            for (int y = 0; y <= 4; ++y, ++i)
                if (std::memcmp(&before[i], &model.columns[x][y], sizeof(TerrainVertex)) != 0)
                    return false;
        return true;
    };

    EXPECT_FALSE(model.RetileBlock(1, 1));  // empty list
    SetGroundList(model, {{"", 1}, {"eee", 2}, {"wwww", 3}, {"sswe", 4}});
    // Short names match nothing, and "sswe" has the block's letters but its
    // snow side by side in every orientation.
    EXPECT_FALSE(model.RetileBlock(1, 1));
    // The last column and row of vertices start no cell.
    EXPECT_FALSE(model.RetileBlock(5, 0));
    EXPECT_FALSE(model.RetileBlock(0, 4));
    EXPECT_FALSE(model.RetileBlock(-1, 0));
    EXPECT_FALSE(model.RetileBlock(0, -1));
    EXPECT_TRUE(unchanged());
}

TEST_F(TerrainShadingTest, RetilingTouchesOnlyTheBlockOfTheVertex) {
    // Odd size: the last block sticks out over the last column and row of
    // vertices, which start no cell but still exist.
    TerrainModel model(nullptr, 5, 5);
    SetGroundList(model, {{"eeee", 3}});
    std::srand(5);
    model.RetileBlock(3, 2);
    for (int x = 0; x <= 5; ++x)
        for (int y = 0; y <= 5; ++y) {
            const bool inBlock = (x == 2 || x == 3) && (y == 2 || y == 3);
            EXPECT_EQ(model.columns[x][y].tileTexture, inBlock ? 3u : 0u) << x << "," << y;
        }
    ASSERT_TRUE(model.RetileBlock(4, 4));
    EXPECT_GE(SymmetryInBlock(model, 4, 4), 0);
    EXPECT_EQ(model.columns[5][5].tileTexture, 3u);
}

TEST_F(TerrainShadingTest, ShadeAllTilesEveryBlockAndLightsEveryVertex) {
    TerrainModel model(nullptr, 6, 4);
    SetGroundList(model, {{"eeee", 11}, {"wwww", 12}});
    SetBlock(model, 2, 2, "wwww");
    SetBlock(model, 0, 0, "eeee");
    SetBlock(model, 0, 2, "eeww");
    FillNormalAndColour(model, 9.0f);
    std::srand(3);
    model.ShadeAll();
    EXPECT_EQ(model.columns[0][0].tileTexture, 11u);
    EXPECT_EQ(model.columns[3][3].tileTexture, 12u);
    EXPECT_EQ(model.columns[1][3].tileTexture, 0u);  // "eeww" is not listed
    for (int x = 0; x < 6; x += 2)
        for (int y = 0; y < 4; y += 2)
            if (!(x == 0 && y == 2)) {
                EXPECT_GE(SymmetryInBlock(model, x, y), 0) << x << "," << y;
            }
    for (int x = 0; x <= 6; ++x)
        for (int y = 0; y <= 4; ++y) {
            const bool inner = x > 0 && x < 6 && y > 0 && y < 4;
            ExpectColour(model.columns[x][y], inner ? kFlatColour : 0.0f);
        }
}

TEST_F(TerrainShadingTest, ShadeAllOffersEveryBlockTheSameChoicesAsRetilingItAlone) {
    // One block for each of the 81 patterns of the three grounds, then one
    // with a letter of no ground. The list mixes symmetric, asymmetric and
    // repeated codes, a short name and a code of that foreign letter.
    const int blocksX = 10, blocksY = 9;
    TerrainModel model(nullptr, 2 * blocksX, 2 * blocksY);
    SetGroundList(model, {{"eeee_a", 1}, {"wwee", 2}, {"wwes", 3}, {"ewwe", 4}, {"eeee_b", 5},
                          {"sss", 6}, {"ssss", 7}, {"eswe", 8}, {"ewss", 9}, {"xexe", 10}});
    const char letters[3] = {'e', 'w', 's'};
    std::vector<std::string> patterns;
    for (int k = 0; k < 81; ++k)
        patterns.push_back({letters[k / 27], letters[k / 9 % 3], letters[k / 3 % 3], letters[k % 3]});
    patterns.push_back("exex");
    for (size_t k = 0; k < patterns.size(); ++k)
        SetBlock(model, 2 * int(k % blocksX), 2 * int(k / blocksX), patterns[k].c_str());

    // Per block: how often each (texture, symmetry) came out.
    using Tally = std::map<std::pair<uint32_t, int>, int>;
    auto tally = [&](size_t k, Tally& into) {
        const int x0 = 2 * int(k % blocksX), y0 = 2 * int(k / blocksX);
        const uint32_t texture = model.columns[x0][y0].tileTexture;
        if (texture != 0) ++into[{texture, SymmetryInBlock(model, x0, y0)}];
    };
    const int runs = 600;
    std::vector<Tally> whole(patterns.size()), alone(patterns.size());
    std::srand(11);
    for (int run = 0; run < runs; ++run) {
        for (int x = 0; x <= model.width; ++x)
            for (int y = 0; y <= model.height; ++y) model.columns[x][y].tileTexture = 0;
        model.ShadeAll();
        for (size_t k = 0; k < patterns.size(); ++k) tally(k, whole[k]);
    }
    for (size_t k = 0; k < patterns.size(); ++k) {
        const int x0 = 2 * int(k % blocksX), y0 = 2 * int(k / blocksX);
        for (int run = 0; run < runs; ++run) {
            model.columns[x0][y0].tileTexture = 0;
            model.RetileBlock(x0, y0);
            tally(k, alone[k]);
        }
    }
    size_t matched = 0;
    for (size_t k = 0; k < patterns.size(); ++k) {
        SCOPED_TRACE(patterns[k]);
        std::set<std::pair<uint32_t, int>> wholeSet, aloneSet;
        for (const auto& entry : whole[k]) {
            wholeSet.insert(entry.first);
            // Uniform over the matches: each one near runs / matches.
            EXPECT_GT(entry.second, runs / int(whole[k].size()) / 2) << entry.first.first;
        }
        for (const auto& entry : alone[k]) aloneSet.insert(entry.first);
        EXPECT_EQ(wholeSet, aloneSet);
        if (!wholeSet.empty()) ++matched;
    }
    EXPECT_GE(matched, 10u);  // the list reaches many of the patterns
}

TEST_F(TerrainShadingTest, RetilingAListOfBlocksDrawsAsRetilingEachAlone) {
    // All 81 patterns and one of a foreign letter, listed by any vertex of
    // the block, one block twice, one vertex past the cells.
    const int blocksX = 10, blocksY = 9;
    TerrainModel listed(nullptr, 2 * blocksX, 2 * blocksY), alone(nullptr, 2 * blocksX, 2 * blocksY);
    const char letters[3] = {'e', 'w', 's'};
    std::vector<int32_t> ids;
    for (int k = 0; k < 82; ++k) {
        const std::string pattern = k < 81 ? std::string{letters[k / 27], letters[k / 9 % 3],
                                                         letters[k / 3 % 3], letters[k % 3]}
                                           : "exex";
        const int x0 = 2 * (k % blocksX), y0 = 2 * (k / blocksX);
        SetBlock(listed, x0, y0, pattern.c_str());
        SetBlock(alone, x0, y0, pattern.c_str());
        ids.push_back(int32_t((x0 + k % 2) << 16 | (y0 + k / 2 % 2)));
    }
    ids.push_back(ids[7]);
    ids.push_back(int32_t(listed.width << 16));
    for (TerrainModel* model : {&listed, &alone})
        SetGroundList(*model, {{"eeee_a", 1}, {"wwee", 2}, {"wwes", 3}, {"ewwe", 4}, {"eeee_b", 5},
                               {"ssss", 7}, {"eswe", 8}, {"ewss", 9}, {"xexe", 10}});
    std::srand(5);
    listed.RetileBlocks(ids);
    std::srand(5);
    for (const int32_t id : ids) alone.RetileBlock(id >> 16, id & 0xFFFF);
    for (int x = 0; x <= listed.width; ++x)
        ASSERT_EQ(std::memcmp(listed.columns[x], alone.columns[x],
                              sizeof(TerrainVertex) * size_t(listed.height + 1)), 0) << x;
}
