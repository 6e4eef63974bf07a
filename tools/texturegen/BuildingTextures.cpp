// House and water tower textures. Sizes in pixels of the picture; the house
// wall spans u 0.1..0.9 (x 25.6..230.4) and v 0..0.5 (y 0..128), its gable
// the triangle (0.1, 0.5), (0.9, 0.5), (0.5, 1); the thatch runs from the
// eave (v = 0) up to the ridge (v = 1) along y.
#include "BuildingTextures.h"

#include "Noise.h"
#include "Paint.h"

#include <cmath>

namespace tg {

namespace {

// Wood colour with grain running along `along` (pixels), across `across`.
Rgb WoodGrain(float along, float across, uint32_t seed, Rgb dark, Rgb light) {
    float warp = Fbm(along / 40.0f, across / 40.0f, seed ^ 0x77u, 2);
    float rings = std::sin((across / 3.2f + 3.0f * warp) * 2.0f);
    float fibre = Fbm(across / 1.5f, along / 18.0f, seed, 2);
    float t = Clamp01(0.5f + 0.25f * rings + 0.35f * fibre);
    return Mix(dark, light, t);
}

}  // namespace

Canvas PaintHalfTimberedWall() {
    const int S = 256;
    Canvas c(S, S, Rgb{});
    // Plaster: warm white, faint blotches, a little dirt towards the ground.
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            float n = Fbm(x / 20.0f, y / 20.0f, 11u, 3), f = Fbm(x / 3.0f, y / 3.0f, 12u, 1);
            Rgb p = Mix(MakeRgb(206, 194, 168), MakeRgb(236, 228, 206), Clamp01(0.6f + 0.4f * n));
            p = Scale(p, 1.0f + 0.035f * f);
            float dirt = (1.0f - SmoothStep(0.0f, 40.0f, float(y % 128))) * Clamp01(0.5f + n);
            c.At(x, y) = Mix(p, MakeRgb(150, 132, 104), 0.35f * dirt);
        }
    const Rgb timberDark = MakeRgb(52, 34, 22), timberLight = MakeRgb(98, 66, 42);
    auto beam = [&](Vec2 a, Vec2 b, float halfWidth, uint32_t seed) {
        float dx = b.x - a.x, dy = b.y - a.y, len = std::sqrt(dx * dx + dy * dy);
        float ux = dx / len, uy = dy / len;
        auto sdf = [&](Vec2 p) {
            // Square-ended beam: box in the beam's own frame.
            float along = (p.x - a.x) * ux + (p.y - a.y) * uy;
            float across = -(p.x - a.x) * uy + (p.y - a.y) * ux;
            float qa = std::fabs(along - len * 0.5f) - len * 0.5f, qc = std::fabs(across) - halfWidth;
            return std::fmax(qa, qc);
        };
        ShadeShape(c, sdf, [&](int x, int y) {
            float along = (x + 0.5f - a.x) * ux + (y + 0.5f - a.y) * uy;
            float across = -(x + 0.5f - a.x) * uy + (y + 0.5f - a.y) * ux;
            Rgb w = WoodGrain(along, across + 40.0f, seed, timberDark, timberLight);
            // Rounded-off edges: darker towards the sides of the beam.
            float edge = std::fabs(across) / halfWidth;
            return Scale(w, 1.0f - 0.35f * SmoothStep(0.6f, 1.0f, edge));
        });
    };
    // Wall frame (y 0..128): sill, top plate, posts, a rail, braces.
    const float L = 25.6f, R = 230.4f, M = 128.0f;
    beam({L, 5}, {R, 5}, 5.5f, 1u);
    beam({L, 122}, {R, 122}, 5.5f, 2u);
    for (float x : {L + 5.0f, 77.0f, M, 179.0f, R - 5.0f}) beam({x, 0}, {x, 128}, 5.0f, uint32_t(x));
    beam({L, 64}, {77, 64}, 4.0f, 3u);
    beam({179, 64}, {R, 64}, 4.0f, 4u);
    beam({L + 8, 10}, {74, 60}, 4.0f, 5u);   // braces in the outer bays
    beam({R - 8, 10}, {182, 60}, 4.0f, 6u);
    // Window between the middle posts: frame, panes, cross bars.
    for (float x0 : {82.0f, 133.0f}) {
        float x1 = x0 + 41.0f;
        FillShape(c, [&](Vec2 p) { return SdBox(p, {x0 + 2, 44}, {x1 - 2, 104}); }, MakeRgb(86, 58, 36));
        ShadeShape(c, [&](Vec2 p) { return SdBox(p, {x0 + 6, 48}, {x1 - 6, 100}); },
                   [&](int x, int y) {
                       float g = Clamp01(0.4f + 0.6f * float(y - 48) / 52.0f - 0.2f * float(x - x0) / 41.0f);
                       return Mix(MakeRgb(34, 48, 62), MakeRgb(120, 150, 170), g * g);
                   });
        FillShape(c, [&](Vec2 p) { return SdBox(p, {x0 + 18.5f, 48}, {x1 - 18.5f, 100}); }, MakeRgb(86, 58, 36));
        FillShape(c, [&](Vec2 p) { return SdBox(p, {x0 + 6, 72}, {x1 - 6, 76}); }, MakeRgb(86, 58, 36));
        FillShape(c, [&](Vec2 p) { return SdBox(p, {x0, 40}, {x1, 46}); }, MakeRgb(70, 48, 30));  // sill
    }
    // Gable (the triangle above y = 128): rafters, king post, collar, struts.
    beam({L + 2, 131}, {M, 250}, 6.0f, 7u);
    beam({R - 2, 131}, {M, 250}, 6.0f, 8u);
    beam({L, 133}, {R, 133}, 5.0f, 9u);
    beam({M, 128}, {M, 244}, 5.0f, 10u);
    beam({L + 50, 186}, {R - 50, 186}, 4.5f, 11u);
    beam({M - 4, 140}, {L + 52, 182}, 3.5f, 12u);
    beam({M + 4, 140}, {R - 52, 182}, 3.5f, 13u);
    return c;
}

Canvas PaintThatch() {
    const int S = 256, course = 32;
    Canvas c(S, S, Rgb{});
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            int row = y / course;
            float t = float(y % course) / course;  // 0 at a course's lower (butt) end
            // Straw: long thin strands, shifted per course.
            float strand = Fbm(x / 1.6f + row * 13.0f, y / 26.0f, 21u, 2);
            float strand2 = Fbm(x / 4.0f + row * 5.0f, y / 40.0f, 22u, 2);
            float tone = Clamp01(0.55f + 0.35f * strand + 0.25f * strand2);
            Rgb straw = Mix(MakeRgb(120, 92, 48), MakeRgb(206, 174, 102), tone);
            // Each course's butt ends cast a shadow on the course below:
            // darkest at the bottom of a course, lit towards its top.
            float butt = SmoothStep(0.0f, 0.35f, t) * (0.8f + 0.2f * t);
            float ragged = Fbm(x / 3.0f, row * 3.1f, 23u, 1) * 0.12f;
            straw = Scale(straw, 0.55f + 0.45f * Clamp01(butt + ragged));
            // Weathering: grey-green moss in large soft patches.
            float moss = SmoothStep(0.35f, 0.8f, Fbm(x / 50.0f, y / 50.0f, 24u, 3));
            straw = Mix(straw, MakeRgb(96, 100, 70), 0.45f * moss);
            // Ridge cap.
            float ridge = SmoothStep(232.0f, 238.0f, float(y));
            Rgb cap = Scale(MakeRgb(104, 82, 50), 0.85f + 0.2f * strand2);
            c.At(x, y) = Mix(straw, cap, ridge);
        }
    return c;
}

Canvas PaintTankPlanks() {
    const int S = 256, plank = 64;
    Canvas c(S, S, Rgb{});
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            int k = x / plank;
            float across = float(x % plank);
            // Periodic grain: x wraps with the planks, y with the tile.
            float u = float(x) / S, v = float(y) / S;
            float fibre = TileFbm(u, v, 64, 4, 31u + uint32_t(k), 3);
            float knot = TileFbm(u, v, 8, 2, 33u, 2);
            float rings = std::sin(across * 0.7f + 6.0f * knot + float(k) * 1.7f);
            float tone = Clamp01(0.5f + 0.15f * rings + 0.3f * fibre + 0.12f * float(k % 3 - 1));
            Rgb wood = Mix(MakeRgb(92, 62, 38), MakeRgb(158, 116, 74), tone);
            // Dark joint between planks, slightly rounded plank edges.
            float edge = std::fmin(across, plank - 1 - across);
            wood = Scale(wood, 0.55f + 0.45f * SmoothStep(0.0f, 4.0f, edge));
            // An iron hoop once per tile (four around the tank's height).
            float hoop = 1.0f - SmoothStep(7.0f, 9.0f, std::fabs(float(y) - 118.0f));
            Rgb iron = Scale(MakeRgb(70, 70, 74), 0.8f + 0.4f * (1.0f - std::fabs(float(y) - 118.0f) / 9.0f));
            c.At(x, y) = Mix(wood, iron, hoop);
        }
    // Rivets on the hoop, one per plank.
    for (int k = 0; k < S / plank; ++k) {
        Vec2 centre{float(k * plank + plank / 2), 118.0f};
        ShadeShape(c, [&](Vec2 p) { return SdCircle(p, centre, 3.2f); }, [&](int x, int y) {
            float lit = Clamp01(0.5f + 0.25f * (float(y) - centre.y) - 0.1f * (float(x) - centre.x));
            return Mix(MakeRgb(40, 40, 44), MakeRgb(150, 150, 156), lit);
        });
    }
    return c;
}

Canvas PaintTankRoof() {
    const int S = 256;
    Canvas c(S, S, Rgb{});
    const float pi = 3.14159265f;
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            float dx = x + 0.5f - S / 2, dy = y + 0.5f - S / 2;
            float r = std::sqrt(dx * dx + dy * dy) / (S / 2);  // 0 apex .. 1 rim
            float a = std::atan2(dy, dx) / (2 * pi) + 0.5f;     // 0..1 around
            // Shingles in rings; each ring's joints are offset by half.
            int ring = int(r * 9.0f);
            float inRing = r * 9.0f - float(ring);
            int count = 12 + ring * 6;
            float around = a * count + (ring % 2) * 0.5f;
            float inShingle = around - std::floor(around);
            int id = int(std::floor(around));
            float tone = 0.45f + 0.3f * HashUnit(uint32_t(ring), uint32_t(id % count), 41u) +
                         0.15f * Fbm(x / 3.0f, y / 3.0f, 42u, 2);
            Rgb shingle = Mix(MakeRgb(70, 46, 34), MakeRgb(150, 96, 66), Clamp01(tone));
            // Lower edge of each shingle throws a shadow; joints are dark.
            shingle = Scale(shingle, 0.6f + 0.4f * SmoothStep(0.0f, 0.3f, inRing));
            float joint = std::fmin(inShingle, 1.0f - inShingle);
            shingle = Scale(shingle, 0.65f + 0.35f * SmoothStep(0.0f, 0.08f, joint));
            // Metal cap at the apex.
            float cap = 1.0f - SmoothStep(0.085f, 0.1f, r);
            Rgb metal = Mix(MakeRgb(60, 62, 66), MakeRgb(150, 152, 158), Clamp01(0.5f + dx / 40.0f));
            c.At(x, y) = Mix(shingle, metal, cap);
        }
    return c;
}

Canvas PaintLegWood() {
    const int S = 128;
    Canvas c(S, S, Rgb{});
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            float u = float(x) / S, v = float(y) / S;
            float fibre = TileFbm(u, v, 40, 3, 51u, 3);
            float warp = TileFbm(u, v, 4, 2, 52u, 2);
            float rings = std::sin((u * 6.0f + 0.6f * warp) * 2.0f * 3.14159265f);
            float tone = Clamp01(0.5f + 0.2f * rings + 0.3f * fibre);
            c.At(x, y) = Mix(MakeRgb(96, 66, 40), MakeRgb(164, 120, 78), tone);
        }
    return c;
}

}  // namespace tg
