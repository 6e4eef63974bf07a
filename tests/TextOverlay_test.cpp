// Text output over the OpenGL picture: where the box and its glyphs land,
// that the built-in font has a distinct glyph for every printable character,
// and that drawing leaves every OpenGL state it touches as it was, even a
// hostile one (pixel zoom, small viewport, depth test that never passes,
// full projection stack).
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "platform/common/BitmapFont.h"
#include "platform/common/TextOverlay.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

class TextOverlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        window = new OpenGLFullscreen(kWidth, kHeight);
        ASSERT_TRUE(window->IsCreated());
        glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override { delete window; }

    // RGB of window pixel (x, y), y from the top.
    std::array<int, 3> Pixel(int x, int y) {
        unsigned char rgba[4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }
    bool IsBlue(int x, int y) { return Pixel(x, y) == std::array<int, 3>{0, 0, 255}; }

    // The region of the window as '#' (black), '.' (white), 'b' (blue) or
    // '?' rows, top row first.
    std::vector<std::string> Region(int x, int y, int width, int height) {
        std::vector<unsigned char> rgba(size_t(width) * size_t(height) * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, kHeight - y - height, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<std::string> rows;
        for (int row = height - 1; row >= 0; --row) {
            std::string line;
            for (int column = 0; column < width; ++column) {
                const unsigned char* p = &rgba[(size_t(row) * size_t(width) + size_t(column)) * 4];
                if (p[0] == 0 && p[1] == 0 && p[2] == 0) line += '#';
                else if (p[0] == 255 && p[1] == 255 && p[2] == 255) line += '.';
                else if (p[0] == 0 && p[1] == 0 && p[2] == 255) line += 'b';
                else line += '?';
            }
            rows.push_back(line);
        }
        return rows;
    }

    // What the font says the cell of character c looks like.
    static std::vector<std::string> Expected(const std::string& text) {
        std::vector<std::string> rows(textfont::kCellHeight);
        for (char c : text)
            for (int row = 0; row < textfont::kCellHeight; ++row)
                for (int column = 0; column < textfont::kCellWidth; ++column)
                    rows[size_t(row)] +=
                        (textfont::GlyphRow(static_cast<unsigned char>(c), row) & (0x80 >> column)) ? '#' : '.';
        return rows;
    }

    OpenGLFullscreen* window = nullptr;
};

}  // namespace

TEST_F(TextOverlayTest, BlackGlyphsOnAWhiteBoxWithItsTopLeftCornerAtThePosition) {
    DrawTextOverlay(kWidth, kHeight, 100, 100, "60", 2);
    const std::vector<std::string> box = Region(100, 100, 16, 13);
    EXPECT_EQ(box, Expected("60"));
    int ink = 0;
    for (const std::string& row : box)
        for (char c : row) ink += c == '#';
    EXPECT_GE(ink, 30) << "two digits of ink";
    // Just outside the box the picture is untouched.
    for (int x = 99; x <= 116; ++x) {
        EXPECT_TRUE(IsBlue(x, 99)) << x;
        EXPECT_TRUE(IsBlue(x, 113)) << x;
    }
    for (int y = 100; y < 113; ++y) {
        EXPECT_TRUE(IsBlue(99, y)) << y;
        EXPECT_TRUE(IsBlue(116, y)) << y;
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TextOverlayTest, EveryPrintableCharacterHasItsOwnVisibleGlyph) {
    std::set<std::vector<uint8_t>> seen;
    for (int c = 0x21; c < 0x7F; ++c) {
        std::vector<uint8_t> rows;
        int ink = 0;
        for (int row = 0; row < textfont::kCellHeight; ++row) {
            rows.push_back(textfont::GlyphRow(static_cast<unsigned char>(c), row));
            for (int bit = 0; bit < 8; ++bit) ink += (rows.back() >> bit) & 1;
        }
        EXPECT_GE(ink, 2) << "glyph of '" << char(c) << "' is empty";
        EXPECT_TRUE(seen.insert(rows).second) << "glyph of '" << char(c) << "' repeats another";
        // One pixel of space around the art keeps neighbouring glyphs apart.
        EXPECT_EQ(rows[0], 0) << char(c);
        EXPECT_EQ(rows[textfont::kCellHeight - 1], 0) << char(c);
        for (uint8_t bits : rows) EXPECT_EQ(bits & 0x81, 0) << char(c);
    }
    for (int row = 0; row < textfont::kCellHeight; ++row) {
        EXPECT_EQ(textfont::GlyphRow(' ', row), 0);
        // Bytes outside printable ASCII show as '?'.
        EXPECT_EQ(textfont::GlyphRow(0xC3, row), textfont::GlyphRow('?', row));
    }
    EXPECT_EQ(textfont::GlyphRow('0', -1), 0);
    EXPECT_EQ(textfont::GlyphRow('0', textfont::kCellHeight), 0);
}

TEST_F(TextOverlayTest, NegativeNumbersAndTextCutOffAtTheWindowEdges) {
    DrawTextOverlay(kWidth, kHeight, 20, 40, "-12", 3);
    EXPECT_EQ(Region(20, 40, 24, 13), Expected("-12"));

    // Partly outside at the top-left and at the bottom-right.
    DrawTextOverlay(kWidth, kHeight, -4, -5, "88", 2);
    std::vector<std::string> expected = Expected("88");
    std::vector<std::string> visible;
    for (size_t row = 5; row < expected.size(); ++row) visible.push_back(expected[row].substr(4));
    EXPECT_EQ(Region(0, 0, 12, 8), visible);
    DrawTextOverlay(kWidth, kHeight, kWidth - 5, kHeight - 3, "7", 1);
    expected = Expected("7");
    visible.clear();
    for (size_t row = 0; row < 3; ++row) visible.push_back(expected[row].substr(0, 5));
    EXPECT_EQ(Region(kWidth - 5, kHeight - 3, 5, 3), visible);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // Nothing to draw: no change at all.
    glClear(GL_COLOR_BUFFER_BIT);
    DrawTextOverlay(kWidth, kHeight, 300, 300, "5", 0);
    DrawTextOverlay(kWidth, kHeight, 300, 300, nullptr, 3);
    DrawTextOverlay(kWidth, kHeight, 300, 300, "5", -1);
    DrawTextOverlay(0, kHeight, 300, 300, "5", 1);
    EXPECT_TRUE(IsBlue(303, 305));
    DrawTextOverlay(kWidth, kHeight, 5000, -3000, "far away", 8);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

namespace {

// Every piece of state a careless overlay would disturb.
struct GlState {
    std::vector<GLboolean> enabled;
    GLint texture = 0, matrixMode = 0, alphaFunc = 0, unpackAlignment = 0, unpackRowLength = 0;
    GLint viewport[4] = {}, depthFunc = 0, blendSrc = 0, blendDst = 0, scissor[4] = {};
    GLint rasterValid = 0, attribDepth = 0, clientAttribDepth = 0, projectionDepth = 0;
    GLboolean depthMask = GL_FALSE, colourMask[4] = {};
    GLfloat colour[4] = {}, alphaRef = 0, zoom[2] = {}, redScale = 0, rasterPosition[4] = {};
    GLfloat projection[16] = {}, modelview[16] = {};

    static GlState Read() {
        static const GLenum kCapabilities[] = {
            GL_TEXTURE_2D, GL_DEPTH_TEST, GL_ALPHA_TEST, GL_BLEND,     GL_CULL_FACE,
            GL_LIGHTING,   GL_LIGHT0,     GL_FOG,        GL_SCISSOR_TEST, GL_STENCIL_TEST,
            GL_DITHER,     GL_CLIP_PLANE0, GL_COLOR_MATERIAL, GL_TEXTURE_1D};
        GlState s;
        for (GLenum capability : kCapabilities) s.enabled.push_back(glIsEnabled(capability));
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.texture);
        glGetIntegerv(GL_MATRIX_MODE, &s.matrixMode);
        glGetIntegerv(GL_ALPHA_TEST_FUNC, &s.alphaFunc);
        glGetFloatv(GL_ALPHA_TEST_REF, &s.alphaRef);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &s.unpackAlignment);
        glGetIntegerv(GL_UNPACK_ROW_LENGTH, &s.unpackRowLength);
        glGetIntegerv(GL_VIEWPORT, s.viewport);
        glGetIntegerv(GL_SCISSOR_BOX, s.scissor);
        glGetIntegerv(GL_DEPTH_FUNC, &s.depthFunc);
        glGetIntegerv(GL_BLEND_SRC, &s.blendSrc);
        glGetIntegerv(GL_BLEND_DST, &s.blendDst);
        glGetBooleanv(GL_DEPTH_WRITEMASK, &s.depthMask);
        glGetBooleanv(GL_COLOR_WRITEMASK, s.colourMask);
        glGetFloatv(GL_CURRENT_COLOR, s.colour);
        glGetFloatv(GL_ZOOM_X, &s.zoom[0]);
        glGetFloatv(GL_ZOOM_Y, &s.zoom[1]);
        glGetFloatv(GL_RED_SCALE, &s.redScale);
        glGetIntegerv(GL_CURRENT_RASTER_POSITION_VALID, &s.rasterValid);
        glGetFloatv(GL_CURRENT_RASTER_POSITION, s.rasterPosition);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &s.attribDepth);
        glGetIntegerv(GL_CLIENT_ATTRIB_STACK_DEPTH, &s.clientAttribDepth);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &s.projectionDepth);
        glGetFloatv(GL_PROJECTION_MATRIX, s.projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, s.modelview);
        return s;
    }
};

void ExpectSame(const GlState& a, const GlState& b) {
    EXPECT_EQ(a.enabled, b.enabled);
    EXPECT_EQ(a.texture, b.texture);
    EXPECT_EQ(a.matrixMode, b.matrixMode);
    EXPECT_EQ(a.alphaFunc, b.alphaFunc);
    EXPECT_EQ(a.alphaRef, b.alphaRef);
    EXPECT_EQ(a.unpackAlignment, b.unpackAlignment);
    EXPECT_EQ(a.unpackRowLength, b.unpackRowLength);
    EXPECT_EQ(0, std::memcmp(a.viewport, b.viewport, sizeof a.viewport));
    EXPECT_EQ(0, std::memcmp(a.scissor, b.scissor, sizeof a.scissor));
    EXPECT_EQ(a.depthFunc, b.depthFunc);
    EXPECT_EQ(a.blendSrc, b.blendSrc);
    EXPECT_EQ(a.blendDst, b.blendDst);
    EXPECT_EQ(a.depthMask, b.depthMask);
    EXPECT_EQ(0, std::memcmp(a.colourMask, b.colourMask, sizeof a.colourMask));
    EXPECT_EQ(0, std::memcmp(a.colour, b.colour, sizeof a.colour));
    EXPECT_EQ(a.zoom[0], b.zoom[0]);
    EXPECT_EQ(a.zoom[1], b.zoom[1]);
    EXPECT_EQ(a.redScale, b.redScale);
    EXPECT_EQ(a.rasterValid, b.rasterValid);
    EXPECT_EQ(0, std::memcmp(a.rasterPosition, b.rasterPosition, sizeof a.rasterPosition));
    EXPECT_EQ(a.attribDepth, b.attribDepth);
    EXPECT_EQ(a.clientAttribDepth, b.clientAttribDepth);
    EXPECT_EQ(a.projectionDepth, b.projectionDepth);
    EXPECT_EQ(0, std::memcmp(a.projection, b.projection, sizeof a.projection));
    EXPECT_EQ(0, std::memcmp(a.modelview, b.modelview, sizeof a.modelview));
}

}  // namespace

TEST_F(TextOverlayTest, DrawsFaithfullyUnderAHostileStateAndLeavesItAsItWas) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const unsigned char green[4] = {0, 255, 0, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, green);
    const GLenum on[] = {GL_TEXTURE_2D, GL_DEPTH_TEST, GL_ALPHA_TEST, GL_BLEND, GL_CULL_FACE,
                         GL_LIGHTING,   GL_LIGHT0,     GL_FOG,        GL_SCISSOR_TEST};
    for (GLenum capability : on) glEnable(capability);
    glScissor(0, 0, 10, 10);
    glDepthFunc(GL_NEVER);
    glDepthMask(GL_FALSE);
    glAlphaFunc(GL_GREATER, 0.4f);
    glBlendFunc(GL_ZERO, GL_ONE);
    glColor4f(0.2f, 0.3f, 0.4f, 0.1f);
    glPixelZoom(2.0f, -3.0f);
    glPixelTransferf(GL_RED_SCALE, 0.5f);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 3);
    glViewport(10, 20, 300, 200);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, -5.0f);
    glRotatef(30.0f, 0.0f, 0.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.25, 0.1, 30.0);
    glRasterPos3f(0.1f, 0.2f, -6.0f);
    // The projection stack is full: pushing it inside would overflow.
    GLint maxDepth = 0;
    glGetIntegerv(GL_MAX_PROJECTION_STACK_DEPTH, &maxDepth);
    for (int i = 1; i < maxDepth; ++i) glPushMatrix();
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    const GlState before = GlState::Read();
    DrawTextOverlay(kWidth, kHeight, 500, 600, "60", 2);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    const GlState after = GlState::Read();
    ExpectSame(before, after);

    // Read back without the red scale (it applies to reading too): the box
    // is exact despite all of the above.
    glPixelTransferf(GL_RED_SCALE, 1.0f);
    EXPECT_EQ(Region(500, 600, 16, 13), Expected("60"));

    for (int i = 1; i < maxDepth; ++i) glPopMatrix();
    glDeleteTextures(1, &texture);
}
