// Text over the OpenGL picture with the built-in font (rules in
// TextOverlay.h).
//
// How the state is kept: every server attribute group is pushed and popped
// (glPushAttrib(GL_ALL_ATTRIB_BITS) covers enables, colours, the raster
// position, viewport, pixel transfer and zoom), the client pixel-store state
// likewise (glPushClientAttrib). The matrices are read back and loaded again
// instead of pushed, because the projection stack may be full. Only OpenGL
// 1.1 calls are used: the raster position is set at the window's lower-left
// corner through identity matrices and then moved with an empty glBitmap,
// which also works for positions outside the viewport.
#include "platform/common/TextOverlay.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "gl/GL.h"
#include "platform/common/BitmapFont.h"

namespace {

// Enums newer than OpenGL 1.1, for the checks below.
constexpr GLenum kTexture3D = 0x806F;
constexpr GLenum kTextureCubeMap = 0x8513;
constexpr GLenum kPixelUnpackBufferBinding = 0x88EF;
constexpr GLenum kCurrentProgram = 0x8B8D;

// OpenGL version of the current context as major * 10 + minor, 0 when no
// context is current.
int ContextVersion() {
    const GLubyte* text = glGetString(GL_VERSION);
    if (text == nullptr) return 0;
    int major = 0, minor = 0;
    if (std::sscanf(reinterpret_cast<const char*>(text), "%d.%d", &major, &minor) != 2) return 0;
    return major * 10 + minor;
}

// The text as an RGBA image, bottom row first (glDrawPixels order).
std::vector<uint8_t> RenderText(const char* text, int length, int width, int height) {
    std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4, 255);
    for (int i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        for (int row = 0; row < textfont::kCellHeight; ++row) {
            const uint8_t bits = textfont::GlyphRow(c, row);
            const int imageRow = height - 1 - row;
            for (int column = 0; column < textfont::kCellWidth; ++column) {
                if ((bits & (0x80 >> column)) == 0) continue;
                uint8_t* pixel =
                    &pixels[(size_t(imageRow) * size_t(width) + size_t(i * textfont::kCellWidth + column)) * 4];
                pixel[0] = pixel[1] = pixel[2] = 0;
            }
        }
    }
    return pixels;
}

}  // namespace

void DrawTextOverlay(int windowWidth, int windowHeight, int x, int y, const char* text,
                     int length) {
    if (text == nullptr || length <= 0 || windowWidth <= 0 || windowHeight <= 0) return;
    // Longer text than any window is wide would only be cut off.
    const int maxCharacters = windowWidth / textfont::kCellWidth + 2;
    if (length > maxCharacters) length = maxCharacters;
    const int version = ContextVersion();
    if (version == 0) return;
    GLint binding = 0;
    if (version >= 21) glGetIntegerv(kPixelUnpackBufferBinding, &binding);
    if (binding != 0) return;
    if (version >= 20) glGetIntegerv(kCurrentProgram, &binding);
    if (binding != 0) return;

    const int width = length * textfont::kCellWidth;
    const int height = textfont::kCellHeight;
    const std::vector<uint8_t> pixels = RenderText(text, length, width, height);

    GLdouble projection[16], modelview[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);

    // Fragments of glDrawPixels go through texturing, fog, the per-fragment
    // tests and blending; all of them are switched off so the box comes out
    // exactly as rendered.
    const GLenum off[] = {GL_TEXTURE_1D, GL_TEXTURE_2D,  GL_DEPTH_TEST, GL_ALPHA_TEST,
                          GL_BLEND,      GL_SCISSOR_TEST, GL_LIGHTING,  GL_FOG,
                          GL_STENCIL_TEST, GL_CULL_FACE, GL_COLOR_LOGIC_OP, GL_INDEX_LOGIC_OP,
                          GL_DITHER,     GL_CLIP_PLANE0, GL_CLIP_PLANE1, GL_CLIP_PLANE2,
                          GL_CLIP_PLANE3, GL_CLIP_PLANE4, GL_CLIP_PLANE5};
    for (GLenum capability : off) glDisable(capability);
    if (version >= 12) glDisable(kTexture3D);
    if (version >= 13) glDisable(kTextureCubeMap);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPixelZoom(1.0f, 1.0f);
    const GLenum transfer[] = {GL_RED_SCALE, GL_GREEN_SCALE, GL_BLUE_SCALE, GL_ALPHA_SCALE};
    for (GLenum scale : transfer) glPixelTransferf(scale, 1.0f);
    const GLenum bias[] = {GL_RED_BIAS, GL_GREEN_BIAS, GL_BLUE_BIAS, GL_ALPHA_BIAS};
    for (GLenum value : bias) glPixelTransferf(value, 0.0f);
    glPixelTransferi(GL_MAP_COLOR, GL_FALSE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);

    // Raster position at the window's lower-left corner, then moved to the
    // box's lower-left corner (window y upward for OpenGL).
    glViewport(0, 0, windowWidth, windowHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRasterPos4f(-1.0f, -1.0f, 0.0f, 1.0f);
    glBitmap(0, 0, 0.0f, 0.0f, float(x), float(windowHeight - y - height), nullptr);
    glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());

    glPopClientAttrib();
    glPopAttrib();  // also restores the matrix mode, raster position and viewport
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(modelview);
    glMatrixMode(GLenum(mode));
}
