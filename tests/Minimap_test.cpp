// The minimap for map sizes from 1 x 1 to 4096 x 4096: the picture fits the
// box with the map's aspect, its blocks of cells tile the map, a repaint
// asks for exactly the blocks of the cells named, and what is drawn under a
// pixel agrees with the map point a press there names. Real OpenGL through
// the headless backend; pixels are read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "menu/Minimap.h"
#include "platform/HeadlessControl.h"

namespace {

constexpr int kW = 1280, kH = 1024;

// A block's colour names its first cell (low bytes) and the paint (blue);
// the paint keeps every block it was asked for.
struct Paint {
    uint8_t tag;
    std::vector<std::array<int, 4>> blocks;
};

void Source(void* user, int x0, int y0, int x1, int y1, uint8_t rgb[3]) {
    Paint& paint = *static_cast<Paint*>(user);
    paint.blocks.push_back({x0, y0, x1, y1});
    rgb[0] = uint8_t(x0);
    rgb[1] = uint8_t(y0);
    rgb[2] = paint.tag;
}

// How many of the blocks cover each cell of a w x h map.
std::vector<uint8_t> Coverage(const Paint& paint, int w, int h) {
    std::vector<uint8_t> count(size_t(w) * h, 0);
    for (const auto& b : paint.blocks)
        for (int x = std::max(b[0], 0); x < std::min(b[2], w); ++x)
            for (int y = std::max(b[1], 0); y < std::min(b[3], h); ++y) ++count[size_t(x) * h + y];
    return count;
}

// Distance of c from [lo, hi), 0 inside.
int Outside(int c, int lo, int hi) { return c < lo ? lo - c : (c >= hi ? c - hi + 1 : 0); }

struct Region {
    int x0, y0, x1, y1;
};

// Pixels of a 9 x 9 grid over the picture against the cells a press names.
// A texel stands for whole cells: a pixel may show the block of the cell
// next to the one a press there names, and a block is up to span cells long.
void CheckPixels(Minimap& m, const std::vector<uint8_t>& screen, const Region& r,
                 const Paint& first, const Paint& second) {
    const int spanX = (m.mapWidth + m.width - 1) / m.width + 1;
    const int spanY = (m.mapHeight + m.height - 1) / m.height + 1;
    for (int i = 0; i < 9; ++i)
        for (int j = 0; j < 9; ++j) {
            const int sx = m.left + (2 * i + 1) * m.width / 18;
            const int sy = m.bottom + (2 * j + 1) * m.height / 18;
            float cx = 0, cy = 0;
            MinimapPress(m, sx, sy, false, cx, cy);
            ASSERT_TRUE(MinimapPress(m, sx, sy, true, cx, cy)) << sx << "," << sy;
            const int x = int(cx), y = int(cy);
            const uint8_t* p = &screen[(size_t(sy) * kW + sx) * 4];
            EXPECT_LT(uint8_t(x - p[0] + 1), spanX + 1) << "cell x " << x << ", block " << int(p[0]);
            EXPECT_LT(uint8_t(y - p[1] + 1), spanY + 1) << "cell y " << y << ", block " << int(p[1]);
            if (Outside(x, r.x0 + 1, r.x1 - 1) == 0 && Outside(y, r.y0 + 1, r.y1 - 1) == 0) {
                EXPECT_EQ(p[2], second.tag) << "repainted cell " << x << "," << y;
            }
            if (Outside(x, r.x0, r.x1) > spanX || Outside(y, r.y0, r.y1) > spanY) {
                EXPECT_EQ(p[2], first.tag) << "untouched cell " << x << "," << y;
            }
        }
}

TEST(MinimapTest, PixelsPressesAndRepaintsAgreeForEveryMapSize) {
    headless::Reset();
    OpenGLFullscreen window(kW, kH);
    ASSERT_TRUE(window.IsCreated());
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    const MinimapBox box{26, 26, 284, 174};
    const float far = -1e4f;  // the outline off the picture
    const MinimapMarks marks{{{far, far}, {far, far}, {far, far}, {far, far}}, false, 0, 0};
    const int sizes[][2] = {{1, 1},   {3, 2},     {24, 24},   {256, 256},
                            {300, 7}, {17, 4096}, {4096, 16}, {4096, 4096}};
    std::vector<uint8_t> screen(size_t(kW) * kH * 4);
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        Paint first{0x40, {}}, second{0xC0, {}};
        Minimap m;
        LayOutMinimap(m, box, w, h, Source, &first);
        const std::vector<uint8_t> once = Coverage(first, w, h);
        EXPECT_TRUE(std::all_of(once.begin(), once.end(), [](uint8_t n) { return n == 1; }));
        EXPECT_TRUE(m.left >= box.left && m.left + m.width <= box.left + box.width);
        EXPECT_TRUE(m.bottom >= box.bottom && m.bottom + m.height <= box.bottom + box.height);
        EXPECT_TRUE(m.width == box.width || m.height == box.height) << "fills the box one way";
        EXPECT_LE(std::abs(int64_t(m.width) * h - int64_t(m.height) * w), std::max(w, h));

        // Cells a third of the way in, a fifth of the map wide, repainted.
        const Region r{w / 3, h / 3, w / 3 + std::max(1, w / 5), h / 3 + std::max(1, h / 5)};
        PaintMinimapCells(m, r.x0, r.y0, r.x1, r.y1, Source, &second);
        const std::vector<uint8_t> again = Coverage(second, w, h);
        for (int x = r.x0; x < r.x1; ++x)
            for (int y = r.y0; y < r.y1; ++y) ASSERT_EQ(again[size_t(x) * h + y], 1) << x << "," << y;
        for (const auto& b : second.blocks)
            EXPECT_TRUE(b[0] < r.x1 && b[2] > r.x0 && b[1] < r.y1 && b[3] > r.y0) << "not changed";

        glClear(GL_COLOR_BUFFER_BIT);
        window.Begin2D();
        DrawMinimap(m, marks);
        window.End2D();
        glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, screen.data());
        CheckPixels(m, screen, r, first, second);

        // A press that begins beside the picture does not drag onto it.
        float cx = 0, cy = 0;
        MinimapPress(m, m.left, m.bottom, false, cx, cy);
        EXPECT_FALSE(MinimapPress(m, m.left - 1, m.bottom, true, cx, cy));
        EXPECT_FALSE(MinimapPress(m, m.left, m.bottom, true, cx, cy));
    }
}

}  // namespace
