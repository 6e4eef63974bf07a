// Menu background panel and icon sheet. Panel: 1280 x 280, a wooden bar
// over the bottom 230 rows that rises to row 272 around the icon grid on the
// right; the grid's 16 cells get sunken slots for the icons.
#include "MenuArt.h"

#include "Icons.h"
#include "Noise.h"
#include "Paint.h"
#include "menu/PanelLayout.h"

#include <cmath>

namespace tg {

namespace {

constexpr int kPanelWidth = 1280, kPanelHeight = 280;
constexpr int kBarTop = 230, kRaisedTop = 272;
constexpr int kGridLeft = 1026, kGridBottom = 17, kCell = 60, kIcon = 48;

// Outline of the panel, counter-clockwise from the lower-left corner; the
// step up to the raised part is a smooth S-curve.
std::vector<Vec2> PanelOutline() {
    std::vector<Vec2> poly = {{0, 0}, {kPanelWidth, 0}, {kPanelWidth, kRaisedTop}};
    const float x0 = 978.0f, x1 = 1010.0f;
    for (int k = 0; k <= 16; ++k) {
        float t = 1.0f - k / 16.0f;
        float s = t * t * (3.0f - 2.0f * t);
        poly.push_back({x0 + (x1 - x0) * t, kBarTop + (kRaisedTop - kBarTop) * s});
    }
    poly.push_back({0, kBarTop});
    return poly;
}

// Horizontal planks with grain.
Rgb Planks(int x, int y) {
    int plank = y / 26;
    float grain = Fbm(x / 60.0f + plank * 9.0f, y / 3.0f, 201u, 3);
    float fibre = Fbm(x / 14.0f, y / 1.2f + plank * 5.0f, 202u, 2);
    float tone = Clamp01(0.45f + 0.2f * grain + 0.18f * fibre + 0.1f * (HashUnit(uint32_t(plank), 203u) - 0.5f));
    Rgb wood = Mix(MakeRgb(74, 48, 30), MakeRgb(140, 96, 60), tone);
    float joint = float(y % 26);
    return Scale(wood, 0.6f + 0.4f * SmoothStep(0.0f, 2.5f, std::fmin(joint, 25.0f - joint)));
}

}  // namespace

PackEntry PaintMenuPanel() {
    Canvas c(kPanelWidth, kPanelHeight, MakeRgb(74, 48, 30));
    c.EnableAlpha(0.0f);
    const std::vector<Vec2> outline = PanelOutline();
    ForEachCovered(c, 0, 0, c.width, c.height, [&](Vec2 p) { return SdPolygon(p, outline); },
                   [&](int x, int y, float cover) { c.Blend(x, y, Planks(x, y), cover); });

    const Rgb light = MakeRgb(236, 206, 150), dark = MakeRgb(30, 18, 10);
    // Sunken fields on the long bar, to break up its length (the status
    // display draws into them).
    for (int k = 0; k < kPanelFieldCount; ++k) {
        const PanelField f = PanelFieldRect(k);
        for (int y = f.bottom; y < f.top; ++y)
            for (int x = f.left; x < f.right; ++x) c.At(x, y) = Mix(c.At(x, y), Scale(Planks(x + 500, y), 0.8f), 0.85f);
        Bevel(c, f.left, f.bottom, f.right, f.top, kPanelFieldBevel, light, dark, true);
    }
    // Recessed bed of the icon grid with a slot per cell.
    const int bx0 = kGridLeft - 10, by0 = kGridBottom - 9, bx1 = kGridLeft + 4 * kCell + 6,
              by1 = kGridBottom + 4 * kCell + 7;
    for (int y = by0; y < by1; ++y)
        for (int x = bx0; x < bx1; ++x) c.At(x, y) = Scale(Planks(x, y + 7), 0.55f);
    Bevel(c, bx0, by0, bx1, by1, 4, light, dark, true);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            int x = kGridLeft + col * kCell, y = kGridBottom + row * kCell;
            FillRect(c, x - 3, y - 3, x + kIcon + 3, y + kIcon + 3, MakeRgb(22, 14, 8));
            Bevel(c, x - 3, y - 3, x + kIcon + 3, y + kIcon + 3, 2, light, dark, true);
        }
    // Brass trim along the top contour: a band inside the outline.
    ForEachCovered(c, 0, 0, c.width, c.height, [&](Vec2 p) { return SdPolygon(p, outline); },
                   [&](int x, int y, float) {
                       float d = -SdPolygon(Vec2{x + 0.5f, y + 0.5f}, outline);
                       if (y < 8 || d > 8.0f) return;
                       float lit = d < 3.0f ? 1.0f : (d < 6.5f ? 0.75f : 0.45f);
                       Rgb brass = Scale(MakeRgb(196, 158, 74), lit * (0.9f + 0.1f * Fbm(x / 3.0f, y / 3.0f, 204u, 1)));
                       c.At(x, y) = Mix(c.At(x, y), brass, SmoothStep(8.0f, 7.0f, d));
                   });
    // Rivets on the trim.
    for (int x = 32; x < kPanelWidth; x += 64) {
        float top = x < 978 ? kBarTop : (x > 1010 ? kRaisedTop : -1.0f);
        if (top < 0) continue;
        Vec2 centre{x + 0.5f, top - 4.0f};
        ShadeShape(c, [&](Vec2 p) { return SdCircle(p, centre, 2.2f); }, [&](int px, int py) {
            float lit = Clamp01(0.5f + 0.3f * (py - centre.y) - 0.2f * (px - centre.x));
            return Mix(MakeRgb(70, 52, 22), MakeRgb(250, 226, 160), lit);
        });
    }
    return PackEntry{"menue/menue", c, false};
}

PackEntry PaintIconSheet(const std::vector<GroundTile>& ground) {
    Canvas c(256, 256, MakeRgb(58, 52, 46));
    auto place = [&](int x, int y, const Canvas& icon) { c.Paste(icon, x, y); };
    place(0, 16, IconLoad());
    place(48, 16, IconSave());
    place(0, 112, IconRaise());
    place(48, 112, IconLower());
    place(96, 112, IconPlateau());
    place(144, 112, IconSmooth());
    const int sizes[4] = {8, 6, 4, 2};
    for (int k = 0; k < 4; ++k) place(k * 48, 160, IconBrushSize(sizes[k]));
    const char letters[3] = {'e', 'w', 's'};
    for (int k = 0; k < 3; ++k) {
        const Canvas* swatch = nullptr;
        for (const GroundTile& t : ground)
            if (t.name == std::string(4, letters[k]) + "_1") swatch = &t.picture;
        place(k * 48, 208, IconGround(swatch));
    }
    return PackEntry{"menue/groups", c, false};
}

}  // namespace tg
