// mapconvert against the editor: a map edited here goes out as a heightmap
// and ground picture and comes back in as a new map, which the editor then
// loads, finds shaded as its own shading would, and draws with its tiles;
// the grid a preview samples from a large map holds the map's own records.
// Runs the real program (its path comes from the build); the working folder
// is the build folder, where the texture pack lies.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/Editor.h"
#include "app/MapFile.h"
#include "app/TextureCatalogue.h"
#include "gl/GL.h"
#include "gl/GLState.h"
#include "gl/OpenGLFullscreen.h"
#include "terrain/FrameUpdate.h"
#include "terrain/TerrainModel.h"
#include "tests/support/EditorFixture.h"
#include "tools/mapconvert/MapFacts.h"
#include "tools/mapconvert/SampledMap.h"

namespace fs = std::filesystem;

namespace {

int RunTool(const std::string& arguments) {
#ifdef MAPCONVERT
    const int status = std::system((std::string("'") + MAPCONVERT + "' " + arguments).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#else
    (void)arguments;
    return -1;
#endif
}

std::string Sorted(std::string letters) {
    std::sort(letters.begin(), letters.end());
    return letters;
}

}  // namespace

TEST(MapConvertTest, ExportedAndImportedMapLoadsShadedAndDrawsInTheEditor) {
#ifndef MAPCONVERT
    GTEST_SKIP() << "mapconvert is not built here";
#endif
    const fs::path dir = fs::temp_directory_path() / ("mapconvert_test_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string edited = (dir / "edited.map").string();
    const std::string heights = (dir / "heights.png").string();
    const std::string ground = (dir / "ground.png").string();
    const std::string imported = (dir / "imported.map").string();

    // Not square, hills and valleys reaching both height limits and below
    // the water, patches of all three grounds.
    const int w = 70, h = 45;
    {
        TerrainModel map(nullptr, w, h);
        for (int x = 0; x <= w; ++x)
            for (int y = 0; y <= h; ++y) {
                TerrainVertex& v = map.columns[x][y];
                const float wave = std::sin(x * 0.21f) * std::cos(y * 0.17f + 0.4f);
                v.height = std::max(map.minHeight, std::min(map.maxHeight, -0.25f + 2.2f * wave));
                const float g = std::sin(x * 0.13f + 1.0f) + std::cos(y * 0.29f);
                v.ground = g > 0.7f ? 's' : (g < -0.5f ? 'w' : 'e');
            }
        map.columns[3][5].height = map.minHeight;
        map.columns[4][5].height = map.maxHeight;
        ASSERT_TRUE(WriteMapFile(edited.c_str(), map));
    }
    ASSERT_EQ(RunTool("export '" + edited + "' '" + heights + "' --ground '" + ground + "'"), 0);
    ASSERT_EQ(RunTool("import '" + heights + "' '" + imported + "' --ground '" + ground + "'"), 0);

    ASSERT_TRUE(testeditor::Start(2));
    ASSERT_TRUE(LoadTextureCatalogue());
    ASSERT_TRUE(InitGLState());
    ASSERT_GT(gTerrain->groundTextureCount, 0);
    TerrainModel original(nullptr, 0, 0);
    ASSERT_TRUE(ReadMapFile(edited.c_str(), original));
    ASSERT_TRUE(ReadMapFile(imported.c_str(), *gTerrain));
    TerrainModel& map = *gTerrain;
    ASSERT_EQ(map.width, w);
    ASSERT_EQ(map.height, h);

    const float step = (map.maxHeight - map.minHeight) / 65535.0f;
    for (int x = 0; x <= w; ++x)
        for (int y = 0; y <= h; ++y) {
            const TerrainVertex& was = original.columns[x][y];
            TerrainVertex& now = map.columns[x][y];
            ASSERT_NEAR(now.height, was.height, step) << x << "," << y;
            ASSERT_EQ(now.ground, was.ground) << x << "," << y;
            // Lit as the editor lights it.
            const TerrainVertex stored = now;
            map.RelightVertex(x, y);
            ASSERT_EQ(std::memcmp(stored.normal, now.normal, sizeof now.normal + sizeof now.colour), 0)
                << x << "," << y;
        }

    // Every block shows a ground texture of this editor whose code has the
    // block's letters.
    for (int x0 = 0; x0 < w; x0 += 2)
        for (int y0 = 0; y0 < h; y0 += 2) {
            const std::string pattern = {map.columns[x0][y0 + 1].ground,
                                         map.columns[x0 + 1][y0 + 1].ground,
                                         map.columns[x0][y0].ground, map.columns[x0 + 1][y0].ground};
            std::set<uint32_t> fitting;
            for (int t = 0; t < map.groundTextureCount; ++t) {
                const TextureRecord& record = map.groundTextures[t];
                if (record.name && std::strlen(record.name) >= 4 &&
                    Sorted(std::string(record.name, 4)) == Sorted(pattern))
                    fitting.insert(record.glName);
            }
            if (fitting.empty()) continue;  // the pack has no tile for it
            const uint32_t shown = map.columns[x0][y0].tileTexture;
            EXPECT_TRUE(fitting.count(shown)) << pattern << " at " << x0 << "," << y0 << ": " << shown;
            EXPECT_NE(shown, 0u);
        }

    // The editor's frame over the imported map: textured, lit ground.
    glClearColor(0.2f, 0.4f, 0.6f, 0.5f);
    ViewOffsetX = 4.0f;
    ViewOffsetY = 2.0f;
    ASSERT_TRUE(FrameUpdate());
    std::vector<unsigned char> pixels(size_t(testeditor::kWidth) * testeditor::kHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, testeditor::kWidth, testeditor::kHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    std::set<uint32_t> colours;
    size_t groundPixels = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        const unsigned char* p = &pixels[i];
        const bool cleared = std::abs(p[0] - 51) <= 1 && std::abs(p[1] - 102) <= 1 &&
                             std::abs(p[2] - 153) <= 1;
        if (cleared) continue;
        ++groundPixels;
        colours.insert(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
    }
    EXPECT_GT(groundPixels, pixels.size() / 4 / 3);
    EXPECT_GT(colours.size(), 500u);  // textures and shading, not flat fills

    testeditor::Stop();
    fs::remove_all(dir);
}

// A preview of a map with more cells than the picture has pixels draws a
// sampled grid: every sampled vertex is the map's own record, byte for byte
// as the editor's reader gives it, every second column and third row here;
// records a cut file lacks keep their initial values.
TEST(MapConvertTest, SampledGridHoldsTheMapsOwnRecords) {
    const fs::path dir = fs::temp_directory_path() / ("mapconvert_sample_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "random.map").string(), cut = (dir / "cut.map").string();
    TerrainModel map(nullptr, 40, 24);
    std::mt19937 rng(5);
    for (int x = 0; x <= map.width; ++x)
        for (int y = 0; y <= map.height; ++y) {
            auto* bytes = reinterpret_cast<uint8_t*>(&map.columns[x][y]);
            for (size_t i = 0; i < sizeof(TerrainVertex); ++i) bytes[i] = uint8_t(rng());
        }
    ASSERT_TRUE(WriteMapFile(path.c_str(), map));
    fs::copy_file(path, cut);
    fs::resize_file(cut, 8 + 68 * (41 * 12 + 5) + 30);  // in row 12, after five records

    const TerrainModel fresh(nullptr, 1, 1);
    for (const std::string& file : {path, cut}) {
        MapFacts header;
        std::string error;
        TerrainModel sampled(nullptr, 1, 1);
        ASSERT_TRUE(ReadMapHeader(file, &header, &error)) << error;
        ASSERT_TRUE(ReadSampledMap(file, header, 20, 8, sampled, &error)) << error;
        ASSERT_EQ(sampled.width, 20);
        ASSERT_EQ(sampled.height, 8);
        EXPECT_FLOAT_EQ(sampled.spacing, 2 * fresh.spacing);
        for (int i = 0; i <= 20; ++i)
            for (int j = 0; j <= 8; ++j) {
                const bool present = file == path || 3 * j < 12 || (3 * j == 12 && 2 * i < 5);
                const TerrainVertex& want = present ? map.columns[2 * i][3 * j] : fresh.columns[0][0];
                ASSERT_EQ(std::memcmp(&sampled.columns[i][j], &want, sizeof want), 0)
                    << file << " " << i << "," << j;
            }
    }
    fs::remove_all(dir);
}
