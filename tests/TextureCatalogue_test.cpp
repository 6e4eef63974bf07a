// Tests of the texture catalogue: load order and names of the 25 records, the
// shared menu sheet, the ground list into the terrain, and the editor's start
// with an empty "textures/" directory. Each test runs in its own scratch
// directory with files written by the test. One more test, skipped when the
// build has no texture pack, loads the real pack and prints how long the
// whole catalogue load and upload took (information only, nothing asserted
// about the time).
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/Editor.h"
#include "app/TextureCatalogue.h"
#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "support/TextureTestFiles.h"
#include "terrain/TerrainModel.h"

namespace {

const char* const kNames[kCatalogueTextureCount] = {
    "menue",           "menue_tool_load",    "menue_tool_save",      "groups_erde",
    "groups_wiese",    "groups_schnee",      "menue_tool_raise",     "menue_tool_lower",
    "menue_tool_plateau", "menue_tool_smooth", "menue_size2",        "menue_size4",
    "menue_size6",     "menue_size8",        "water",                "pflanze",
    "nadelbaum",       "nadelbaum_stamm",    "fachwerk",             "strohdach",
    "wasserturm_holzseite", "wasserturm_dach", "wasserturm_holz",    "bauer_kopf",
    "game_cursor"};

class TextureCatalogueTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.Ok());
        std::filesystem::create_directories("textures/ground");
        std::filesystem::create_directories("textures/menue");
        headless::Reset();
        gWindow = new OpenGLFullscreen(1280, 1024);
        ASSERT_TRUE(gWindow->IsCreated());
        gTerrain = new TerrainModel(gWindow, 4, 4);
    }
    // The editor's teardown order: the terrain (holding the ground records)
    // ends before the window.
    void TearDown() override {
        delete gTerrain;
        gTerrain = nullptr;
        delete gWindow;
        gWindow = nullptr;
    }

    ScratchDirectory scratch;
};

TEST_F(TextureCatalogueTest, EmptyTextureDirectoryStillSucceeds) {
    std::filesystem::remove_all("textures/ground");
    std::filesystem::remove_all("textures/menue");
    EXPECT_TRUE(LoadTextureCatalogue());

    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "TexturFile kann nicht geöffnet werden.");
    EXPECT_EQ(headless::MessageBoxes()[0].title, "Fehler");
    EXPECT_EQ(gTerrain->groundTextureCount, 0);
    ASSERT_EQ(gWindow->textureCount, kCatalogueTextureCount);
    for (int i = 0; i < kCatalogueTextureCount; ++i) {
        EXPECT_STREQ(gWindow->textures[i]->name, kNames[i]) << i;
        EXPECT_EQ(gWindow->textures[i]->glName, 0u) << i;
    }
    EXPECT_EQ(gWindow->FindTexture("game_cursor"), &gTexGameCursor);
    EXPECT_EQ(gWindow->FindTexture("water"), &gTexWater);
    EXPECT_EQ(gWindow->FindTexture("menue"), &gTexMenue);
    EXPECT_EQ(gWindow->tileCount, 0);

    // Sources, filters, wraps and rectangles of a few entries.
    EXPECT_STREQ(gTexGameCursor.path, "textures/cursor/cursor_wood");
    EXPECT_EQ(gTexGameCursor.regionY, 192);
    EXPECT_EQ(gTexGameCursor.regionWidth, 64);
    EXPECT_EQ(gTexGameCursor.regionHeight, 64);
    EXPECT_STREQ(gTexFachwerk.path, "textures/fachwerk_alt");
    EXPECT_STREQ(gTexPflanze.path, "textures/pflanze_klein");
    EXPECT_EQ(gTexPflanze.minFilter, static_cast<uint32_t>(GL_NEAREST));
    EXPECT_EQ(gTexPflanze.magFilter, static_cast<uint32_t>(GL_LINEAR));
    EXPECT_EQ(gTexNadelbaumStamm.wrap, static_cast<uint32_t>(GL_MIRRORED_REPEAT));
    EXPECT_EQ(gTexWater.wrap, static_cast<uint32_t>(GL_REPEAT));
    EXPECT_EQ(gTexMenue.regionWidth, 0);
    EXPECT_EQ(gTexMenueSize2.regionX, 144);
    EXPECT_EQ(gTexMenueSize2.regionY, 160);
    EXPECT_EQ(gTexMenueSize8.regionX, 0);
    EXPECT_EQ(gTexGroupsSchnee.regionX, 96);
    EXPECT_EQ(gTexGroupsSchnee.regionY, 208);
    EXPECT_EQ(gTexMenueToolSmooth.regionX, 144);
    EXPECT_EQ(gTexMenueToolSmooth.regionY, 112);
}

TEST_F(TextureCatalogueTest, MenuSheetIsReadOnceForThirteenRecords) {
    ASSERT_TRUE(WriteBmp24("textures/menue/groups.bmp", SolidPicture(256, 256, {10, 20, 30})));
    ASSERT_TRUE(WriteBmp24("textures/menue/menue.bmp", SolidPicture(128, 512, {1, 2, 3})));
    ASSERT_TRUE(WriteBmp24("textures/water.bmp", SolidPicture(64, 64, {0, 0, 200})));
    ASSERT_TRUE(WriteTextFile("textures/ground/_ground.txt", "eeee_1\nwwww_1\n"));
    ASSERT_TRUE(WriteBmp24("textures/ground/eeee_1.bmp", SolidPicture(64, 64, {90, 60, 30})));
    EXPECT_TRUE(LoadTextureCatalogue());

    EXPECT_STREQ(gTexMenueToolLoad.path, "textures/menue/groups");
    EXPECT_EQ(gTexMenueToolLoad.sharedFrom, nullptr);
    ASSERT_NE(gTexMenueToolLoad.glName, 0u);
    TextureRecord* sharing[] = {&gTexMenueToolSave, &gTexGroupsErde, &gTexGroupsWiese,
                                &gTexGroupsSchnee, &gTexMenueToolRaise, &gTexMenueToolLower,
                                &gTexMenueToolPlateau, &gTexMenueToolSmooth, &gTexMenueSize2,
                                &gTexMenueSize4, &gTexMenueSize6, &gTexMenueSize8};
    for (TextureRecord* record : sharing) {
        EXPECT_EQ(record->sharedFrom, &gTexMenueToolLoad) << record->name;
        EXPECT_EQ(record->path, nullptr) << record->name;
        EXPECT_EQ(record->tiles, gTexMenueToolLoad.tiles) << record->name;
        EXPECT_EQ(record->glName, gTexMenueToolLoad.glName) << record->name;
        EXPECT_EQ(record->regionWidth, 48) << record->name;
    }
    // Tiles: menue 2 (128 x 512), the sheet once, water 1, ground 1.
    EXPECT_EQ(gWindow->tileCount, 5);
    // Names in registration order: the ground tile comes after every
    // catalogue tile.
    EXPECT_EQ(gTexMenue.tiles[0].glName, gWindow->tileNames[0]);
    EXPECT_EQ(gTexMenueToolLoad.glName, gWindow->tileNames[2]);
    EXPECT_EQ(gTexWater.glName, gWindow->tileNames[3]);
    EXPECT_EQ(gTerrain->groundTextureCount, 2);
    EXPECT_EQ(gTerrain->groundTextures[0].glName, gWindow->tileNames[4]);
    EXPECT_EQ(gTerrain->groundTextures[1].glName, 0u);
    EXPECT_STREQ(gTerrain->groundTextures[1].name, "wwww_1");
    EXPECT_EQ(gWindow->FindTexture("eeee_1"), &gTerrain->groundTextures[0]);
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST_F(TextureCatalogueTest, GroundListLoadsAtMost256Entries) {
    std::string list;
    for (int i = 0; i < 300; ++i) list += (i % 2 ? "wwww_" : "eeee_") + std::to_string(i) + "\n";
    ASSERT_TRUE(WriteTextFile("textures/ground/_ground.txt", list));
    ASSERT_TRUE(WriteBmp24("textures/ground/eeee_254.bmp", SolidPicture(32, 32, {5, 5, 5})));
    ASSERT_TRUE(WriteBmp24("textures/ground/eeee_256.bmp", SolidPicture(32, 32, {6, 6, 6})));
    EXPECT_TRUE(LoadTextureCatalogue());

    EXPECT_EQ(gTerrain->groundTextureCount, 256);
    EXPECT_EQ(gWindow->textureCount, kCatalogueTextureCount + 256);
    EXPECT_STREQ(gTerrain->groundTextures[255].name, "wwww_255");
    EXPECT_STREQ(gTerrain->groundTextures[0].path, "textures/ground/eeee_0");
    EXPECT_NE(gTerrain->groundTextures[254].glName, 0u);
    EXPECT_EQ(gWindow->tileCount, 1);  // line 256 is past the maximum
    EXPECT_EQ(gWindow->FindTexture("eeee_256"), nullptr);
}

// The real texture pack of the build folder, when it has been generated.
TEST(TextureCataloguePack, RealPackLoadsCompletely) {
    const std::filesystem::path pack = std::filesystem::current_path() / "textures";
    if (!std::filesystem::exists(pack / "ground" / "_ground.txt")) {
        GTEST_SKIP() << "no texture pack in " << pack << " (build target texture_pack)";
    }
    const std::filesystem::path previous = std::filesystem::current_path();
    headless::Reset();
    gWindow = new OpenGLFullscreen(1280, 1024);
    ASSERT_TRUE(gWindow->IsCreated());
    gTerrain = new TerrainModel(gWindow, 4, 4);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(LoadTextureCatalogue());
    glFinish();
    const auto end = std::chrono::steady_clock::now();
    std::printf("catalogue load and upload: %.1f ms (%d records, %d tiles)\n",
                std::chrono::duration<double, std::milli>(end - start).count(),
                gWindow->textureCount, gWindow->tileCount);

    EXPECT_TRUE(headless::MessageBoxes().empty());
    for (int i = 0; i < kCatalogueTextureCount; ++i) {
        EXPECT_GT(gWindow->textures[i]->tileColumns * gWindow->textures[i]->tileRows, 0)
            << gWindow->textures[i]->name;
    }
    EXPECT_EQ(gTexMenueSize8.sharedFrom, &gTexMenueToolLoad);
    EXPECT_GT(gTerrain->groundTextureCount, 0);
    for (int i = 0; i < gTerrain->groundTextureCount; ++i) {
        EXPECT_NE(gTerrain->groundTextures[i].glName, 0u) << gTerrain->groundTextures[i].name;
    }
    delete gTerrain;
    gTerrain = nullptr;
    delete gWindow;
    gWindow = nullptr;
    std::filesystem::current_path(previous);
}

}  // namespace
