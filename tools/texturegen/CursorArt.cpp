// The wooden arrow pointer: the classic arrow outline, wood grain along its
// axis, a dark rim, a lit bevel and a soft drop shadow in the alpha.
#include "CursorArt.h"

#include "Noise.h"
#include "Paint.h"

#include <cmath>

namespace tg {

PackEntry PaintCursor() {
    Canvas c(256, 256, MakeRgb(96, 62, 34));
    c.EnableAlpha(0.0f);
    // Outline in pointer units (x right, y down from the tip), scaled.
    const float k = 1.05f;
    const Vec2 tip{float(kCursorHotX), float(kCursorHotY + 1)};
    const float pts[7][2] = {{0, 0}, {0, 36}, {9, 28}, {15, 42}, {21, 39}, {15, 26}, {27, 26}};
    std::vector<Vec2> arrow;
    for (const auto& p : pts) arrow.push_back({tip.x + p[0] * k, tip.y - p[1] * k});
    // The outline grows by a pixel so the very tip pixel is fully covered.
    auto shape = [&](Vec2 p) { return SdPolygon(p, arrow) - 0.9f; };

    // Soft shadow down and to the right: partial alpha only.
    const int x0 = 0, y0 = 192, x1 = 64, y1 = 256;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            float d = shape(Vec2{x + 0.5f - 3.0f, y + 0.5f + 3.0f});
            float a = 0.45f * (1.0f - SmoothStep(-1.5f, 2.5f, d));
            if (a > 0.0f) c.Blend(x, y, MakeRgb(10, 6, 2), a);
        }
    // Body: grain along the arrow's axis (down and to the right).
    const float ax = 0.45f, ay = -0.89f;
    ForEachCovered(c, x0, y0, x1, y1, shape, [&](int x, int y, float cover) {
        float px = x + 0.5f - tip.x, py = y + 0.5f - tip.y;
        float along = px * ax + py * ay, across = -px * ay + py * ax;
        float grain = std::sin(across * 1.3f + 2.5f * Fbm(along / 12.0f, across / 12.0f, 401u, 2));
        float fibre = Fbm(along / 6.0f, across / 1.2f, 402u, 2);
        Rgb wood = Mix(MakeRgb(120, 72, 36), MakeRgb(206, 150, 90), Clamp01(0.5f + 0.2f * grain + 0.25f * fibre));
        // Bevel: lit near the upper-left edges, dark rim everywhere.
        float inside = -shape(Vec2{x + 0.5f, y + 0.5f});
        float litSide = -shape(Vec2{x + 0.5f + 1.5f, y + 0.5f - 1.5f});
        if (litSide < 0.0f) wood = Mix(wood, MakeRgb(246, 210, 150), 0.55f);
        wood = Mix(MakeRgb(46, 24, 10), wood, SmoothStep(0.6f, 1.8f, inside));
        c.Blend(x, y, wood, cover);
    });
    return PackEntry{"cursor/cursor_wood", c, false};
}

}  // namespace tg
