// Hash-based noise. Lattice gradients come from an integer hash of the
// (wrapped) lattice point and the seed; nothing depends on global state.
#include "Noise.h"

#include <cmath>

namespace tg {

uint32_t Hash(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float HashUnit(uint32_t a, uint32_t b, uint32_t c) {
    return float(Hash(a, b, c) >> 8) * (1.0f / 16777216.0f);
}

uint32_t Rng::Next() {
    state_ += 0x9E3779B9u;
    uint32_t z = state_;
    z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
    z = (z ^ (z >> 13)) * 0xC2B2AE35u;
    return z ^ (z >> 16);
}

float Rng::Unit() { return float(Next() >> 8) * (1.0f / 16777216.0f); }

float Rng::Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }

int Rng::Int(int lo, int hiInclusive) {
    uint32_t span = uint32_t(hiInclusive - lo + 1);
    return lo + int(Next() % span);
}

float SmoothStep(float edge0, float edge1, float v) {
    float t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

static int Wrap(int v, int period) {
    if (period <= 0) return v;
    int m = v % period;
    return m < 0 ? m + period : m;
}

// 256 unit gradients around the circle, built once on first use.
static const float* GradientTable() {
    static float table[512];
    static bool built = false;
    if (!built) {
        for (int i = 0; i < 256; ++i) {
            double angle = 6.283185307179586 * (i + 0.5) / 256.0;
            table[2 * i] = float(std::cos(angle));
            table[2 * i + 1] = float(std::sin(angle));
        }
        built = true;
    }
    return table;
}

// Dot product of a lattice point's unit gradient with the offset (dx, dy).
static float Corner(const float* table, int ix, int iy, float dx, float dy, uint32_t seed) {
    uint32_t h = Hash(uint32_t(ix), uint32_t(iy), seed) >> 24;
    return table[2 * h] * dx + table[2 * h + 1] * dy;
}

float GradientNoise(float x, float y, uint32_t seed, int periodX, int periodY) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    int x0 = Wrap(ix, periodX), x1 = Wrap(ix + 1, periodX);
    int y0 = Wrap(iy, periodY), y1 = Wrap(iy + 1, periodY);
    const float* table = GradientTable();
    float n00 = Corner(table, x0, y0, tx, ty, seed);
    float n10 = Corner(table, x1, y0, tx - 1.0f, ty, seed);
    float n01 = Corner(table, x0, y1, tx, ty - 1.0f, seed);
    float n11 = Corner(table, x1, y1, tx - 1.0f, ty - 1.0f, seed);
    // Quintic fade keeps the second derivative continuous.
    float sx = tx * tx * tx * (tx * (tx * 6.0f - 15.0f) + 10.0f);
    float sy = ty * ty * ty * (ty * (ty * 6.0f - 15.0f) + 10.0f);
    float bottom = Lerp(n00, n10, sx);
    float top = Lerp(n01, n11, sx);
    return Lerp(bottom, top, sy) * 1.4142f;
}

float Fbm(float x, float y, uint32_t seed, int octaves, float gain, int period) {
    float sum = 0.0f, amp = 1.0f, freq = 1.0f;
    for (int o = 0; o < octaves; ++o) {
        int p = period > 0 ? period << o : 0;
        sum += amp * GradientNoise(x * freq, y * freq, seed + 1013u * uint32_t(o), p, p);
        amp *= gain;
        freq *= 2.0f;
    }
    // Independent octaves add in quadrature; scale back to one octave's range.
    float quad = 0.0f;
    amp = 1.0f;
    for (int o = 0; o < octaves; ++o) {
        quad += amp * amp;
        amp *= gain;
    }
    return sum / std::sqrt(quad);
}

float TileFbm(float u, float v, int cellsX, int cellsY, uint32_t seed, int octaves, float gain) {
    float sum = 0.0f, amp = 1.0f, quad = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        int cx = cellsX << o, cy = cellsY << o;
        sum += amp * GradientNoise(u * cx, v * cy, seed + 1013u * uint32_t(o), cx, cy);
        quad += amp * amp;
        amp *= gain;
    }
    return sum / std::sqrt(quad);
}

}  // namespace tg
