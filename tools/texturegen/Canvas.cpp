// Float picture helpers: mixing, sampling, compositing and byte conversion.
// Layout and units as in Canvas.h (bottom row first, 0..1 channels).
#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace tg {

Rgb Mix(Rgb a, Rgb b, float t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(Rgb a, float k) { return Rgb{a.r * k, a.g * k, a.b * k}; }

Rgb Add(Rgb a, Rgb b) { return Rgb{a.r + b.r, a.g + b.g, a.b + b.b}; }

Canvas::Canvas(int w, int h, Rgb fill)
    : width(w), height(h), colour(static_cast<size_t>(w) * h, fill) {}

void Canvas::EnableAlpha(float initial) {
    alpha.assign(static_cast<size_t>(width) * height, initial);
}

Rgb Canvas::Sample(float x, float y) const {
    float fx = std::clamp(x - 0.5f, 0.0f, float(width - 1));
    float fy = std::clamp(y - 0.5f, 0.0f, float(height - 1));
    int x0 = int(fx), y0 = int(fy);
    int x1 = std::min(x0 + 1, width - 1), y1 = std::min(y0 + 1, height - 1);
    float tx = fx - x0, ty = fy - y0;
    Rgb bottom = Mix(At(x0, y0), At(x1, y0), tx);
    Rgb top = Mix(At(x0, y1), At(x1, y1), tx);
    return Mix(bottom, top, ty);
}

float Canvas::SampleAlpha(float x, float y) const {
    if (alpha.empty()) return 1.0f;
    float fx = std::clamp(x - 0.5f, 0.0f, float(width - 1));
    float fy = std::clamp(y - 0.5f, 0.0f, float(height - 1));
    int x0 = int(fx), y0 = int(fy);
    int x1 = std::min(x0 + 1, width - 1), y1 = std::min(y0 + 1, height - 1);
    float tx = fx - x0, ty = fy - y0;
    float bottom = AlphaAt(x0, y0) + (AlphaAt(x1, y0) - AlphaAt(x0, y0)) * tx;
    float top = AlphaAt(x0, y1) + (AlphaAt(x1, y1) - AlphaAt(x0, y1)) * tx;
    return bottom + (top - bottom) * ty;
}

void Canvas::Blend(int x, int y, Rgb c, float cover) {
    if (!Inside(x, y) || cover <= 0.0f) return;
    cover = std::min(cover, 1.0f);
    Rgb& dst = At(x, y);
    if (!alpha.empty()) {
        // Over a transparent pixel the new colour wins outright, so that
        // filtered edges do not pick up the colour of invisible texels.
        float a = AlphaAt(x, y);
        float k = a > 0.0f ? cover / (cover + a * (1.0f - cover)) : 1.0f;
        dst = Mix(dst, c, k);
        AlphaAt(x, y) = a + cover * (1.0f - a);
    } else {
        dst = Mix(dst, c, cover);
    }
}

void Canvas::Paste(const Canvas& src, int x, int y) {
    for (int sy = 0; sy < src.height; ++sy)
        for (int sx = 0; sx < src.width; ++sx) {
            int tx = x + sx, ty = y + sy;
            if (!Inside(tx, ty)) continue;
            At(tx, ty) = src.At(sx, sy);
            if (HasAlpha()) AlphaAt(tx, ty) = src.AlphaAt(sx, sy);
        }
}

static uint8_t ToByte(float v) {
    float s = std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f;
    return static_cast<uint8_t>(s);
}

std::vector<uint8_t> ToRgbBytes(const Canvas& c) {
    std::vector<uint8_t> out;
    out.reserve(c.colour.size() * 3);
    for (const Rgb& p : c.colour) {
        out.push_back(ToByte(p.r));
        out.push_back(ToByte(p.g));
        out.push_back(ToByte(p.b));
    }
    return out;
}

std::vector<uint8_t> ToAlphaMaskBytes(const Canvas& c) {
    std::vector<uint8_t> out;
    size_t n = c.colour.size();
    out.reserve(n * 3);
    for (size_t i = 0; i < n; ++i) {
        float a = c.alpha.empty() ? 1.0f : c.alpha[i];
        uint8_t v = ToByte(1.0f - a);
        out.push_back(v);
        out.push_back(v);
        out.push_back(v);
    }
    return out;
}

Canvas Downscale(const Canvas& src, int factor) {
    Canvas out(src.width / factor, src.height / factor, Rgb{});
    if (src.HasAlpha()) out.EnableAlpha(0.0f);
    float inv = 1.0f / float(factor * factor);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            Rgb sum{};
            float a = 0.0f;
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i) {
                    sum = Add(sum, src.At(x * factor + i, y * factor + j));
                    a += src.AlphaAt(x * factor + i, y * factor + j);
                }
            out.At(x, y) = Scale(sum, inv);
            if (out.HasAlpha()) out.AlphaAt(x, y) = a * inv;
        }
    return out;
}

}  // namespace tg
