// Vector-style painting on a Canvas through signed distance functions.
//
// Conventions: coordinates are in pixels of the canvas, y upward, pixel
// centres at +0.5. A shape is a signed distance (negative inside, in pixels);
// its coverage of a pixel is clamp(0.5 - distance, 0, 1), which gives one
// pixel of antialiasing. Shapes are painted "over" the canvas (Canvas::Blend).
#pragma once

#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tg {

struct Vec2 {
    float x = 0, y = 0;
};

float SdCircle(Vec2 p, Vec2 centre, float radius);
float SdBox(Vec2 p, Vec2 lo, Vec2 hi, float cornerRadius = 0.0f);
float SdSegment(Vec2 p, Vec2 a, Vec2 b, float halfWidth);
// Polygon of any shape (even-odd rule), vertices in order.
float SdPolygon(Vec2 p, const std::vector<Vec2>& poly);

// Calls paint(x, y, coverage) for every pixel of the box [x0, x1) x [y0, y1)
// that the shape touches.
template <class Sdf, class Paint>
void ForEachCovered(const Canvas& c, int x0, int y0, int x1, int y1, Sdf sdf, Paint paint) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, c.width);
    y1 = std::min(y1, c.height);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            float d = sdf(Vec2{x + 0.5f, y + 0.5f});
            float cover = std::clamp(0.5f - d, 0.0f, 1.0f);
            if (cover > 0.0f) paint(x, y, cover);
        }
}

// Fills a shape with one colour, over the whole canvas.
template <class Sdf>
void FillShape(Canvas& c, Sdf sdf, Rgb colour, float opacity = 1.0f) {
    ForEachCovered(c, 0, 0, c.width, c.height, sdf,
                   [&](int x, int y, float cover) { c.Blend(x, y, colour, cover * opacity); });
}

// Fills a shape whose colour varies per pixel: shade(x, y) -> Rgb.
template <class Sdf, class Shade>
void ShadeShape(Canvas& c, Sdf sdf, Shade shade, float opacity = 1.0f) {
    ForEachCovered(c, 0, 0, c.width, c.height, sdf,
                   [&](int x, int y, float cover) { c.Blend(x, y, shade(x, y), cover * opacity); });
}

void FillRect(Canvas& c, int x0, int y0, int x1, int y1, Rgb colour);
// Raised (or, with `sunken`, recessed) bevel of `width` pixels just inside
// the rectangle: light on the top and left, dark on the bottom and right.
void Bevel(Canvas& c, int x0, int y0, int x1, int y1, int width, Rgb light, Rgb dark,
           bool sunken = false);

}  // namespace tg
