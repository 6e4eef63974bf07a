// Signed distance functions and rectangle helpers for the painters.
#include "Paint.h"

namespace tg {

static float Length(float x, float y) { return std::sqrt(x * x + y * y); }

float SdCircle(Vec2 p, Vec2 centre, float radius) {
    return Length(p.x - centre.x, p.y - centre.y) - radius;
}

float SdBox(Vec2 p, Vec2 lo, Vec2 hi, float cornerRadius) {
    float cx = (lo.x + hi.x) * 0.5f, cy = (lo.y + hi.y) * 0.5f;
    float hx = (hi.x - lo.x) * 0.5f - cornerRadius, hy = (hi.y - lo.y) * 0.5f - cornerRadius;
    float qx = std::fabs(p.x - cx) - hx, qy = std::fabs(p.y - cy) - hy;
    float outside = Length(std::max(qx, 0.0f), std::max(qy, 0.0f));
    float inside = std::min(std::max(qx, qy), 0.0f);
    return outside + inside - cornerRadius;
}

float SdSegment(Vec2 p, Vec2 a, Vec2 b, float halfWidth) {
    float px = p.x - a.x, py = p.y - a.y, bx = b.x - a.x, by = b.y - a.y;
    float len2 = bx * bx + by * by;
    float h = len2 > 0.0f ? std::clamp((px * bx + py * by) / len2, 0.0f, 1.0f) : 0.0f;
    return Length(px - bx * h, py - by * h) - halfWidth;
}

float SdPolygon(Vec2 p, const std::vector<Vec2>& v) {
    size_t n = v.size();
    float d = 1e30f;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        float ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
        float wx = p.x - v[i].x, wy = p.y - v[i].y;
        float len2 = ex * ex + ey * ey;
        float h = len2 > 0.0f ? std::clamp((wx * ex + wy * ey) / len2, 0.0f, 1.0f) : 0.0f;
        float bx = wx - ex * h, by = wy - ey * h;
        d = std::min(d, bx * bx + by * by);
        // Even-odd crossing test on the edge from v[i] to v[j].
        bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = ex * wy > ey * wx;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) inside = !inside;
    }
    float dist = std::sqrt(d);
    return inside ? -dist : dist;
}

void FillRect(Canvas& c, int x0, int y0, int x1, int y1, Rgb colour) {
    for (int y = std::max(y0, 0); y < std::min(y1, c.height); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, c.width); ++x) c.Blend(x, y, colour, 1.0f);
}

void Bevel(Canvas& c, int x0, int y0, int x1, int y1, int width, Rgb light, Rgb dark, bool sunken) {
    if (sunken) std::swap(light, dark);
    for (int i = 0; i < width; ++i) {
        float k = 1.0f - 0.25f * float(i) / float(std::max(width, 1));
        for (int x = x0 + i; x < x1 - i; ++x) {
            c.Blend(x, y1 - 1 - i, light, 0.8f * k);  // top
            c.Blend(x, y0 + i, dark, 0.8f * k);       // bottom
        }
        for (int y = y0 + i + 1; y < y1 - 1 - i; ++y) {
            c.Blend(x0 + i, y, light, 0.8f * k);      // left
            c.Blend(x1 - 1 - i, y, dark, 0.8f * k);   // right
        }
    }
}

}  // namespace tg
