// Water, conifer, plant and head textures, and the list of scene entries.
// Sizes in pixels of the picture, y upward.
#include "SceneTextures.h"

#include "BuildingTextures.h"
#include "Noise.h"
#include "Paint.h"

#include <cmath>

namespace tg {

namespace {

const float kPi = 3.14159265f;

// Tileable water: a blue-green body, soft swells and a web of bright
// ripple crests (all noise wraps at the tile's size, for repeat wrap).
Canvas PaintWater() {
    const int S = 256;
    Canvas c(S, S, Rgb{});
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            float u = float(x) / S, v = float(y) / S;
            float swell = TileFbm(u, v, 3, 3, 61u, 3);
            float wu = u + 0.06f * TileFbm(u, v, 4, 4, 62u, 2);
            float wv = v + 0.06f * TileFbm(u, v, 4, 4, 63u, 2);
            // Crests: where a warped field crosses zero, thin bright lines.
            float crest = 1.0f - std::fabs(TileFbm(wu, wv, 6, 6, 64u, 2));
            float crest2 = 1.0f - std::fabs(TileFbm(wu, wv, 11, 11, 65u, 1));
            float light = std::pow(crest, 8.0f) * 0.8f + std::pow(crest2, 10.0f) * 0.45f;
            Rgb body = Mix(MakeRgb(26, 84, 104), MakeRgb(58, 142, 152), Clamp01(0.5f + 0.5f * swell));
            c.At(x, y) = Mix(body, MakeRgb(196, 234, 238), Clamp01(light));
        }
    return c;
}

// Conifer crown seen from above: a star of needle-covered branches around
// the trunk, long ones with shorter ones between them, cut out by alpha.
// The square is the crown layer's square, so the long branches reach
// towards the middle of each side.
Canvas PaintConiferCrown() {
    const int S = 256;
    const int branches = 9;
    Canvas c(S, S, MakeRgb(24, 58, 28));
    c.EnableAlpha(0.0f);
    // Reach of the crown at an angle (0..1 of the half size) and how much of
    // a branch's middle line the point is on (1 on the line).
    auto reach = [&](float angle, float& ridge) {
        float best = 0.0f;
        ridge = 0.0f;
        for (int layer = 0; layer < 2; ++layer) {
            float a = angle * branches + (layer ? 3.14159265f : 0.0f);
            float lobe = std::pow(std::fabs(std::cos(a * 0.5f)), 1.4f);
            int id = int(std::floor((angle + 3.14159265f) / (2.0f * 3.14159265f) * branches + (layer ? 0.5f : 0.0f)));
            float len = (layer ? 0.62f : 0.86f) + 0.1f * HashUnit(uint32_t(id % branches), uint32_t(layer), 73u);
            float r = (0.28f + (len - 0.28f) * lobe);
            if (r > best) {
                best = r;
                ridge = lobe;
            }
        }
        return best;
    };
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            float dx = x + 0.5f - S / 2, dy = y + 0.5f - S / 2;
            float r = std::sqrt(dx * dx + dy * dy), angle = std::atan2(dy, dx);
            float ridge;
            float edge = reach(angle, ridge) * (S * 0.5f - 6.0f);
            // Needles: a fine radial comb that frays the outline.
            float needles = Fbm(angle * 70.0f, r / 5.0f, 71u, 2);
            float cover = Clamp01(edge + 10.0f * needles - r + 0.5f);
            if (cover <= 0.0f) continue;
            float t = r / (S * 0.5f);
            // Lighter along the branch ridges and out at the tips.
            float tone = Clamp01(0.2f + 0.45f * ridge * (0.4f + t) + 0.25f * needles);
            Rgb green = Mix(MakeRgb(16, 44, 22), MakeRgb(84, 132, 62), tone);
            float streak = Fbm(angle * 160.0f, r / 3.0f, 72u, 1);
            green = Scale(green, 1.0f + 0.28f * streak);
            c.Blend(x, y, green, cover);
        }
    // The trunk's top in the middle.
    FillShape(c, [&](Vec2 p) { return SdCircle(p, {S / 2.0f, S / 2.0f}, 6.0f); }, MakeRgb(70, 48, 32), 0.8f);
    return c;
}

// Bark: deep vertical furrows with grey-brown plates (mirrored repeat).
Canvas PaintBark() {
    const int S = 128;
    Canvas c(S, S, Rgb{});
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            float plates = Fbm(x / 5.0f, y / 22.0f, 81u, 3);
            float furrow = 1.0f - SmoothStep(0.0f, 0.25f, std::fabs(Fbm(x / 9.0f, y / 40.0f, 82u, 2)));
            float tone = Clamp01(0.55f + 0.35f * plates - 0.5f * furrow);
            c.At(x, y) = Mix(MakeRgb(40, 28, 20), MakeRgb(132, 104, 82), tone);
        }
    return c;
}

// A small plant seen from the side: stems from the bottom middle with
// pointed leaves, cut out by alpha.
Canvas PaintPlant() {
    const int S = 128;
    Canvas c(S, S, MakeRgb(40, 90, 34));
    c.EnableAlpha(0.0f);
    Rng rng(91u);
    const Vec2 root{S / 2.0f, 4.0f};
    for (int k = 0; k < 7; ++k) {
        float angle = kPi * 0.5f + (k - 3) * 0.28f + rng.Range(-0.08f, 0.08f);
        float len = rng.Range(70.0f, 108.0f) * (1.0f - 0.08f * std::fabs(float(k - 3)));
        Vec2 tip{root.x + std::cos(angle) * len, root.y + std::sin(angle) * len};
        FillShape(c, [&](Vec2 p) { return SdSegment(p, root, tip, 1.6f); }, MakeRgb(62, 104, 40));
        // Leaves in pairs along the stem, the last one at the tip.
        for (int j = 1; j <= 3; ++j) {
            float t = j / 3.4f;
            Vec2 base{root.x + (tip.x - root.x) * t, root.y + (tip.y - root.y) * t};
            for (int side = -1; side <= 1; side += 2) {
                float la = angle + side * rng.Range(0.6f, 0.9f);
                float ll = rng.Range(16.0f, 24.0f) * (1.1f - 0.2f * t);
                Vec2 end{base.x + std::cos(la) * ll, base.y + std::sin(la) * ll};
                Vec2 mid{(base.x + end.x) * 0.5f, (base.y + end.y) * 0.5f};
                float nx = -(end.y - base.y) / ll, ny = (end.x - base.x) / ll;
                float w = ll * 0.28f;
                std::vector<Vec2> leaf = {base, {mid.x + nx * w, mid.y + ny * w}, end,
                                          {mid.x - nx * w, mid.y - ny * w}};
                ShadeShape(c, [&](Vec2 p) { return SdPolygon(p, leaf) - 0.8f; }, [&](int x, int y) {
                    float along = ((x - base.x) * (end.x - base.x) + (y - base.y) * (end.y - base.y)) / (ll * ll);
                    float vein = std::fabs((x - base.x) * nx + (y - base.y) * ny);
                    Rgb g = Mix(MakeRgb(48, 112, 38), MakeRgb(120, 176, 70), Clamp01(along));
                    return Scale(g, 0.8f + 0.25f * SmoothStep(0.5f, 2.5f, vein) - 0.1f * side);
                });
            }
        }
    }
    return c;
}

// A farmer's face filling the square: skin, hair under a straw hat, eyes,
// nose, moustache.
Canvas PaintHead() {
    const int S = 128;
    Canvas c(S, S, MakeRgb(222, 170, 134));
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            float dx = (x + 0.5f - 64.0f) / 64.0f;
            float shade = 1.0f - 0.25f * dx * dx + 0.03f * Fbm(x / 6.0f, y / 6.0f, 101u, 2);
            c.At(x, y) = Scale(MakeRgb(224, 172, 136), shade);
        }
    auto fill = [&](auto sdf, Rgb col, float op = 1.0f) { FillShape(c, sdf, col, op); };
    // Hair at the sides, hat brim and crown.
    fill([](Vec2 p) { return SdBox(p, {0, 84}, {128, 104}, 6); }, MakeRgb(92, 62, 36));
    fill([](Vec2 p) { return SdBox(p, {0, 98}, {128, 110}, 3); }, MakeRgb(200, 168, 92));
    ShadeShape(c, [](Vec2 p) { return SdBox(p, {14, 108}, {114, 140}, 10); }, [&](int x, int y) {
        float straw = Fbm(x / 1.5f, y / 8.0f, 102u, 2);
        return Mix(MakeRgb(170, 136, 70), MakeRgb(226, 196, 120), Clamp01(0.55f + 0.4f * straw));
    });
    fill([](Vec2 p) { return SdBox(p, {14, 108}, {114, 114}); }, MakeRgb(120, 40, 32));  // hat band
    // Eyes with brows.
    for (float ex : {42.0f, 86.0f}) {
        fill([&](Vec2 p) { return SdBox(p, {ex - 10, 72}, {ex + 10, 82}, 5); }, MakeRgb(246, 242, 236));
        fill([&](Vec2 p) { return SdCircle(p, {ex + 1, 77}, 4.2f); }, MakeRgb(70, 100, 140));
        fill([&](Vec2 p) { return SdCircle(p, {ex + 1, 77}, 2.0f); }, MakeRgb(20, 20, 24));
        fill([&](Vec2 p) { return SdSegment(p, {ex - 11, 87}, {ex + 10, 89}, 2.2f); }, MakeRgb(96, 64, 40));
    }
    // Nose, cheeks, moustache and mouth.
    fill([](Vec2 p) { return SdSegment(p, {64, 74}, {60, 52}, 5.0f); }, MakeRgb(200, 140, 110), 0.7f);
    fill([](Vec2 p) { return SdCircle(p, {61, 50}, 6.0f); }, MakeRgb(214, 148, 118));
    for (float cx : {32.0f, 96.0f})
        fill([&](Vec2 p) { return SdCircle(p, {cx, 50}, 11.0f); }, MakeRgb(230, 130, 110), 0.3f);
    fill([](Vec2 p) { return SdSegment(p, {44, 38}, {62, 42}, 4.0f); }, MakeRgb(110, 74, 44));
    fill([](Vec2 p) { return SdSegment(p, {66, 42}, {84, 38}, 4.0f); }, MakeRgb(110, 74, 44));
    fill([](Vec2 p) { return SdSegment(p, {52, 28}, {76, 28}, 2.0f); }, MakeRgb(150, 70, 62));
    return c;
}

}  // namespace

std::vector<PackEntry> PaintSceneTextures() {
    std::vector<PackEntry> out;
    auto add = [&](const char* path, Canvas picture, bool scrambled = false) {
        out.push_back(PackEntry{path, std::move(picture), scrambled});
    };
    add("water", PaintWater());
    add("pflanze_klein", PaintPlant(), true);
    add("nadelbaum", PaintConiferCrown());
    add("nadelbaum_stamm", PaintBark());
    add("fachwerk_alt", PaintHalfTimberedWall());
    add("strohdach", PaintThatch());
    add("wasserturm_holzseite", PaintTankPlanks());
    add("wasserturm_dach", PaintTankRoof());
    add("wasserturm_holz", PaintLegWood());
    add("bauer_kopf", PaintHead(), true);
    return out;
}

}  // namespace tg
