// mapconvert new, resize and scale, run as the real program in the build
// folder (where the texture pack lies), the maps read back with the
// editor's reader: resize out and back over every anchor gives the same
// heights and ground letters byte for byte, with the old map where the
// anchor puts it and the new cells flat; scale keeps a ramp a ramp; new is
// the start map; bad sizes are refused with one line and no file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/MapFile.h"
#include "terrain/TerrainModel.h"

namespace fs = std::filesystem;

namespace {

int Mapconvert(const std::string& arguments, const std::string& errors = "/dev/null") {
#ifdef MAPCONVERT
    const int status = std::system(
        (std::string("'") + MAPCONVERT + "' " + arguments + " --seed 3 2>" + errors).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#else
    (void)arguments, (void)errors;
    return -1;
#endif
}

struct TempFolder {
    fs::path path = fs::temp_directory_path() / ("mapsizes_" + std::to_string(getpid()));
    TempFolder() { fs::create_directories(path); }
    ~TempFolder() { fs::remove_all(path); }
    std::string operator/(const char* name) const { return (path / name).string(); }
};

}  // namespace

TEST(MapSizesTest, ResizeOutAndBackOverEveryAnchor) {
#ifndef MAPCONVERT
    GTEST_SKIP() << "mapconvert is not built here";
#endif
    TempFolder dir;
    TerrainModel t(nullptr, 24, 16);
    const char letters[] = "ews";
    for (int x = 0; x <= 24; ++x)
        for (int y = 0; y <= 16; ++y) {
            t.columns[x][y].height = std::sin(x * 0.7f) * std::cos(y * 1.3f) - 0.2f;
            t.columns[x][y].ground = letters[(x * 7 + y * 3) % 3];
        }
    ASSERT_TRUE(WriteMapFile((dir / "in.map").c_str(), t));
    // Where old vertex (0, 0) lands in 31 x 21 cells, from the anchor's name.
    const struct { const char* anchor; int dx, dy; } kCases[] = {
        {"nw", 0, 5}, {"n", 3, 5}, {"ne", 7, 5}, {"w", 0, 2}, {"c", 3, 2},
        {"e", 7, 2},  {"sw", 0, 0}, {"s", 3, 0}, {"se", 7, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.anchor);
        const std::string anchor = std::string(" --anchor ") + c.anchor + " ";
        ASSERT_EQ(Mapconvert("resize --size 31x21 --height 0.75" + anchor + dir / "in.map" + " " +
                      dir / "big.map"), 0);
        ASSERT_EQ(Mapconvert("resize --size 24x16" + anchor + dir / "big.map" + " " + dir / "back.map"), 0);
        TerrainModel big(nullptr, 0, 0), back(nullptr, 0, 0);
        ASSERT_TRUE(ReadMapFile((dir / "big.map").c_str(), big));
        ASSERT_TRUE(ReadMapFile((dir / "back.map").c_str(), back));
        ASSERT_EQ(big.width, 31);
        ASSERT_EQ(back.width, 24);
        ASSERT_EQ(back.height, 16);
        EXPECT_EQ(big.columns[c.dx][c.dy].height, t.columns[0][0].height);
        EXPECT_EQ(big.columns[c.dx + 24][c.dy + 16].ground, t.columns[24][16].ground);
        const int outX = c.dx == 0 ? 31 : 0, outY = c.dy == 0 ? 21 : 0;
        EXPECT_EQ(big.columns[outX][outY].height, 0.75f);
        EXPECT_EQ(big.columns[outX][outY].ground, 'e');
        for (int x = 0; x <= 24; ++x)
            for (int y = 0; y <= 16; ++y) {
                ASSERT_EQ(back.columns[x][y].height, t.columns[x][y].height) << x << "," << y;
                ASSERT_EQ(back.columns[x][y].ground, t.columns[x][y].ground) << x << "," << y;
            }
    }
}

TEST(MapSizesTest, ScaleKeepsARampNewIsTheStartMapBadSizesAreRefused) {
#ifndef MAPCONVERT
    GTEST_SKIP() << "mapconvert is not built here";
#endif
    TempFolder dir;
    TerrainModel ramp(nullptr, 40, 12);
    for (int x = 0; x <= 40; ++x)
        for (int y = 0; y <= 12; ++y) ramp.columns[x][y].height = -2.0f + 3.5f * x / 40;
    ASSERT_TRUE(WriteMapFile((dir / "ramp.map").c_str(), ramp));
    for (const char* size : {"97x5", "13x30", "1x1"}) {
        SCOPED_TRACE(size);
        ASSERT_EQ(Mapconvert(std::string("scale --size ") + size + " " + dir / "ramp.map" + " " +
                      dir / "scaled.map"), 0);
        TerrainModel s(nullptr, 0, 0);
        ASSERT_TRUE(ReadMapFile((dir / "scaled.map").c_str(), s));
        for (int x = 0; x <= s.width; ++x)
            for (int y = 0; y <= s.height; ++y)
                ASSERT_NEAR(s.columns[x][y].height, -2.0 + 3.5 * x / s.width, 3.5 / 65535)
                    << x << "," << y;
    }

    ASSERT_EQ(Mapconvert("new --size 256x256 " + dir / "new.map"), 0);
    TerrainModel made(nullptr, 0, 0), start(nullptr, 256, 256);
    ASSERT_TRUE(ReadMapFile((dir / "new.map").c_str(), made));
    ASSERT_EQ(made.width, 256);
    ASSERT_EQ(made.height, 256);
    for (int x = 0; x <= 256; ++x)
        for (int y = 0; y <= 256; ++y) {
            start.RelightVertex(x, y);
            const TerrainVertex &a = made.columns[x][y], &b = start.columns[x][y];
            ASSERT_EQ(a.ground, 'e');
            ASSERT_EQ(a.height, 0.0f);
            ASSERT_TRUE(x == 256 || y == 256 || a.tileTexture != 0) << "untiled at " << x << "," << y;
            ASSERT_EQ(0, std::memcmp(a.normal, b.normal, 24)) << "lit otherwise at " << x << "," << y;
        }

    for (const char* size : {"0x5", "4097x1", "5", "x5", "-1x3", "3x", "12x9x2"}) {
        SCOPED_TRACE(size);
        const std::string out = dir / "refused.map", errors = dir / "errors.txt";
        EXPECT_EQ(Mapconvert(std::string("new --size ") + size + " " + out, errors), 2);
        EXPECT_EQ(Mapconvert(std::string("resize --size ") + size + " " + dir / "ramp.map" + " " + out), 2);
        EXPECT_FALSE(fs::exists(out));
        std::string text;
        std::FILE* f = std::fopen(errors.c_str(), "r");
        for (int ch; f && (ch = std::fgetc(f)) != EOF;) text += char(ch);
        if (f) std::fclose(f);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        EXPECT_NE(text.find("--size"), std::string::npos) << text;
    }
}
