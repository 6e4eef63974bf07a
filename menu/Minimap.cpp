// The minimap's layout, texel painting, drawing and press rule. Texel i of
// a row of T texels over C cells covers cells floor(i C / T) up to (not
// including) floor((i + 1) C / T); cell c lies in texel ((c + 1) T - 1) / C,
// the last texel starting at or before it. Sums are 64-bit: 4096 cells by a
// few hundred texels stay far from any limit either way.
#include "menu/Minimap.h"

#include <algorithm>

#include "gl/GL.h"

namespace {

// The outline: a dark line under a light one, so it reads on every ground.
constexpr float kOutlineDark[3] = {0.1f, 0.07f, 0.04f};
constexpr float kOutlineLight[3] = {1.0f, 1.0f, 0.9f};
constexpr float kOutlineDarkWidth = 3.0f;
constexpr float kDotColour[3] = {1.0f, 1.0f, 0.0f};  // the picked cell's yellow
constexpr int kDotRadius = 2;
constexpr int kFrameWidth = 2;

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n) p *= 2;
    return p;
}

// One direction of the picture: `texels` texels over `cells` cells.
struct Axis {
    int64_t texels, cells;
};

int FirstCell(Axis a, int64_t texel) { return static_cast<int>(texel * a.cells / a.texels); }
int TexelOf(Axis a, int64_t cell) { return static_cast<int>(((cell + 1) * a.texels - 1) / a.cells); }

// Screen position of a map point given in cells.
float ScreenX(const Minimap& m, float cellX) { return m.left + cellX * m.width / m.mapWidth; }
float ScreenY(const Minimap& m, float cellY) { return m.bottom + cellY * m.height / m.mapHeight; }

void Quad(int x0, int y0, int x1, int y1) {
    glVertex2i(x0, y0);
    glVertex2i(x1, y0);
    glVertex2i(x1, y1);
    glVertex2i(x0, y1);
}

void Outline(const Minimap& m, const MinimapMarks& marks, float width, const float colour[3]) {
    glLineWidth(width);
    glColor3fv(colour);
    glBegin(GL_LINE_LOOP);
    for (const auto& corner : marks.outline)
        glVertex2f(ScreenX(m, corner[0]), ScreenY(m, corner[1]));
    glEnd();
}

}  // namespace

void LayOutMinimap(Minimap& m, const MinimapBox& box, int mapWidth, int mapHeight,
                   CellColourSource source, void* user) {
    m.mapWidth = std::max(0, mapWidth);
    m.mapHeight = std::max(0, mapHeight);
    m.texelsX = m.texelsY = m.width = m.height = 0;
    if (m.mapWidth == 0 || m.mapHeight == 0 || box.width <= 0 || box.height <= 0) return;

    const double scale = std::min(double(box.width) / m.mapWidth, double(box.height) / m.mapHeight);
    m.width = std::clamp(int(m.mapWidth * scale), 1, box.width);
    m.height = std::clamp(int(m.mapHeight * scale), 1, box.height);
    m.left = box.left + (box.width - m.width) / 2;
    m.bottom = box.bottom + (box.height - m.height) / 2;
    m.texelsX = std::min(m.mapWidth, m.width);
    m.texelsY = std::min(m.mapHeight, m.height);
    m.textureWidth = PowerOfTwoAtLeast(m.texelsX);
    m.textureHeight = PowerOfTwoAtLeast(m.texelsY);

    if (m.texture == 0) {
        GLuint name = 0;
        glGenTextures(1, &name);
        m.texture = name;
    }
    glBindTexture(GL_TEXTURE_2D, m.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, m.textureWidth, m.textureHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
    PaintMinimapCells(m, 0, 0, m.mapWidth, m.mapHeight, source, user);
}

void PaintMinimapCells(Minimap& m, int x0, int y0, int x1, int y1, CellColourSource source,
                       void* user) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, m.mapWidth);
    y1 = std::min(y1, m.mapHeight);
    if (m.texture == 0 || x0 >= x1 || y0 >= y1 || source == nullptr) return;
    const Axis ax{m.texelsX, m.mapWidth}, ay{m.texelsY, m.mapHeight};
    const int tx0 = TexelOf(ax, x0), tx1 = TexelOf(ax, x1 - 1) + 1;
    const int ty0 = TexelOf(ay, y0), ty1 = TexelOf(ay, y1 - 1) + 1;
    m.texels.resize(size_t(tx1 - tx0) * size_t(ty1 - ty0) * 4);
    uint8_t* out = m.texels.data();
    for (int ty = ty0; ty < ty1; ++ty)
        for (int tx = tx0; tx < tx1; ++tx, out += 4) {
            source(user, FirstCell(ax, tx), FirstCell(ay, ty), FirstCell(ax, tx + 1),
                   FirstCell(ay, ty + 1), out);
            out[3] = 255;
        }
    glBindTexture(GL_TEXTURE_2D, m.texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, tx0, ty0, tx1 - tx0, ty1 - ty0, GL_RGBA, GL_UNSIGNED_BYTE,
                    m.texels.data());
}

void DrawMinimap(const Minimap& m, const MinimapMarks& marks) {
    if (m.texture == 0 || m.width == 0) return;
    const float u = float(m.texelsX) / m.textureWidth, v = float(m.texelsY) / m.textureHeight;
    // A dark frame sets the picture off the wooden panel, whose brown is
    // close to the earth's.
    glDisable(GL_TEXTURE_2D);
    glColor3fv(kOutlineDark);
    glBegin(GL_QUADS);
    Quad(m.left - kFrameWidth, m.bottom - kFrameWidth, m.left + m.width + kFrameWidth,
         m.bottom + m.height + kFrameWidth);
    glEnd();
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, m.texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2i(m.left, m.bottom);
    glTexCoord2f(u, 0.0f);
    glVertex2i(m.left + m.width, m.bottom);
    glTexCoord2f(u, v);
    glVertex2i(m.left + m.width, m.bottom + m.height);
    glTexCoord2f(0.0f, v);
    glVertex2i(m.left, m.bottom + m.height);
    glEnd();

    glDisable(GL_TEXTURE_2D);
    glScissor(m.left, m.bottom, m.width, m.height);
    glEnable(GL_SCISSOR_TEST);
    Outline(m, marks, kOutlineDarkWidth, kOutlineDark);
    Outline(m, marks, 1.0f, kOutlineLight);
    if (marks.cellShown) {
        const int x = int(ScreenX(m, marks.cellX + 0.5f)), y = int(ScreenY(m, marks.cellY + 0.5f));
        glColor3fv(kOutlineDark);
        glBegin(GL_QUADS);
        Quad(x - kDotRadius - 1, y - kDotRadius - 1, x + kDotRadius + 2, y + kDotRadius + 2);
        glColor3fv(kDotColour);
        Quad(x - kDotRadius, y - kDotRadius, x + kDotRadius + 1, y + kDotRadius + 1);
        glEnd();
    }
    glDisable(GL_SCISSOR_TEST);
    glEnable(GL_TEXTURE_2D);
}

bool MinimapPress(Minimap& m, int x, int y, bool down, float& cellX, float& cellY) {
    const bool inside = m.width > 0 && x >= m.left && x < m.left + m.width && y >= m.bottom &&
                        y < m.bottom + m.height;
    if (m.button.Pressed(down)) m.dragging = inside;
    if (!down) m.dragging = false;
    if (!m.dragging || !inside) return false;
    cellX = (float(x - m.left) + 0.5f) * m.mapWidth / m.width;
    cellY = (float(y - m.bottom) + 0.5f) * m.mapHeight / m.height;
    return true;
}
