// Tests of the tool menu. The hit-test tests build the editor's own menu with
// BuildMenu over a catalogue loaded from an empty "textures/" directory (every
// record registered, none with a picture, so the cells still answer) and
// drive the window's polled mouse state directly; sentinel values in the
// three tool settings show whether an action ran. The drawing tests use
// small pictures written by the test and read the headless framebuffer back.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/Editor.h"
#include "app/TextureCatalogue.h"
#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "menu/Menue.h"
#include "platform/HeadlessControl.h"
#include "support/TextureTestFiles.h"
#include "terrain/TerrainModel.h"
#include "terrain/TerrainTools.h"

namespace {

constexpr int kW = 1280;
constexpr int kH = 1024;

// Values no action ever writes.
constexpr int kNoMode = 99;
constexpr int kNoSize = 99;
constexpr char kNoGround = 'x';

class MenueUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.Ok());
        std::filesystem::create_directories("textures");
        headless::Reset();
        gWindow = new OpenGLFullscreen(kW, kH);
        ASSERT_TRUE(gWindow->IsCreated());
        gTerrain = new TerrainModel(gWindow, 4, 4);
        ASSERT_TRUE(LoadTextureCatalogue());
        ASSERT_TRUE(BuildMenu());
        ASSERT_NE(gMenu, nullptr);
        buttonWasDown = false;
        Forget();
    }
    void TearDown() override {
        delete gMenu;
        gMenu = nullptr;
        delete gTerrain;
        gTerrain = nullptr;
        delete gWindow;
        gWindow = nullptr;
    }

    static void Forget() {
        gEditMode = kNoMode;
        gBrushSize = kNoSize;
        gCurrentGround = kNoGround;
    }
    static bool NothingCalled() {
        return gEditMode == kNoMode && gBrushSize == kNoSize && gCurrentGround == kNoGround;
    }

    // One pass of the main loop with the mouse at window pixel (x, y).
    static void Pass(int x, int y, bool down) {
        gWindow->mouseX = x;
        gWindow->mouseY = y;
        gWindow->leftButton = down ? 1 : 0;
        gMenu->Update();
    }
    // Press and release at one place.
    static void Click(int x, int y) {
        Pass(x, y, true);
        Pass(x, y, false);
    }
    // Window y of the screen row y (y upward from the bottom).
    static int WindowY(int screenY) { return kH - 1 - screenY; }

    ScratchDirectory scratch;
};

// Every cell of the editor's menu, pressed in its middle: its icon record and
// what it sets. Empty cells call nothing.
TEST_F(MenueUpdateTest, EveryCellHasItsIconAndAction) {
    struct Expected {
        TextureRecord* texture;
        int mode, size;
        char ground;
    };
    const Expected table[kMenuItemCount] = {
        {&gTexMenueToolLoad, 1, kNoSize, kNoGround},
        {&gTexMenueToolSave, 2, kNoSize, kNoGround},
        {nullptr, kNoMode, kNoSize, kNoGround},
        {nullptr, kNoMode, kNoSize, kNoGround},
        {&gTexGroupsErde, 3, kNoSize, 'e'},
        {&gTexGroupsWiese, 3, kNoSize, 'w'},
        {&gTexGroupsSchnee, 3, kNoSize, 's'},
        {nullptr, kNoMode, kNoSize, kNoGround},
        {&gTexMenueToolRaise, 4, kNoSize, kNoGround},
        {&gTexMenueToolLower, 5, kNoSize, kNoGround},
        {&gTexMenueToolPlateau, 6, kNoSize, kNoGround},
        {&gTexMenueToolSmooth, 7, kNoSize, kNoGround},
        {&gTexMenueSize2, kNoMode, 2, kNoGround},
        {&gTexMenueSize4, kNoMode, 4, kNoGround},
        {&gTexMenueSize6, kNoMode, 6, kNoGround},
        {&gTexMenueSize8, kNoMode, 8, kNoGround},
    };
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            const int index = 4 * row + column;
            SCOPED_TRACE("row " + std::to_string(row) + " column " + std::to_string(column));
            EXPECT_EQ(gMenu->items[index].texture, table[index].texture);
            Forget();
            Click(1026 + 60 * column + 30, WindowY(17 + 60 * (3 - row) + 30));
            EXPECT_EQ(gEditMode, table[index].mode);
            EXPECT_EQ(gBrushSize, table[index].size);
            EXPECT_EQ(gCurrentGround, table[index].ground);
        }
    }
    EXPECT_EQ(gMenu->items[5].argument, 119);
    EXPECT_EQ(gMenu->background, &gTexMenue);
    EXPECT_EQ(gMenu->backgroundX, 0);
    EXPECT_EQ(gMenu->backgroundY, 0);
}

TEST_F(MenueUpdateTest, MouseRowsCountFromTheTopAndGridEdgesAreHalfOpen) {
    // Window y 1003 is screen row 20: the bottom row, brush size 2.
    Click(1030, 1003);
    EXPECT_EQ(gBrushSize, 2);
    // Window y 20 is screen row 1003, far above the grid.
    Forget();
    Click(1030, 20);
    EXPECT_TRUE(NothingCalled());

    // Last pixel of column 0 and first of column 1 in the top row.
    Forget();
    Click(1085, WindowY(200));
    EXPECT_EQ(gEditMode, 1);
    Click(1086, WindowY(200));
    EXPECT_EQ(gEditMode, 2);

    // Left and bottom edges belong to the grid, right and top do not.
    Forget();
    Click(1265, WindowY(17));
    EXPECT_EQ(gBrushSize, 8);
    Forget();
    Click(1026, WindowY(256));
    EXPECT_EQ(gEditMode, 1);
    Forget();
    Click(1266, WindowY(20));
    Click(1025, WindowY(20));
    Click(1030, WindowY(16));
    Click(1030, WindowY(257));
    EXPECT_TRUE(NothingCalled());
}

TEST_F(MenueUpdateTest, GroundOverridesAHeightToolAndSaveReplacesTheTool) {
    gEditMode = 4;
    Click(1026 + 60 + 5, WindowY(137 + 5));  // groups_wiese
    EXPECT_EQ(static_cast<int>(gCurrentGround), 119);
    EXPECT_EQ(gEditMode, 3);
    Click(1086 + 5, WindowY(197 + 5));  // menue_tool_save
    EXPECT_EQ(gEditMode, 2);
    EXPECT_EQ(static_cast<int>(gCurrentGround), 119);
}

int gCalls = 0;
int gLastArgument = 0;
void CountCall(int argument) {
    ++gCalls;
    gLastArgument = argument;
}

TEST_F(MenueUpdateTest, OnlyAFreshPressInsideTheGridCalls) {
    // Holding the button on the load cell calls once; a new press calls again.
    MenuItem items[kMenuItemCount] = {};
    for (int i = 0; i < kMenuItemCount; ++i) items[i] = gMenu->items[i];
    items[0].action = CountCall;
    items[0].argument = 41;
    gMenu->SetItems(items);
    const int loadX = 1030, loadY = WindowY(200);
    gCalls = 0;
    for (int pass = 0; pass < 5; ++pass) Pass(loadX, loadY, true);
    EXPECT_EQ(gCalls, 1);
    EXPECT_EQ(gLastArgument, 41);
    Pass(loadX, loadY, false);
    Pass(loadX, loadY, true);
    EXPECT_EQ(gCalls, 2);
    Pass(loadX, loadY, false);

    // A press on the empty cell (0, 2) that slides onto the load cell.
    Pass(1150, loadY, true);
    Pass(1100, loadY, true);
    Pass(loadX, loadY, true);
    Pass(loadX, loadY, false);
    // A press above the grid that slides onto it.
    Pass(loadX, WindowY(400), true);
    Pass(loadX, loadY, true);
    Pass(loadX, loadY, false);
    EXPECT_EQ(gCalls, 2);
}

TEST_F(MenueUpdateTest, ItemsWithoutIconOrActionAndZeroPitchCallNothing) {
    MenuItem items[kMenuItemCount] = {};
    items[12] = {nullptr, CountCall, 1};      // action without icon
    items[13] = {&gTexMenueSize4, nullptr, 2};  // icon without action
    gMenu->SetItems(items);
    gCalls = 0;
    Click(1030, WindowY(20));
    Click(1090, WindowY(20));
    EXPECT_EQ(gCalls, 0);

    // A menu without a cell pitch has no cells to hit.
    items[12].texture = &gTexMenueSize2;
    gMenu->SetItems(items);
    gMenu->SetCellSpacing(0, 60);
    Click(1030, WindowY(20));
    gMenu->SetCellSpacing(60, 0);
    Click(1030, WindowY(20));
    EXPECT_EQ(gCalls, 0);
    gMenu->SetCellSpacing(60, 60);
    Click(1030, WindowY(20));
    EXPECT_EQ(gCalls, 1);
}

// ---- Drawing ----

PixelColour IconA(int x, int y) { return {static_cast<uint8_t>(4 * x + 20), static_cast<uint8_t>(4 * y + 20), 10}; }
PixelColour IconB(int x, int y) { return {30, static_cast<uint8_t>(4 * x + 20), static_cast<uint8_t>(4 * y + 20)}; }
const PixelColour kBackground = {200, 100, 50};

class MenueDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.Ok());
        headless::Reset();
        gWindow = new OpenGLFullscreen(kW, kH);
        ASSERT_TRUE(gWindow->IsCreated());
        GLint red = 0, green = 0, blue = 0;
        glGetIntegerv(GL_RED_BITS, &red);
        glGetIntegerv(GL_GREEN_BITS, &green);
        glGetIntegerv(GL_BLUE_BITS, &blue);
        ASSERT_TRUE(red >= 8 && green >= 8 && blue >= 8) << "exact colours need 8 bits";

        // Background 100 x 40: its alpha bitmap (an inverted mask, black
        // opaque, white transparent) keeps only the left half.
        ASSERT_TRUE(WriteBmp24("bg.bmp", SolidPicture(100, 40, kBackground)));
        ASSERT_TRUE(WriteBmp24("bg_alpha.bmp", MakePicture(100, 40, [](int x, int) {
                                   const uint8_t a = x < 50 ? 0 : 255;
                                   return PixelColour{a, a, a};
                               })));
        // Icons with an all-transparent alpha bitmap: only an alpha test that
        // is off lets them through.
        const TestPicture clear = SolidPicture(48, 48, {255, 255, 255});
        ASSERT_TRUE(WriteBmp24("a.bmp", MakePicture(48, 48, IconA)));
        ASSERT_TRUE(WriteBmp24("a_alpha.bmp", clear));
        ASSERT_TRUE(WriteBmp24("b.bmp", MakePicture(48, 48, IconB)));
        ASSERT_TRUE(WriteBmp24("b_alpha.bmp", clear));
        gWindow->LoadTexture(&bg, "bg", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, "bg");
        gWindow->LoadTexture(&a, "a", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, "a");
        gWindow->LoadTexture(&b, "b", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, "b");
        gWindow->UploadTextures();
        ASSERT_EQ(a.format, static_cast<uint32_t>(GL_RGBA));

        // The overlay state the frame update leaves for the menu.
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_BLEND);
        glDisable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glColor3f(1.0f, 1.0f, 1.0f);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.4f);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);

        menu = new GameMenue(&bg, gWindow);
        menu->SetBackgroundPosition(0, 0);
        menu->SetGrid(1026, 257, 1266, 17);
        menu->SetCellSpacing(60, 60);
    }
    void TearDown() override {
        delete menu;
        delete gWindow;
        gWindow = nullptr;
    }

    PixelColour Read(int x, int y) {
        uint8_t p[4] = {};
        glFinish();
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2]};
    }
    // Counts the pixels of the 48 x 48 square at (x, y) that differ from the
    // picture.
    int WrongPixels(int x, int y, PixelColour (*picture)(int, int)) {
        int wrong = 0;
        for (int j = 0; j < 48; ++j)
            for (int i = 0; i < 48; ++i) wrong += Read(x + i, y + j) != picture(i, j);
        return wrong;
    }

    ScratchDirectory scratch;
    TextureRecord bg = {}, a = {}, b = {};
    GameMenue* menu = nullptr;
};

TEST_F(MenueDrawTest, IconsLandOpaqueAtTheirCellsOverTheCutBackground) {
    MenuItem items[kMenuItemCount] = {};
    items[12].texture = &a;  // row 3, column 0
    items[3].texture = &b;   // row 0, column 3
    menu->SetItems(items);
    menu->Draw();

    EXPECT_EQ(WrongPixels(1026, 17, IconA), 0);
    EXPECT_EQ(WrongPixels(1206, 197, IconB), 0);
    // The free margin right of and above an icon stays clear.
    EXPECT_EQ(Read(1026 + 48, 17), (PixelColour{0, 0, 0}));
    EXPECT_EQ(Read(1026, 17 + 48), (PixelColour{0, 0, 0}));
    // Background: the half its alpha keeps, not the half it cuts.
    EXPECT_EQ(Read(0, 0), kBackground);
    EXPECT_EQ(Read(49, 39), kBackground);
    EXPECT_EQ(Read(50, 0), (PixelColour{0, 0, 0}));
    EXPECT_EQ(Read(99, 39), (PixelColour{0, 0, 0}));
    // The menu leaves the alpha test off and the modelview matrix selected.
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(MenueDrawTest, ColumnsAreDrawnOuterRowsInner) {
    // With a 30-pixel pitch the 48-pixel icons overlap: cell (0, 1) and cell
    // (1, 0) share the square x 1056..1073, y 107..124. Columns outer draws
    // column 1 last there.
    menu->SetCellSpacing(30, 30);
    MenuItem items[kMenuItemCount] = {};
    items[1].texture = &b;  // row 0, column 1: at (1056, 107)
    items[4].texture = &a;  // row 1, column 0: at (1026, 77)
    menu->SetItems(items);
    menu->Draw();
    EXPECT_EQ(Read(1060, 110), IconB(4, 3));
    EXPECT_EQ(Read(1030, 80), IconA(4, 3));
}

TEST_F(MenueDrawTest, MissingBackgroundOrIconsDrawTheRest) {
    GameMenue bare(nullptr, gWindow);
    bare.SetGrid(1026, 257, 1266, 17);
    bare.SetCellSpacing(60, 60);
    bare.Draw();  // nothing at all set up: must simply draw nothing
    MenuItem items[kMenuItemCount] = {};
    items[15].texture = &a;
    bare.SetItems(items);
    bare.Draw();
    EXPECT_EQ(WrongPixels(1206, 17, IconA), 0);
    EXPECT_EQ(Read(0, 0), (PixelColour{0, 0, 0}));
}

}  // namespace
