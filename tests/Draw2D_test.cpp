// Tests of screen-pixel texture drawing: the matrix bracket of Begin2D and
// End2D, and what DrawTexture and DrawTextureRegion put on the screen,
// compared pixel by pixel with the source picture (nearest filtering, texture
// replacing the colour) in the headless framebuffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "support/TextureTestFiles.h"

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

// Distinct per pixel of a 300 x 300 picture and never black (the clear colour).
PixelColour Pattern(int x, int y) {
    return {static_cast<uint8_t>(x & 255), static_cast<uint8_t>(y & 255),
            static_cast<uint8_t>(0x40 | ((x >> 8) << 1) | ((y >> 8) << 2))};
}

class Draw2DTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.Ok());
        headless::Reset();
        window = new OpenGLFullscreen(kScreenWidth, kScreenHeight);
        ASSERT_TRUE(window->IsCreated());
        GLint red = 0, green = 0, blue = 0;
        glGetIntegerv(GL_RED_BITS, &red);
        glGetIntegerv(GL_GREEN_BITS, &green);
        glGetIntegerv(GL_BLUE_BITS, &blue);
        ASSERT_GE(red, 8) << "exact colour checks need 8 bits per channel";
        ASSERT_GE(green, 8);
        ASSERT_GE(blue, 8);

        picture = MakePicture(300, 300, Pattern);
        ASSERT_TRUE(WriteBmp24("sheet.bmp", picture));
        window->LoadTexture(&sheet, "sheet", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, "sheet");
        window->UploadTextures();
        ASSERT_EQ(sheet.tileColumns, 4);

        // The overlay state of the editor: textures replace the colour,
        // counter-clockwise fronts, back faces culled, no depth test.
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_BLEND);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glFrontFace(GL_CCW);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override { delete window; }

    // Screen pixels as R, G, B, A rows, bottom row first.
    std::vector<uint8_t> ReadScreen(int x, int y, int width, int height) {
        glFinish();
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // Checks that the screen rectangle at (x, y) shows the picture's
    // rectangle at (sx, sy) and that a one-pixel ring around it is untouched.
    void ExpectShown(int x, int y, int sx, int sy, int width, int height) {
        std::vector<uint8_t> screen = ReadScreen(x - 1, y - 1, width + 2, height + 2);
        int wrong = 0, touched = 0;
        std::string first;
        for (int j = 0; j < height + 2; ++j) {
            for (int i = 0; i < width + 2; ++i) {
                const uint8_t* p = &screen[(static_cast<size_t>(j) * (width + 2) + i) * 4];
                const bool inside = i >= 1 && i <= width && j >= 1 && j <= height;
                if (inside) {
                    const uint8_t* want = picture.At(sx + i - 1, sy + j - 1);
                    if (p[0] != want[0] || p[1] != want[1] || p[2] != want[2]) {
                        if (wrong++ == 0) {
                            first = "pixel " + std::to_string(i - 1) + "," + std::to_string(j - 1);
                        }
                    }
                } else if (p[0] || p[1] || p[2]) {
                    ++touched;
                }
            }
        }
        EXPECT_EQ(wrong, 0) << "first wrong " << first;
        EXPECT_EQ(touched, 0) << "pixels drawn outside the rectangle";
    }

    int CountDrawn() {
        std::vector<uint8_t> screen = ReadScreen(0, 0, kScreenWidth, kScreenHeight);
        int drawn = 0;
        for (size_t i = 0; i < screen.size(); i += 4) {
            if (screen[i] || screen[i + 1] || screen[i + 2]) ++drawn;
        }
        return drawn;
    }

    ScratchDirectory scratch;
    OpenGLFullscreen* window = nullptr;
    TestPicture picture;
    TextureRecord sheet = {};
};

void ReadMatrix(GLenum which, float out[16]) { glGetFloatv(which, out); }

TEST_F(Draw2DTest, BeginAndEndRestoreBothMatrices) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, 3.0f);
    glRotatef(30.0f, 0.0f, 0.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.25, 0.1, 30.0);
    float projectionBefore[16], modelviewBefore[16];
    ReadMatrix(GL_PROJECTION_MATRIX, projectionBefore);
    ReadMatrix(GL_MODELVIEW_MATRIX, modelviewBefore);

    window->Begin2D();
    float projection[16], modelview[16];
    ReadMatrix(GL_PROJECTION_MATRIX, projection);
    ReadMatrix(GL_MODELVIEW_MATRIX, modelview);
    const float ortho[16] = {2.0f / kScreenWidth, 0, 0, 0, 0, 2.0f / kScreenHeight, 0, 0,
                             0, 0, -1, 0, -1, -1, 0, 1};
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(projection[i], ortho[i]) << i;
        EXPECT_FLOAT_EQ(modelview[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
    }
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    window->End2D();
    ReadMatrix(GL_PROJECTION_MATRIX, projection);
    ReadMatrix(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_EQ(std::memcmp(projection, projectionBefore, sizeof projection), 0);
    EXPECT_EQ(std::memcmp(modelview, modelviewBefore, sizeof modelview), 0);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Draw2DTest, WholeImageAcrossAllTilesWithoutGaps) {
    window->Begin2D();
    window->DrawTexture(&sheet, 10, 20);
    window->End2D();
    ExpectShown(10, 20, 0, 0, 300, 300);
    EXPECT_EQ(CountDrawn(), 300 * 300);
}

TEST_F(Draw2DTest, RegionCrossingTileBorders) {
    window->Begin2D();
    // Inside the first tile column and row.
    window->DrawTextureRegion(&sheet, 100, 100, 0, 16, 48, 48);
    // Across the column border at 256: parts 16 and 32 pixels wide.
    window->DrawTextureRegion(&sheet, 400, 100, 240, 16, 48, 48);
    // Across both borders at 256 and the small tiles beyond: four corners.
    window->DrawTextureRegion(&sheet, 600, 300, 250, 250, 50, 50);
    window->End2D();
    ExpectShown(100, 100, 0, 16, 48, 48);
    ExpectShown(400, 100, 240, 16, 48, 48);
    ExpectShown(600, 300, 250, 250, 50, 50);
    EXPECT_EQ(CountDrawn(), 48 * 48 * 2 + 50 * 50);
}

TEST_F(Draw2DTest, RegionOutsideTheImageDrawsNothing) {
    TextureRecord missing = {};
    window->LoadTexture(&missing, "absent", GL_NEAREST, GL_NEAREST, GL_REPEAT, "absent");
    window->Begin2D();
    window->DrawTextureRegion(&sheet, 500, 500, 300, 0, 40, 40);
    window->DrawTextureRegion(&sheet, 500, 500, -60, -60, 50, 50);
    window->DrawTextureRegion(&sheet, 500, 500, 0, 300, 300, 10);
    window->DrawTextureRegion(&sheet, 500, 500, 10, 10, 0, 10);
    window->DrawTextureRegion(&sheet, 500, 500, 10, 10, -5, 10);
    window->DrawTextureRegion(&sheet, 500, 500, 2147483600, 2147483600, 1000, 1000);
    window->DrawTexture(&missing, 500, 500);
    window->DrawTexture(nullptr, 500, 500);
    window->DrawTextureRegion(nullptr, 500, 500, 0, 0, 10, 10);
    window->End2D();
    EXPECT_EQ(CountDrawn(), 0);
}

TEST_F(Draw2DTest, PartlyOutsideRegionDrawsOnlyTheImagePart) {
    window->Begin2D();
    // Image pixel (-20, -10) lands at (200, 200); only the image part shows.
    window->DrawTextureRegion(&sheet, 200, 200, -20, -10, 60, 30);
    window->End2D();
    ExpectShown(220, 210, 0, 0, 40, 20);
    EXPECT_EQ(CountDrawn(), 40 * 20);
}

TEST_F(Draw2DTest, DrawTextureUsesTheSourceRectangleOnlyWhenComplete) {
    sheet.regionX = 240;
    sheet.regionY = 16;
    sheet.regionWidth = 64;
    sheet.regionHeight = 0;
    window->Begin2D();
    window->DrawTexture(&sheet, 5, 5);
    window->End2D();
    ExpectShown(5, 5, 0, 0, 300, 300);

    glClear(GL_COLOR_BUFFER_BIT);
    sheet.regionHeight = 48;
    window->Begin2D();
    window->DrawTexture(&sheet, 700, 50);
    window->End2D();
    ExpectShown(700, 50, 240, 16, 60, 48);  // the picture ends at 300
    EXPECT_EQ(CountDrawn(), 60 * 48);
}

}  // namespace
