// Erosion and painting by height and slope: erosion changes nothing outside
// its region, keeps heights finite and in the limits (a damaged vertex that
// is no number does not spread) and leaves no vertex lit stale; `mapconvert erode` and `paint` over a table of seeds, droplet
// counts and rules give the same bytes for the same seed, other bytes for
// another, and paint puts snow exactly on the vertices above its height.
// The commands run the real program (its path comes from the build) in the
// build folder, where the texture pack lies.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/MapFile.h"
#include "terrain/Erosion.h"
#include "terrain/TerrainModel.h"

namespace fs = std::filesystem;

namespace {

// Steep hills cut off at both height limits, so droplets run fast and meet
// the floor and the ceiling.
void Hills(TerrainModel& t) {
    for (int x = 0; x <= t.width; ++x)
        for (int y = 0; y <= t.height; ++y) {
            const float h = 2.6f * std::sin(x * 0.23f) * std::cos(y * 0.19f + 0.3f) - 0.3f;
            t.columns[x][y].height = std::max(t.minHeight, std::min(t.maxHeight, h));
        }
    t.ShadeAll();
}

// Every vertex lit as RelightVertex lights it now.
bool LitAsItStands(TerrainModel& t) {
    for (int x = 0; x <= t.width; ++x)
        for (int y = 0; y <= t.height; ++y) {
            const TerrainVertex was = t.columns[x][y];
            t.RelightVertex(x, y);
            if (std::memcmp(&was, &t.columns[x][y], sizeof was) != 0) return false;
        }
    return true;
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int RunTool(const std::string& arguments) {
#ifdef MAPCONVERT
    const int status =
        std::system((std::string("'") + MAPCONVERT + "' " + arguments + " 2>/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#else
    (void)arguments;
    return -1;
#endif
}

}  // namespace

TEST(ErosionTest, ChangesOnlyItsRegionWithinTheLimitsAndRelightsAllItChanged) {
    const struct {
        LandRegion region;
        int droplets;
        uint64_t seed;
    } kCases[] = {
        {LandRegion::BrushDisc(30, 20, 8), 2000, 1},
        {LandRegion::BrushDisc(30, 20, 8), 2000, 0xFFFFFFFFFFull},
        {LandRegion::BrushDisc(1, 46, 6), 1500, 5},    // cut by the grid's corner
        {LandRegion::BrushDisc(60, 10, 32), 4000, 9},  // past the right edge
        {LandRegion::BrushDisc(20, 20, 1), 300, 3},    // four vertices, no cell inside
        {LandRegion::WholeMap(), 6000, 2},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "brush " << c.region.brush << " at " << c.region.px
                                        << "," << c.region.py << " seed " << c.seed);
        TerrainModel t(nullptr, 64, 47);
        Hills(t);
        t.columns[33][21].height = NAN;  // a damaged map's vertex, inside most regions
        t.ShadeAll();
        std::vector<TerrainVertex> before;
        for (int x = 0; x <= t.width; ++x)
            before.insert(before.end(), t.columns[x], t.columns[x] + t.height + 1);
        ErosionRandom rng(c.seed);
        const VertexRect changed = ErodeRegion(t, c.region, c.droplets, rng);
        int moved = 0;
        for (int x = 0; x <= t.width; ++x)
            for (int y = 0; y <= t.height; ++y) {
                const TerrainVertex& was = before[size_t(x) * size_t(t.height + 1) + size_t(y)];
                const float h = t.columns[x][y].height;
                const bool damaged = x == 33 && y == 21;
                ASSERT_TRUE(damaged || (std::isfinite(h) && h >= t.minHeight && h <= t.maxHeight))
                    << x << "," << y;
                if (std::memcmp(&was, &t.columns[x][y], sizeof was) == 0) continue;
                ++moved;
                ASSERT_TRUE(c.region.Contains(t, x, y)) << x << "," << y << " outside changed";
                ASSERT_TRUE(x >= changed.x0 && x <= changed.x1 && y >= changed.y0 && y <= changed.y1)
                    << x << "," << y << " outside the reported rectangle";
            }
        EXPECT_EQ(moved > 0, c.region.wholeMap || c.region.brush != 1);
        RelightAfterErosion(t, changed);
        EXPECT_TRUE(LitAsItStands(t));
    }
}

TEST(ShapingCommandTest, SeedsDropletCountsAndRules) {
#ifndef MAPCONVERT
    GTEST_SKIP() << "mapconvert is not built here";
#endif
    const fs::path dir = fs::temp_directory_path() / ("shaping_test_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string in = (dir / "in.map").string();
    {
        TerrainModel t(nullptr, 70, 45);
        Hills(t);
        ASSERT_TRUE(WriteMapFile(in.c_str(), t));
    }
    const struct {
        std::string command;
        double snowAbove;  // paint's height, NAN for erode
    } kCases[] = {
        {"erode --droplets 4000", NAN},
        {"erode --droplets 40", NAN},
        {"erode", NAN},  // one droplet per cell
        {"paint", 0.8},
        {"paint --snow-above 0.25 --earth-steeper-than 20", 0.25},
        {"paint --earth-steeper-than 40 --snow-above -1.5", -1.5},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.command);
        const std::string outs[3] = {(dir / "a.map").string(), (dir / "b.map").string(),
                                     (dir / "c.map").string()};
        const char* seeds[3] = {"11", "11", "12"};
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(RunTool(c.command + " --seed " + seeds[i] + " '" + in + "' '" + outs[i] + "'"), 0);
        EXPECT_EQ(Bytes(outs[0]), Bytes(outs[1]));
        EXPECT_NE(Bytes(outs[0]), Bytes(outs[2]));
        TerrainModel out(nullptr, 0, 0), was(nullptr, 0, 0);
        ASSERT_TRUE(ReadMapFile(outs[0].c_str(), out) && ReadMapFile(in.c_str(), was));
        EXPECT_TRUE(LitAsItStands(out));
        const bool paint = !std::isnan(c.snowAbove);
        int snow = 0, earth = 0;
        for (int x = 0; x <= out.width; ++x)
            for (int y = 0; y <= out.height; ++y) {
                const TerrainVertex &v = out.columns[x][y], &w = was.columns[x][y];
                if (!paint) {
                    ASSERT_EQ(v.ground, w.ground);
                    continue;
                }
                ASSERT_EQ(v.height, w.height);
                ASSERT_EQ(v.ground == 's', double(v.height) > c.snowAbove) << x << "," << y;
                ASSERT_TRUE(v.ground == 's' || v.ground == 'e' || v.ground == 'w');
                snow += v.ground == 's';
                earth += v.ground == 'e';
            }
        if (paint) {
            EXPECT_TRUE(snow > 0 && earth > 0);
        }
    }
    EXPECT_EQ(RunTool("paint --earth-steeper-than 91 '" + in + "' '" + (dir / "x.map").string() + "'"), 2);
    EXPECT_EQ(RunTool("erode --droplets -3 '" + in + "' '" + (dir / "x.map").string() + "'"), 2);
    EXPECT_FALSE(fs::exists(dir / "x.map"));
    fs::remove_all(dir);
}
