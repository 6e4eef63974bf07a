// Noise fields and colour rules of earth, meadow and snow. Feature sizes are
// in pixels of the 256-pixel tile; the terrain shows a quarter tile per grid
// cell at roughly 20-40 screen pixels and textures have no mipmaps, so the
// look is carried by features of 6 pixels and more, with fine grain kept
// faint.
#include "GroundMaterial.h"

#include "Noise.h"

#include <cmath>

namespace tg {

namespace {

// Unit gradient of an inner lattice point.
void InnerGradient(int i, int j, uint32_t seed, float& gx, float& gy) {
    float angle = HashUnit(uint32_t(i), uint32_t(j), seed) * 6.2831853f;
    gx = std::cos(angle);
    gy = std::sin(angle);
}

// Gradient component along an edge at lattice step s of `cells`: a random
// value for s below the middle, its negative mirrored above, 0 in the middle.
// Coarse lattices get weaker edge gradients: their shared profile would
// repeat along every tile edge as a visible grid of large blotches.
float EdgeGradient(int s, int cells, uint32_t seed) {
    if (2 * s == cells) return 0.0f;
    int k = 2 * s < cells ? s : cells - s;
    float gain = std::fmin(1.0f, float(cells) / 10.0f);
    float g = gain * std::cos(HashUnit(uint32_t(k), uint32_t(cells), seed) * 6.2831853f);
    return 2 * s < cells ? g : -g;
}

void LatticeGradient(int i, int j, int cells, uint32_t tileSeed, uint32_t edgeSeed,
                     float& gx, float& gy) {
    bool left = i == 0 || i == cells, bottom = j == 0 || j == cells;
    gx = gy = 0.0f;
    if (left && bottom) return;  // corner: flat
    if (left) {
        gy = EdgeGradient(j, cells, edgeSeed);
    } else if (bottom) {
        gx = EdgeGradient(i, cells, edgeSeed);
    } else {
        InnerGradient(i, j, tileSeed, gx, gy);
    }
}

float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

}  // namespace

int GroundIndex(char letter) {
    switch (letter) {
        case 'e': return 0;
        case 'w': return 1;
        case 's': return 2;
        default: return -1;
    }
}

float EdgeNoise(float px, float py, int cells, uint32_t tileSeed, uint32_t edgeSeed) {
    const float cell = float(kTileSize) / float(cells);
    float x = px / cell, y = py / cell;
    int i = std::min(std::max(int(std::floor(x)), 0), cells - 1);
    int j = std::min(std::max(int(std::floor(y)), 0), cells - 1);
    float tx = x - float(i), ty = y - float(j);
    float n[2][2];
    for (int b = 0; b < 2; ++b)
        for (int a = 0; a < 2; ++a) {
            float gx, gy;
            LatticeGradient(i + a, j + b, cells, tileSeed, edgeSeed, gx, gy);
            n[b][a] = gx * (tx - float(a)) + gy * (ty - float(b));
        }
    float sx = Fade(tx), sy = Fade(ty);
    return Lerp(Lerp(n[0][0], n[0][1], sx), Lerp(n[1][0], n[1][1], sx), sy) * 1.4142f;
}

float EdgeFbm(float px, float py, int cells, int octaves, uint32_t tileSeed, uint32_t edgeSeed) {
    float sum = 0.0f, amp = 1.0f, quad = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * EdgeNoise(px, py, cells << o, Hash(tileSeed, uint32_t(o)), Hash(edgeSeed, uint32_t(o)));
        quad += amp * amp;
        amp *= 0.5f;
    }
    return sum / std::sqrt(quad);
}

std::vector<MaterialPixel> PaintMaterial(char ground, uint32_t tileSeed) {
    const uint32_t edge = Hash(uint32_t(ground), 0xED6Eu);
    auto field = [&](int k, float px, float py, int cells, int octaves) {
        return EdgeFbm(px, py, cells, octaves, Hash(tileSeed, uint32_t(k)), Hash(edge, uint32_t(k)));
    };
    std::vector<MaterialPixel> out(size_t(kTileSize) * kTileSize);
    for (int y = 0; y < kTileSize; ++y)
        for (int x = 0; x < kTileSize; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            Rgb c;
            float h;
            if (ground == 'e') {
                float L = field(0, px, py, 3, 3);
                float M = field(1, px, py, 14, 3);
                float F = field(2, px, py, 40, 2);
                float S = field(3, px, py, 20, 2);
                float crack = field(4, px, py, 10, 2);
                float t = Clamp01(0.5f + 0.4f * L + 0.4f * M);
                c = Mix(MakeRgb(84, 60, 39), MakeRgb(150, 111, 72), t);
                c = Scale(c, 1.0f + 0.09f * F);
                // Dry cracks along the zero line of one field, clods between.
                float line = 1.0f - SmoothStep(0.02f, 0.09f, std::fabs(crack) + 0.04f * (M + 0.6f));
                c = Mix(c, MakeRgb(62, 43, 28), 0.5f * line);
                // Small stones where the spot field peaks, with a dark rim.
                float stone = SmoothStep(0.64f, 0.72f, S);
                float rim = SmoothStep(0.52f, 0.64f, S) - stone;
                c = Scale(c, 1.0f - 0.35f * rim);
                c = Mix(c, Scale(MakeRgb(142, 130, 112), 0.9f + 0.25f * M), stone);
                h = Clamp01(0.5f + 0.6f * M + 0.2f * stone);
            } else if (ground == 'w') {
                float L = field(0, px, py, 3, 3);
                float M = field(1, px, py, 20, 3);
                float S = field(3, px, py, 50, 1);
                // Blades: thin bright ridges of two fine fields, dark gaps
                // between them.
                float r1 = 1.0f - std::fabs(field(2, px, py, 48, 1));
                float r2 = 1.0f - std::fabs(field(6, px, py, 80, 1));
                float F = (r1 * r1 * r1 + r2 * r2 * r2) - 0.75f;
                float t = Clamp01(0.5f + 0.35f * L + 0.45f * M);
                c = Mix(MakeRgb(40, 80, 23), MakeRgb(100, 148, 44), t);
                float dry = SmoothStep(0.2f, 0.8f, 0.5f * L + 0.8f * M);
                c = Mix(c, MakeRgb(134, 150, 62), 0.3f * dry);
                c = Scale(c, 1.0f + 0.3f * F);
                float flower = SmoothStep(0.80f, 0.86f, S);
                Rgb bloom = M > 0.0f ? MakeRgb(236, 222, 96) : MakeRgb(240, 240, 232);
                c = Mix(c, bloom, 0.85f * flower);
                h = Clamp01(0.5f + 0.45f * M + 0.3f * F);
            } else {
                float L = field(0, px, py, 2, 3);
                float M = field(1, px, py, 10, 3);
                float F = field(2, px, py, 36, 2);
                float t = Clamp01(0.8f + 0.25f * L + 0.25f * M);
                c = Mix(MakeRgb(186, 200, 228), MakeRgb(246, 249, 253), t);
                // Hollows between drifts turn a little blue.
                c = Mix(c, MakeRgb(178, 196, 230), 0.5f * SmoothStep(0.1f, -0.9f, M + 0.3f * L));
                c = Scale(c, 1.0f + 0.025f * F);
                h = Clamp01(0.5f + 0.3f * L + 0.35f * M);
            }
            out[size_t(y) * kTileSize + x] = MaterialPixel{c, h};
        }
    return out;
}

}  // namespace tg
