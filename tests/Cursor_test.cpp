// Tests of the mouse pointer picture: where Draw puts it for a given mouse
// position, checked pixel by pixel in the headless framebuffer. The picture
// is a 64 x 64 rectangle at (0, 192) of a 64 x 256 bitmap, as in the
// editor's catalogue; every pixel has its own colour and the hot-spot pixel
// (14, 52) a colour no other pixel has.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "menu/Cursor.h"
#include "platform/HeadlessControl.h"
#include "support/TextureTestFiles.h"

namespace {

constexpr int kW = 1280;
constexpr int kH = 1024;
const PixelColour kHotSpot = {255, 0, 255};

// Colour of picture pixel (x, y), both counted within the 64 x 64 rectangle.
PixelColour PointerPixel(int x, int y) {
    if (x == kCursorHotSpotX && y == kCursorHotSpotY) return kHotSpot;
    return {static_cast<uint8_t>(4 * x + 1), static_cast<uint8_t>(4 * y + 1), 0x80};
}

class CursorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.Ok());
        headless::Reset();
        window = new OpenGLFullscreen(kW, kH);
        ASSERT_TRUE(window->IsCreated());
        GLint red = 0, green = 0, blue = 0;
        glGetIntegerv(GL_RED_BITS, &red);
        glGetIntegerv(GL_GREEN_BITS, &green);
        glGetIntegerv(GL_BLUE_BITS, &blue);
        ASSERT_TRUE(red >= 8 && green >= 8 && blue >= 8) << "exact colours need 8 bits";

        // Below the pointer's rectangle the sheet holds a colour that must
        // never show.
        ASSERT_TRUE(WriteBmp24("cursor.bmp", MakePicture(64, 256, [](int x, int y) {
                                   return y >= 192 ? PointerPixel(x, y - 192)
                                                   : PixelColour{0, 255, 0};
                               })));
        window->LoadTextureRegion(&picture, "cursor", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE,
                                  "game_cursor", 0, 192, 64, 64);
        window->UploadTextures();
        ASSERT_NE(picture.tiles, nullptr);

        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glColor3f(1.0f, 1.0f, 1.0f);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override { delete window; }

    void DrawWithMouseAt(int x, int y) {
        window->mouseX = x;
        window->mouseY = y;
        GameCursor cursor(&picture, window);
        cursor.Update();
        cursor.Draw();
        glFinish();
    }

    std::vector<uint8_t> Screen() {
        std::vector<uint8_t> pixels(static_cast<size_t>(kW) * kH * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
    static PixelColour At(const std::vector<uint8_t>& screen, int x, int y) {
        const uint8_t* p = &screen[(static_cast<size_t>(y) * kW + x) * 4];
        return {p[0], p[1], p[2]};
    }

    // The whole screen shows the picture with its lower-left corner at
    // (cornerX, cornerY), clipped, and nothing anywhere else.
    void ExpectPictureAt(int cornerX, int cornerY, int expectedOnScreen) {
        const std::vector<uint8_t> screen = Screen();
        int wrong = 0, shown = 0;
        std::string first;
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                const int px = x - cornerX, py = y - cornerY;
                const bool inside = px >= 0 && px < 64 && py >= 0 && py < 64;
                const PixelColour want = inside ? PointerPixel(px, py) : PixelColour{0, 0, 0};
                shown += inside;
                if (At(screen, x, y) != want && wrong++ == 0) {
                    first = std::to_string(x) + "," + std::to_string(y);
                }
            }
        }
        EXPECT_EQ(wrong, 0) << "first wrong screen pixel " << first;
        EXPECT_EQ(shown, expectedOnScreen);
    }

    ScratchDirectory scratch;
    OpenGLFullscreen* window = nullptr;
    TextureRecord picture = {};
};

TEST_F(CursorTest, HotSpotSitsUnderTheMouseInTheMiddle) {
    DrawWithMouseAt(600, 400);
    // Screen row of window row 400 is 623; the corner is 14 left, 52 below.
    ExpectPictureAt(586, 571, 64 * 64);
    EXPECT_EQ(At(Screen(), 600, kH - 1 - 400), kHotSpot);
}

TEST_F(CursorTest, TopLeftMouseClipsThePictureAtTheTopLeft) {
    DrawWithMouseAt(0, 0);
    ExpectPictureAt(-14, kH - 53, 50 * 53);
    EXPECT_EQ(At(Screen(), 0, kH - 1), kHotSpot);
}

TEST_F(CursorTest, BottomRightMouseShowsOnlyTheTopLeftCorner) {
    DrawWithMouseAt(kW - 1, kH - 1);
    // Only the top 12 rows of the 15 leftmost columns reach the screen.
    ExpectPictureAt(kW - 15, -52, 15 * 12);
    EXPECT_EQ(At(Screen(), kW - 1, 0), kHotSpot);
}

TEST_F(CursorTest, PointerWithoutPictureDrawsNothing) {
    window->mouseX = 600;
    window->mouseY = 400;
    GameCursor cursor(nullptr, window);
    cursor.Draw();
    ExpectPictureAt(-1000, -1000, 0);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

}  // namespace
