// Composition of the contact sheet; PNG output through stb_image_write.
#include "ContactSheet.h"

#include "Noise.h"
#include "PixelFont.h"
#include "StbWrite.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tg {

namespace {

const Rgb kBackground = MakeRgb(38, 38, 42);
const Rgb kLabel = MakeRgb(215, 215, 205);

// Area-averaged resize (4 x 4 bilinear samples per output pixel).
Canvas Resize(const Canvas& src, int w, int h) {
    Canvas out(w, h, Rgb{});
    if (src.HasAlpha()) out.EnableAlpha(0.0f);
    float sx = float(src.width) / w, sy = float(src.height) / h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgb sum{};
            float a = 0.0f;
            for (int j = 0; j < 4; ++j)
                for (int i = 0; i < 4; ++i) {
                    float px = (x + (i + 0.5f) / 4.0f) * sx, py = (y + (j + 0.5f) / 4.0f) * sy;
                    sum = Add(sum, src.Sample(px, py));
                    a += src.SampleAlpha(px, py);
                }
            out.At(x, y) = Scale(sum, 1.0f / 16.0f);
            if (out.HasAlpha()) out.AlphaAt(x, y) = a / 16.0f;
        }
    return out;
}

// Draws `src` with its lower-left corner at (x, y), over a checkerboard
// where it has alpha.
void PlaceOverChecker(Canvas& sheet, const Canvas& src, int x, int y) {
    for (int j = 0; j < src.height; ++j)
        for (int i = 0; i < src.width; ++i) {
            bool dark = ((i / 8) + (j / 8)) % 2 == 0;
            Rgb checker = dark ? MakeRgb(120, 120, 128) : MakeRgb(176, 176, 184);
            Rgb c = Mix(checker, src.At(i, j), src.AlphaAt(i, j));
            if (sheet.Inside(x + i, y + j)) sheet.At(x + i, y + j) = c;
        }
}

// The tile orientation rule of the terrain: mirror first, then turn.
void Orient(float& u, float& v, int turns, bool mirror) {
    if (mirror) u = 1.0f - u;
    for (int r = 0; r < turns; ++r) {
        float nu = mirror ? v : 1.0f - v, nv = mirror ? 1.0f - u : u;
        u = nu;
        v = nv;
    }
}

std::string Turn(const std::string& c) { return {c[2], c[0], c[3], c[1]}; }
std::string Flip(const std::string& c) { return {c[1], c[0], c[3], c[2]}; }

// A mock terrain of blocks x blocks tiles, `px` pixels per block.
Canvas MockTerrain(const std::vector<GroundTile>& tiles, int blocks, int px) {
    const int n = blocks * 2 + 1;
    std::vector<char> letter(size_t(n) * n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float h = Fbm(x / 7.0f, y / 7.0f, 99u, 2);
            float m = Fbm(x / 5.0f + 40.0f, y / 5.0f, 7u, 2);
            letter[size_t(y) * n + x] = h > 0.25f ? 's' : (m > -0.1f ? 'w' : 'e');
        }
    std::vector<Canvas> small;
    for (const GroundTile& t : tiles) small.push_back(Resize(t.picture, px, px));
    Canvas out(blocks * px, blocks * px, Rgb{});
    Rng rng(4242u);
    for (int by = 0; by < blocks; ++by)
        for (int bx = 0; bx < blocks; ++bx) {
            int x0 = bx * 2, y0 = by * 2;
            std::string p = {letter[size_t(y0 + 1) * n + x0], letter[size_t(y0 + 1) * n + x0 + 1],
                             letter[size_t(y0) * n + x0], letter[size_t(y0) * n + x0 + 1]};
            int matches = 0, chosen = -1, turns = 0;
            bool mirror = false;
            for (size_t t = 0; t < tiles.size(); ++t) {
                std::string code = tiles[t].name.substr(0, 4);
                for (int m = 0; m < 2; ++m) {
                    for (int r = 0; r < 4; ++r) {
                        if (code == p && rng.Int(0, matches) == 0) {
                            chosen = int(t);
                            turns = r;
                            mirror = m == 1;
                        }
                        if (code == p) ++matches;
                        code = Turn(code);
                    }
                    code = Flip(code);
                }
            }
            if (chosen < 0) continue;
            for (int j = 0; j < px; ++j)
                for (int i = 0; i < px; ++i) {
                    float u = (i + 0.5f) / px, v = (j + 0.5f) / px;
                    Orient(u, v, turns, mirror);
                    out.At(bx * px + i, by * px + j) = small[chosen].Sample(u * px, v * px);
                }
        }
    return out;
}

// The menu as the editor shows it: panel at the screen's lower-left corner,
// cut by its alpha at 0.4, icons at the grid's cells.
Canvas MenuMock(const Pack& pack) {
    const PackEntry* panel = nullptr;
    const PackEntry* icons = nullptr;
    for (const PackEntry& e : pack.entries) {
        if (e.path == "menue/menue") panel = &e;
        if (e.path == "menue/groups") icons = &e;
    }
    Canvas screen(1280, 300, MakeRgb(70, 96, 60));
    if (!panel || !icons) return screen;
    for (int y = 0; y < std::min(panel->picture.height, screen.height); ++y)
        for (int x = 0; x < std::min(panel->picture.width, screen.width); ++x)
            if (panel->picture.AlphaAt(x, y) > 0.4f) screen.At(x, y) = panel->picture.At(x, y);
    // Sheet positions of the icons in menu order (rows top to bottom).
    const int cells[16][2] = {{0, 16}, {48, 16}, {-1, 0}, {-1, 0},
                              {0, 208}, {48, 208}, {96, 208}, {-1, 0},
                              {0, 112}, {48, 112}, {96, 112}, {144, 112},
                              {144, 160}, {96, 160}, {48, 160}, {0, 160}};
    for (int k = 0; k < 16; ++k) {
        if (cells[k][0] < 0) continue;
        int cx = 1026 + (k % 4) * 60, cy = 17 + (3 - k / 4) * 60;
        for (int j = 0; j < 48; ++j)
            for (int i = 0; i < 48; ++i)
                screen.At(cx + i, cy + j) = icons->picture.At(cells[k][0] + i, cells[k][1] + j);
    }
    return screen;
}

}  // namespace

bool WriteContactSheet(const Pack& pack, const std::string& pngPath) {
    const int width = 1448, tile = 96, pitchX = 100, pitchY = 112, columns = 8;
    const int groundRows = int((pack.ground.size() + columns - 1) / columns);
    const int top = 24 + groundRows * pitchY;
    const int height = top + 196 + 290;
    Canvas sheet(width, height, kBackground);
    auto yDown = [&](int yFromTop, int h) { return height - yFromTop - h; };

    DrawText(sheet, 12, yDown(8, 14), "ground tiles", kLabel, 2);
    for (size_t k = 0; k < pack.ground.size(); ++k) {
        int x = 12 + int(k % columns) * pitchX, y = 28 + int(k / columns) * pitchY;
        sheet.Paste(Resize(pack.ground[k].picture, tile, tile), x, yDown(y, tile));
        DrawText(sheet, x, yDown(y + tile + 3, 7), pack.ground[k].name, kLabel);
    }
    const int mockX = 12 + columns * pitchX + 16;
    DrawText(sheet, mockX, yDown(8, 14), "mock terrain", kLabel, 2);
    Canvas mock = MockTerrain(pack.ground, 12, 48);
    sheet.Paste(mock, mockX, yDown(28, mock.height));

    // Scene textures, 128 pixels each.
    int x = 12, y = top + 24;
    DrawText(sheet, 12, yDown(top + 4, 14), "scene textures", kLabel, 2);
    for (const PackEntry& e : pack.entries) {
        if (e.path.rfind("menue/", 0) == 0 || e.path.rfind("cursor/", 0) == 0) continue;
        PlaceOverChecker(sheet, Resize(e.picture, 128, 128), x, yDown(y, 128));
        std::string label = e.path.substr(e.path.find_last_of('/') + 1);
        DrawText(sheet, x, yDown(y + 132, 7), label + (e.scrambled ? " cbm" : ""), kLabel);
        x += 140;
    }

    // Menu mock at half size, icon sheet, cursor at three times its size.
    y = top + 196;
    DrawText(sheet, 12, yDown(y, 14), "menu, icons, cursor", kLabel, 2);
    Canvas menu = Resize(MenuMock(pack), 640, 150);
    sheet.Paste(menu, 12, yDown(y + 20, menu.height));
    for (const PackEntry& e : pack.entries) {
        if (e.path == "menue/groups") PlaceOverChecker(sheet, e.picture, 672, yDown(y + 20, 256));
        if (e.path != "cursor/cursor_wood") continue;
        Canvas rect(64, 64, Rgb{});
        rect.EnableAlpha(0.0f);
        for (int j = 0; j < 64; ++j)
            for (int i = 0; i < 64; ++i) {
                rect.At(i, j) = e.picture.At(i, 192 + j);
                rect.AlphaAt(i, j) = e.picture.AlphaAt(i, 192 + j);
            }
        Canvas big(192, 192, Rgb{});
        big.EnableAlpha(0.0f);
        for (int j = 0; j < 192; ++j)
            for (int i = 0; i < 192; ++i) {
                big.At(i, j) = rect.At(i / 3, j / 3);
                big.AlphaAt(i, j) = rect.AlphaAt(i / 3, j / 3);
            }
        PlaceOverChecker(sheet, big, 950, yDown(y + 20, 192));
        // Hot spot marker.
        sheet.At(950 + 14 * 3 + 1, yDown(y + 20, 192) + 52 * 3 + 1) = MakeRgb(255, 0, 0);
        PlaceOverChecker(sheet, rect, 1160, yDown(y + 20, 64));
    }

    std::vector<uint8_t> bytes = ToRgbBytes(sheet);
    return WritePngTopDown(pngPath, sheet.width, sheet.height, bytes);
}

}  // namespace tg
