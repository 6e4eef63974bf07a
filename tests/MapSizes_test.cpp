// mapconvert new, resize and scale, run as the real program in the build
// folder (the texture pack), read back with the editor's reader: resize out
// and back over every anchor, the old map where the anchor puts it and new
// cells flat; a scaled ramp; new is the start map; bad sizes refused.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/MapFile.h"
#include "terrain/TerrainModel.h"

#ifdef MAPCONVERT  // the build names the program it runs
namespace {

const std::string kDir =
    (std::filesystem::temp_directory_path() / ("mapsizes_" + std::to_string(getpid()))).string();

int Mapconvert(const std::string& arguments, const std::string& errors = "/dev/null") {
    const int status = std::system(
        (std::string("'") + MAPCONVERT + "' " + arguments + " --seed 3 2>" + errors).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string In(const char* name) { return kDir + "/" + name; }

TerrainModel& Read(const char* name, TerrainModel& t) {
    EXPECT_TRUE(ReadMapFile(In(name).c_str(), t)) << name;
    return t;
}

}  // namespace

TEST(MapSizesTest, ResizeOutAndBackOverEveryAnchor) {
    std::filesystem::create_directories(kDir);
    TerrainModel t(nullptr, 24, 16);
    for (int x = 0; x <= 24; ++x)
        for (int y = 0; y <= 16; ++y) {
            t.columns[x][y].height = std::sin(x * 0.7f) * std::cos(y * 1.3f) - 0.2f;
            t.columns[x][y].ground = "ews"[(x * 7 + y * 3) % 3];
        }
    ASSERT_TRUE(WriteMapFile(In("in.map").c_str(), t));
    // Where old vertex (0, 0) lands in 31 x 21 cells.
    const struct { const char* anchor; int dx, dy; } kCases[] = {
        {"nw", 0, 5}, {"n", 3, 5}, {"ne", 7, 5}, {"w", 0, 2}, {"c", 3, 2},
        {"e", 7, 2},  {"sw", 0, 0}, {"s", 3, 0}, {"se", 7, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.anchor);
        const std::string anchor = std::string(" --anchor ") + c.anchor + " ";
        ASSERT_EQ(Mapconvert("resize --size 31x21 --height 0.75" + anchor + In("in.map") + " " +
                             In("big.map")), 0);
        ASSERT_EQ(Mapconvert("resize --size 24x16" + anchor + In("big.map") + " " + In("back.map")),
                  0);
        TerrainModel big(nullptr, 0, 0), back(nullptr, 0, 0);
        Read("big.map", big), Read("back.map", back);
        ASSERT_TRUE(big.width == 31 && big.height == 21 && back.width == 24 && back.height == 16);
        EXPECT_EQ(big.columns[c.dx][c.dy].height, t.columns[0][0].height);
        EXPECT_EQ(big.columns[c.dx + 24][c.dy + 16].ground, t.columns[24][16].ground);
        const TerrainVertex& added = big.columns[c.dx == 0 ? 31 : 0][c.dy == 0 ? 21 : 0];
        EXPECT_TRUE(added.height == 0.75f && added.ground == 'e');
        for (int x = 0; x <= 24; ++x)
            for (int y = 0; y <= 16; ++y)
                ASSERT_TRUE(back.columns[x][y].height == t.columns[x][y].height &&
                            back.columns[x][y].ground == t.columns[x][y].ground) << x << "," << y;
    }
    std::filesystem::remove_all(kDir);
}

TEST(MapSizesTest, ScaleKeepsARampNewIsTheStartMapBadSizesAreRefused) {
    std::filesystem::create_directories(kDir);
    TerrainModel ramp(nullptr, 40, 12);
    for (int x = 0; x <= 40; ++x)
        for (int y = 0; y <= 12; ++y) ramp.columns[x][y].height = -2.0f + 3.5f * x / 40;
    ASSERT_TRUE(WriteMapFile(In("ramp.map").c_str(), ramp));
    for (const char* size : {"97x5", "13x30", "1x1"}) {
        ASSERT_EQ(Mapconvert(std::string("scale --size ") + size + " " + In("ramp.map") + " " +
                             In("scaled.map")), 0);
        TerrainModel model(nullptr, 0, 0);
        const TerrainModel& s = Read("scaled.map", model);
        for (int x = 0; x <= s.width; ++x)
            for (int y = 0; y <= s.height; ++y)
                ASSERT_NEAR(s.columns[x][y].height, -2.0 + 3.5 * x / s.width, 3.5 / 65535)
                    << size << " at " << x << "," << y;
    }

    ASSERT_EQ(Mapconvert("new --size 256x256 " + In("new.map")), 0);
    TerrainModel model(nullptr, 0, 0), start(nullptr, 256, 256);
    const TerrainModel& made = Read("new.map", model);
    ASSERT_EQ(made.width * 1000 + made.height, 256256);
    for (int x = 0; x <= 256; ++x)
        for (int y = 0; y <= 256; ++y) {
            start.RelightVertex(x, y);
            const TerrainVertex &a = made.columns[x][y], &b = start.columns[x][y];
            ASSERT_TRUE(a.ground == 'e' && a.height == 0.0f) << x << "," << y;
            ASSERT_TRUE(x == 256 || y == 256 || a.tileTexture != 0) << "untiled at " << x << "," << y;
            ASSERT_EQ(0, std::memcmp(a.normal, b.normal, 24)) << "lit otherwise at " << x << "," << y;
        }

    for (const char* size : {"0x5", "4097x1", "5", "x5", "-1x3", "3x", "12x9x2"}) {
        const std::string errors = In("errors.txt");
        EXPECT_EQ(Mapconvert(std::string("new --size ") + size + " " + In("no.map"), errors), 2);
        EXPECT_EQ(Mapconvert(std::string("resize --size ") + size + " " + In("ramp.map") + " " +
                             In("no.map")), 2);
        EXPECT_FALSE(std::filesystem::exists(In("no.map"))) << size;
        std::ifstream in(errors);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        EXPECT_NE(text.find("--size " + std::string(size)), std::string::npos) << text;
    }
    std::filesystem::remove_all(kDir);
}
#endif
