// Tests of the terrain grid: the 68-byte vertex record, construction,
// resizing and the refusal of sizes that cannot be held.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <string>

#ifdef __linux__
#include <sys/resource.h>
#endif
#include <unistd.h>

#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "terrain/TerrainModel.h"

namespace {

uint32_t ReadU32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

float ReadF32(const unsigned char* p) {
    const uint32_t bits = ReadU32(p);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

// Every vertex of the grid is fresh: earth, height 0, all other bytes zero.
void ExpectFreshGrid(const TerrainModel& model, int width, int height) {
    ASSERT_EQ(model.width, width);
    ASSERT_EQ(model.height, height);
    ASSERT_NE(model.columns, nullptr);
    TerrainVertex fresh;
    std::memset(&fresh, 0, sizeof fresh);
    fresh.ground = 'e';
    fresh.height = 0.0f;
    for (int x = 0; x <= width; ++x) {
        ASSERT_NE(model.columns[x], nullptr) << "column " << x;
        for (int y = 0; y <= height; ++y)
            ASSERT_EQ(std::memcmp(&model.columns[x][y], &fresh, sizeof fresh), 0)
                << "vertex " << x << ", " << y;
    }
}

void Scribble(TerrainModel& model) {
    for (int x = 0; x <= model.width; ++x)
        for (int y = 0; y <= model.height; ++y) {
            model.columns[x][y].ground = 's';
            model.columns[x][y].height = 0.25f * float(x + y);
            model.columns[x][y].tileTexture = 77;
        }
}

void ExpectScribbled(const TerrainModel& model, int width, int height) {
    ASSERT_EQ(model.width, width);
    ASSERT_EQ(model.height, height);
    for (int x = 0; x <= width; ++x)
        for (int y = 0; y <= height; ++y) {
            ASSERT_EQ(model.columns[x][y].ground, 's');
            ASSERT_EQ(model.columns[x][y].height, 0.25f * float(x + y));
            ASSERT_EQ(model.columns[x][y].tileTexture, 77u);
        }
}

}  // namespace

TEST(TerrainVertexTest, RecordIsTheSixtyEightMapBytes) {
    TerrainVertex v;
    std::memset(&v, 0, sizeof v);
    v.ground = 'w';
    v.tileTexture = 0x01020304u;
    for (int k = 0; k < 4; ++k) {
        v.tileU[k] = 0.5f * k;
        v.tileV[k] = -0.25f * k;
    }
    v.height = -1.75f;
    v.normal[0] = 0.6f;
    v.normal[1] = -0.8f;
    v.normal[2] = 0.125f;
    v.colour[0] = 0.1f;
    v.colour[1] = 0.2f;
    v.colour[2] = 0.3f;

    // Through a real file, as a map record travels.
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(&v, 1, sizeof v, file), 68u);
    std::rewind(file);
    unsigned char bytes[80];
    ASSERT_EQ(std::fread(bytes, 1, sizeof bytes, file), 68u);
    std::fclose(file);

    EXPECT_EQ(bytes[0], 'w');
    EXPECT_EQ(ReadU32(bytes + 4), 0x01020304u);
    EXPECT_EQ(bytes[4], 0x04);  // little-endian
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(ReadF32(bytes + 8 + 4 * k), 0.5f * k);
        EXPECT_EQ(ReadF32(bytes + 24 + 4 * k), -0.25f * k);
    }
    EXPECT_EQ(ReadF32(bytes + 40), -1.75f);
    EXPECT_EQ(ReadF32(bytes + 44), 0.6f);
    EXPECT_EQ(ReadF32(bytes + 48), -0.8f);
    EXPECT_EQ(ReadF32(bytes + 52), 0.125f);
    EXPECT_EQ(ReadF32(bytes + 56), 0.1f);
    EXPECT_EQ(ReadF32(bytes + 60), 0.2f);
    EXPECT_EQ(ReadF32(bytes + 64), 0.3f);

    TerrainVertex back;
    std::memcpy(&back, bytes, 68);
    EXPECT_EQ(std::memcmp(&back, &v, 68), 0);
}

TEST(TerrainModelTest, NewModelHasFreshGridConstantsAndLight) {
    TerrainModel model(nullptr, 256, 256);
    EXPECT_EQ(model.owner, nullptr);
    ExpectFreshGrid(model, 256, 256);
    EXPECT_EQ(model.spacing, 0.3f);
    EXPECT_EQ(model.minHeight, -2.0f);
    EXPECT_EQ(model.maxHeight, 1.5f);
    EXPECT_EQ(model.waterLevel, -1.0f);
    EXPECT_EQ(model.groundTextureCount, 0);
    EXPECT_EQ(model.groundTextures[0].name, nullptr);
    EXPECT_EQ(model.groundTextures[255].glName, 0u);

    const Vector4& d = model.light.direction;
    EXPECT_NEAR(std::sqrt(double(d.x) * d.x + double(d.y) * d.y + double(d.z) * d.z), 1.0, 1e-7);
    EXPECT_FLOAT_EQ(d.x, -2.0f / 3.0f);
    EXPECT_FLOAT_EQ(d.y, 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(d.z, 1.0f / 3.0f);
    EXPECT_EQ(d.w, 1.0f);
    EXPECT_TRUE(model.light.distant);
    EXPECT_EQ(model.light.ambient, 0.3f);
    EXPECT_EQ(model.light.diffuse, 1.0f);
}

TEST(TerrainModelTest, ResizeGivesAFreshGridOfTheNewSize) {
    TerrainModel model(nullptr, 8, 8);
    Scribble(model);
    ASSERT_TRUE(model.Resize(8, 8));  // same size still resets every vertex
    ExpectFreshGrid(model, 8, 8);

    Scribble(model);
    ASSERT_TRUE(model.Resize(10, 20));
    ExpectFreshGrid(model, 10, 20);  // 11 columns of 21 vertices

    ASSERT_TRUE(model.Resize(0, 0));  // one vertex, no cells
    ExpectFreshGrid(model, 0, 0);
    ASSERT_TRUE(model.Resize(3, 1));
    ExpectFreshGrid(model, 3, 1);
}

TEST(TerrainModelTest, RefusedResizeKeepsTheOldGrid) {
    TerrainModel model(nullptr, 5, 7);
    Scribble(model);
    EXPECT_FALSE(model.Resize(-1, 7));
    EXPECT_FALSE(model.Resize(5, -1));
    EXPECT_FALSE(model.Resize(-2147483647 - 1, -2147483647 - 1));
    EXPECT_FALSE(model.Resize(2147483647, 2147483647));  // (w + 1) overflows an int
    EXPECT_FALSE(model.Resize(65536, 1));                // cell ids would collide
    EXPECT_FALSE(model.Resize(1, 65536));
    EXPECT_FALSE(model.Resize(65535, 65535));            // about 290 GB
    ExpectScribbled(model, 5, 7);
    ASSERT_TRUE(model.Resize(2, 2));  // and it still resizes afterwards
    ExpectFreshGrid(model, 2, 2);
}

TEST(TerrainModelTest, ConstructorWithAnImpossibleSizeMakesAnEmptyGrid) {
    TerrainModel negative(nullptr, -3, 4);
    ExpectFreshGrid(negative, 0, 0);
    TerrainModel huge(nullptr, 65535, 65535);
    ExpectFreshGrid(huge, 0, 0);
    ASSERT_TRUE(huge.Resize(4, 4));
    ExpectFreshGrid(huge, 4, 4);
}

// The ground list is read from textures/ground/_ground.txt below the working
// directory, into the model's own records, at most 256 of them.
TEST(TerrainModelTest, LoadsTheGroundListIntoItsRecords) {
    char folder[] = "/tmp/terrain-ground-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder), 0);

    headless::Reset();
    OpenGLFullscreen* window = new OpenGLFullscreen(1280, 1024);
    ASSERT_TRUE(window->IsCreated());
    TerrainModel model(window, 4, 4);
    model.LoadGroundTextures();  // no list file yet
    EXPECT_EQ(model.groundTextureCount, 0);
    EXPECT_EQ(headless::MessageBoxes().size(), 1u);

    ASSERT_EQ(std::system("mkdir -p textures/ground"), 0);
    std::FILE* list = std::fopen("textures/ground/_ground.txt", "w");
    ASSERT_NE(list, nullptr);
    std::fputs("ewws_first\n\n", list);  // the empty line is an entry too
    for (int i = 2; i < 300; ++i) std::fprintf(list, "eeee_%d\n", i);
    std::fclose(list);
    model.LoadGroundTextures();
    EXPECT_EQ(model.groundTextureCount, 256);
    EXPECT_STREQ(model.groundTextures[0].name, "ewws_first");
    EXPECT_STREQ(model.groundTextures[1].name, "");
    EXPECT_STREQ(model.groundTextures[255].name, "eeee_255");
    EXPECT_EQ(window->FindTexture("eeee_7"), &model.groundTextures[7]);
    EXPECT_EQ(window->FindTexture("eeee_256"), nullptr);

    delete window;  // the registry points into the model: window first
    ASSERT_EQ(chdir(previous), 0);
    std::string cleanup = std::string("rm -rf ") + folder;
    EXPECT_EQ(std::system(cleanup.c_str()), 0);
}

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// The heap runs out part way through a grid within the size rule: Resize
// refuses, frees what it got and keeps the old grid. Runs in a child process
// whose address space is capped a little above what it already uses.
TEST(TerrainModelDeathTest, HeapExhaustionKeepsTheOldGrid) {
    auto body = [] {
        TerrainModel model(nullptr, 4, 4);
        Scribble(model);
        long pages = 0;
        if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
            std::fclose(statm);
        }
        if (pages <= 0) std::exit(3);
        const rlim_t cap = rlim_t(pages) * 4096 + (rlim_t(64) << 20);
        const rlimit limit = {cap, cap};
        if (setrlimit(RLIMIT_AS, &limit) != 0) std::exit(4);
        // 3001 x 3001 vertices are about 612 MB: within the size rule, far
        // beyond the cap.
        if (model.Resize(3000, 3000)) std::exit(5);
        ExpectScribbled(model, 4, 4);
        if (::testing::Test::HasFailure()) std::exit(6);
        if (!model.Resize(6, 6) || model.columns[6][6].ground != 'e') std::exit(7);
        std::exit(0);
    };
    EXPECT_EXIT(body(), ::testing::ExitedWithCode(0), "");
}
#endif
