// Tool icons. Every icon starts from the same button (parchment gradient,
// bevel, dark outline) and adds its symbol with the shape painters.
#include "Icons.h"

#include "Noise.h"
#include "Paint.h"
#include "PixelFont.h"

#include <cmath>

namespace tg {

namespace {

const Rgb kInk = MakeRgb(40, 30, 22);

Canvas Button() {
    Canvas c(kIconSize, kIconSize, Rgb{});
    for (int y = 0; y < kIconSize; ++y)
        for (int x = 0; x < kIconSize; ++x) {
            float t = float(y) / kIconSize;
            Rgb p = Mix(MakeRgb(196, 174, 128), MakeRgb(234, 220, 180), t);
            c.At(x, y) = Scale(p, 1.0f + 0.04f * Fbm(x / 4.0f, y / 4.0f, 301u, 2));
        }
    Bevel(c, 0, 0, kIconSize, kIconSize, 3, MakeRgb(255, 248, 226), MakeRgb(110, 88, 56));
    for (int k = 0; k < kIconSize; ++k) {
        c.At(k, 0) = c.At(k, kIconSize - 1) = kInk;
        c.At(0, k) = c.At(kIconSize - 1, k) = kInk;
    }
    return c;
}

// Filled shape with a dark outline of `outline` pixels.
template <class Sdf>
void Outlined(Canvas& c, Sdf sdf, Rgb fill, float outline = 1.5f) {
    FillShape(c, [&](Vec2 p) { return sdf(p) - outline; }, kInk);
    FillShape(c, sdf, fill);
}

// Arrow along the line from `from` to `to` (the head at `to`).
void Arrow(Canvas& c, Vec2 from, Vec2 to, float width, Rgb fill) {
    float dx = to.x - from.x, dy = to.y - from.y, len = std::sqrt(dx * dx + dy * dy);
    float ux = dx / len, uy = dy / len, nx = -uy, ny = ux;
    float head = width * 2.2f, neck = len - head;
    std::vector<Vec2> poly = {
        {from.x + nx * width * 0.5f, from.y + ny * width * 0.5f},
        {from.x + ux * neck + nx * width * 0.5f, from.y + uy * neck + ny * width * 0.5f},
        {from.x + ux * neck + nx * head * 0.55f, from.y + uy * neck + ny * head * 0.55f},
        to,
        {from.x + ux * neck - nx * head * 0.55f, from.y + uy * neck - ny * head * 0.55f},
        {from.x + ux * neck - nx * width * 0.5f, from.y + uy * neck - ny * width * 0.5f},
        {from.x - nx * width * 0.5f, from.y - ny * width * 0.5f}};
    Outlined(c, [&](Vec2 p) { return SdPolygon(p, poly); }, fill);
}

// A grassy hill over the lower part of the icon; `flat` cuts its top off.
void Hill(Canvas& c, float peak, float flat) {
    auto height = [&](float x) {
        float t = (x - 24.0f) / 19.0f;
        float h = 6.0f + (peak - 6.0f) * std::exp(-t * t * 2.2f);
        return flat > 0.0f ? std::fmin(h, flat) : h;
    };
    ShadeShape(c, [&](Vec2 p) {
        if (p.x < 3.0f || p.x > 45.0f || p.y < 3.0f) return 1.0f;
        return p.y - height(p.x);
    }, [&](int x, int y) {
        float top = height(x + 0.5f);
        return top - (y + 0.5f) < 3.0f ? MakeRgb(70, 138, 52) : MakeRgb(140, 100, 62);
    });
    // Outline along the hill's top.
    for (int x = 3; x < 45; ++x)
        FillShape(c, [&](Vec2 p) { return SdSegment(p, {x + 0.0f, height(x)}, {x + 1.0f, height(x + 1.0f)}, 0.6f); }, kInk);
}

}  // namespace

Canvas IconLoad() {
    Canvas c = Button();
    // Folder: back with tab, then the front flap.
    Outlined(c, [](Vec2 p) { return std::fmin(SdBox(p, {7, 8}, {41, 30}, 2), SdBox(p, {7, 26}, {20, 33}, 2)); },
             MakeRgb(196, 142, 46));
    Outlined(c, [](Vec2 p) {
        return SdPolygon(p, {{7, 8}, {41, 8}, {44, 24}, {11, 24}});
    }, MakeRgb(238, 186, 70), 1.2f);
    Arrow(c, {26, 16}, {26, 44}, 6.0f, MakeRgb(70, 160, 60));
    return c;
}

Canvas IconSave() {
    Canvas c = Button();
    Outlined(c, [](Vec2 p) {
        return SdPolygon(p, {{7, 6}, {41, 6}, {41, 36}, {35, 42}, {7, 42}});
    }, MakeRgb(52, 78, 150));
    FillShape(c, [](Vec2 p) { return SdBox(p, {14, 30}, {33, 42}); }, MakeRgb(186, 192, 204));  // shutter
    FillShape(c, [](Vec2 p) { return SdBox(p, {27, 32}, {31, 40}); }, MakeRgb(52, 78, 150));   // its window
    FillShape(c, [](Vec2 p) { return SdBox(p, {12, 6}, {36, 22}, 1); }, MakeRgb(246, 244, 236));   // label
    for (float y : {11.0f, 15.0f, 19.0f})
        FillShape(c, [&](Vec2 p) { return SdSegment(p, {15, y}, {33, y}, 0.5f); }, MakeRgb(150, 150, 170));
    return c;
}

Canvas IconRaise() {
    Canvas c = Button();
    Hill(c, 22.0f, 0.0f);
    Arrow(c, {24, 24}, {24, 45}, 6.0f, MakeRgb(214, 58, 40));
    return c;
}

Canvas IconLower() {
    Canvas c = Button();
    Hill(c, 22.0f, 0.0f);
    Arrow(c, {24, 45}, {24, 24}, 6.0f, MakeRgb(50, 96, 196));
    return c;
}

Canvas IconPlateau() {
    Canvas c = Button();
    Hill(c, 34.0f, 24.0f);
    // Level line with end ticks over the flat top.
    FillShape(c, [](Vec2 p) { return SdSegment(p, {8, 31}, {40, 31}, 1.3f); }, MakeRgb(220, 170, 30));
    for (float x : {8.0f, 40.0f})
        FillShape(c, [&](Vec2 p) { return SdSegment(p, {x, 27}, {x, 35}, 1.3f); }, MakeRgb(220, 170, 30));
    return c;
}

Canvas IconSmooth() {
    Canvas c = Button();
    // Jagged line above, smooth wave below, an arrow between them.
    std::vector<Vec2> jag;
    for (int k = 0; k <= 8; ++k) jag.push_back({6.0f + k * 4.5f, 36.0f + ((k % 2) ? 6.0f : -3.0f) + (k % 3) * 1.5f});
    for (size_t k = 0; k + 1 < jag.size(); ++k)
        FillShape(c, [&](Vec2 p) { return SdSegment(p, jag[k], jag[k + 1], 1.2f); }, MakeRgb(120, 90, 60));
    for (int x = 6; x < 42; ++x) {
        auto wave = [](float v) { return 12.0f + 4.0f * std::sin((v - 6.0f) / 36.0f * 2.0f * 3.14159f); };
        FillShape(c, [&](Vec2 p) { return SdSegment(p, {x + 0.0f, wave(x)}, {x + 1.0f, wave(x + 1.0f)}, 2.0f); },
                  MakeRgb(40, 120, 170));
    }
    Arrow(c, {24, 33}, {24, 20}, 3.5f, MakeRgb(230, 200, 90));
    return c;
}

Canvas IconBrushSize(int size) {
    Canvas c = Button();
    float r = 4.0f + 1.9f * size;
    Vec2 centre{22, 26};
    FillShape(c, [&](Vec2 p) { return SdCircle(p, centre, r); }, MakeRgb(150, 110, 60), 0.55f);
    FillShape(c, [&](Vec2 p) { return std::fabs(SdCircle(p, centre, r)) - 0.9f; }, kInk);
    FillShape(c, [&](Vec2 p) { return SdCircle(p, centre, 1.6f); }, kInk);
    // The digit, light on a dark plate in the lower-right corner.
    FillShape(c, [](Vec2 p) { return SdBox(p, {30, 3}, {45, 22}, 2); }, kInk);
    DrawText(c, 33, 5, std::to_string(size), MakeRgb(250, 236, 190), 2);
    return c;
}

Canvas IconGround(const Canvas* tile) {
    Canvas c = Button();
    // The middle of the tile shrunk into a framed square.
    const int x0 = 6, y0 = 6, n = 36;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            Rgb sum{};
            if (tile) {
                for (int j = 0; j < 4; ++j)
                    for (int i = 0; i < 4; ++i) sum = Add(sum, tile->At(64 + x * 4 + i, 64 + y * 4 + j));
                sum = Scale(sum, 1.0f / 16.0f);
            } else {
                sum = MakeRgb(128, 128, 128);
            }
            c.At(x0 + x, y0 + y) = sum;
        }
    Bevel(c, x0 - 2, y0 - 2, x0 + n + 2, y0 + n + 2, 2, MakeRgb(255, 248, 226), MakeRgb(90, 70, 44), true);
    return c;
}

}  // namespace tg
