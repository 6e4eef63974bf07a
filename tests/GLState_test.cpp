// The fixed OpenGL state set at start, read back from a real context.
#include <gtest/gtest.h>

#include "app/Editor.h"
#include "gl/GL.h"
#include "gl/GLState.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "terrain/TerrainModel.h"

namespace {

class GLStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        gWindow = new OpenGLFullscreen(1280, 1024);
        ASSERT_TRUE(gWindow->IsCreated());
        gTerrain = new TerrainModel(gWindow, 8, 8);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override {
        delete gTerrain;
        gTerrain = nullptr;
        delete gWindow;
        gWindow = nullptr;
    }
};

}  // namespace

TEST_F(GLStateTest, SetsClearDepthCullingAndAlphaTest) {
    ASSERT_TRUE(InitGLState());
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[3], 0.5f);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));  // decided per frame
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    glGetIntegerv(GL_CULL_FACE_MODE, &value);
    EXPECT_EQ(value, GL_BACK);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &value);
    EXPECT_EQ(value, GL_GREATER);
    GLfloat reference = 0;
    glGetFloatv(GL_ALPHA_TEST_REF, &reference);
    EXPECT_NEAR(reference, 0.4f, 1e-6);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
}

TEST_F(GLStateTest, DistantLightSitsFarOutAlongItsDirection) {
    ASSERT_TRUE(InitGLState());
    GLfloat position[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);
    EXPECT_NEAR(position[0], -13333.33f, 0.01f);
    EXPECT_NEAR(position[1], 13333.33f, 0.01f);
    EXPECT_NEAR(position[2], 6666.67f, 0.01f);
    EXPECT_FLOAT_EQ(position[3], 1.0f);
    GLfloat colour[4];
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.3f);
    EXPECT_FLOAT_EQ(colour[3], 1.0f);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, colour);
    EXPECT_FLOAT_EQ(colour[1], 1.0f);
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.0f);
    EXPECT_FLOAT_EQ(colour[3], 1.0f);
}

TEST_F(GLStateTest, PositionedLightIsTakenAsStored) {
    gTerrain->light.distant = false;
    gTerrain->light.position = Vector4(1.0f, 2.0f, 3.0f);
    ASSERT_TRUE(InitGLState());
    GLfloat position[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);
    EXPECT_FLOAT_EQ(position[0], 1.0f);
    EXPECT_FLOAT_EQ(position[2], 3.0f);
}

TEST_F(GLStateTest, ShadesTheWholeTerrain) {
    ASSERT_TRUE(InitGLState());
    const TerrainVertex& inner = gTerrain->columns[4][4];
    EXPECT_NEAR(inner.colour[0], 0.823f, 0.001f);
    EXPECT_FLOAT_EQ(inner.normal[2], 1.0f);
    const TerrainVertex& border = gTerrain->columns[0][4];
    EXPECT_FLOAT_EQ(border.colour[0], 0.0f);
}
