// Noise fields and colour rules of earth, meadow and snow. Field scales are
// in pixels of the 256-pixel tile; the terrain shows a quarter tile per grid
// cell at roughly 20-40 screen pixels, and textures have no mipmaps, so the
// look is carried by features of 6 pixels and more, with fine grain kept
// faint.
#include "GroundMaterial.h"

#include "Noise.h"

#include <cmath>

namespace tg {

namespace {

struct FieldSpec {
    float scale;     // feature size in pixels
    int octaves;
    float borderAmp; // amplitude of the field where the border field rules
};

// Per ground: large patches, mid detail, fine grain, spots.
const FieldSpec kSpecs[3][kFieldCount] = {
    {{96, 3, 0.45f}, {18, 3, 1.0f}, {6, 2, 1.0f}, {7, 2, 1.0f}},   // earth
    {{90, 3, 0.45f}, {13, 3, 1.0f}, {4, 2, 1.0f}, {5, 1, 1.0f}},   // meadow
    {{110, 3, 0.45f}, {28, 3, 1.0f}, {9, 2, 1.0f}, {4, 1, 1.0f}},  // snow
};

float SmoothAbs(float v, float k) { return std::sqrt(v * v + k * k); }

// Folds a tile position into the triangle "distance to nearest edge, distance
// to the other edge". The folds are rounded so that the result is smooth; it
// is invariant under the symmetries of the square and mirrors across edges.
void Fold(float px, float py, float& a, float& b) {
    const float half = kTileSize * 0.5f;
    float dx = SmoothAbs(half - SmoothAbs(px - half, 3.0f), 2.0f);
    float dy = SmoothAbs(half - SmoothAbs(py - half, 3.0f), 2.0f);
    float s = std::sqrt((dx - dy) * (dx - dy) + 36.0f);
    a = (dx + dy - s) * 0.5f;
    b = (dx + dy + s) * 0.5f;
}

// Weight of the border field: 1 near the outer edges, 0 in the middle.
float BorderWeight(int x, int y) {
    float px = x + 0.5f, py = y + 0.5f;
    float e = std::fmin(std::fmin(px, kTileSize - px), std::fmin(py, kTileSize - py));
    return 1.0f - SmoothStep(8.0f, 60.0f, e);
}

uint32_t FieldSeed(char ground, int field) {
    return Hash(uint32_t(ground), uint32_t(field), 0xB0DE5EEDu);
}

// Reflecting index: pixel -k mirrors to k - 1, the way the border field
// continues into a neighbouring tile.
int Reflect(int v) {
    if (v < 0) return -v - 1;
    if (v >= kTileSize) return 2 * kTileSize - v - 1;
    return v;
}

// Rotation-invariant relief: the field minus its average over a ring of
// `radius` pixels. Positive on bumps, negative in hollows.
float Relief(const std::vector<float>& h, int x, int y, int radius) {
    int r2 = radius * 7 / 10;
    const int off[8][2] = {{radius, 0}, {-radius, 0}, {0, radius}, {0, -radius},
                           {r2, r2}, {-r2, r2}, {r2, -r2}, {-r2, -r2}};
    float sum = 0.0f;
    for (const auto& o : off) sum += h[size_t(Reflect(y + o[1])) * kTileSize + Reflect(x + o[0])];
    return h[size_t(y) * kTileSize + x] - sum / 8.0f;
}

}  // namespace

int GroundIndex(char letter) {
    switch (letter) {
        case 'e': return 0;
        case 'w': return 1;
        case 's': return 2;
        default: return -1;
    }
}

FieldSet BorderFields(char ground) {
    const FieldSpec* spec = kSpecs[GroundIndex(ground)];
    FieldSet out;
    for (int f = 0; f < kFieldCount; ++f) {
        out.field[f].resize(size_t(kTileSize) * kTileSize);
        uint32_t seed = FieldSeed(ground, f);
        for (int y = 0; y < kTileSize; ++y)
            for (int x = 0; x < kTileSize; ++x) {
                float a, b;
                Fold(x + 0.5f, y + 0.5f, a, b);
                out.field[f][size_t(y) * kTileSize + x] =
                    Fbm(a / spec[f].scale + 17.0f, b / spec[f].scale + 5.0f, seed, spec[f].octaves);
            }
    }
    return out;
}

FieldSet TileFields(char ground, uint32_t seed, const FieldSet& border) {
    const FieldSpec* spec = kSpecs[GroundIndex(ground)];
    FieldSet out;
    for (int f = 0; f < kFieldCount; ++f) {
        out.field[f].resize(size_t(kTileSize) * kTileSize);
        uint32_t s = Hash(seed, uint32_t(f), uint32_t(ground));
        for (int y = 0; y < kTileSize; ++y)
            for (int x = 0; x < kTileSize; ++x) {
                size_t i = size_t(y) * kTileSize + x;
                float w = BorderWeight(x, y);
                float own = 0.0f;
                if (w < 1.0f)
                    own = Fbm((x + 0.5f) / spec[f].scale, (y + 0.5f) / spec[f].scale, s, spec[f].octaves);
                // Mixing two independent fields lowers their spread; the
                // divisor restores it so the blend band does not show.
                float v = (w * border.field[f][i] + (1.0f - w) * own) /
                          std::sqrt(w * w + (1.0f - w) * (1.0f - w));
                out.field[f][i] = v * Lerp(1.0f, spec[f].borderAmp, w);
            }
    }
    return out;
}

std::vector<MaterialPixel> ShadeMaterial(char ground, const FieldSet& fs) {
    const size_t n = size_t(kTileSize) * kTileSize;
    std::vector<MaterialPixel> out(n);
    // Relief source: mid detail plus some fine grain.
    std::vector<float> relief(n);
    for (size_t i = 0; i < n; ++i) relief[i] = 0.65f * fs.field[1][i] + 0.35f * fs.field[2][i];

    for (int y = 0; y < kTileSize; ++y)
        for (int x = 0; x < kTileSize; ++x) {
            size_t i = size_t(y) * kTileSize + x;
            float L = fs.field[0][i], M = fs.field[1][i], F = fs.field[2][i], S = fs.field[3][i];
            Rgb c;
            float h;
            if (ground == 'e') {
                float t = Clamp01(0.5f + 0.55f * L + 0.35f * M);
                c = Mix(MakeRgb(82, 58, 38), MakeRgb(150, 110, 72), t);
                float cav = Relief(relief, x, y, 4);
                c = Scale(c, 1.0f + 1.3f * cav + 0.07f * F);
                // Small stones where the spot field peaks, with a dark rim.
                float stone = SmoothStep(0.62f, 0.74f, S);
                float rim = SmoothStep(0.50f, 0.62f, S) - stone;
                c = Scale(c, 1.0f - 0.30f * rim);
                Rgb pebble = Scale(MakeRgb(156, 146, 128), 0.85f + 0.3f * Clamp01(0.5f + M));
                c = Mix(c, pebble, stone);
                h = Clamp01(0.5f + 0.6f * M + 0.2f * stone);
            } else if (ground == 'w') {
                float t = Clamp01(0.5f + 0.5f * L + 0.35f * M);
                c = Mix(MakeRgb(40, 80, 24), MakeRgb(98, 146, 42), t);
                // Drier, yellower patches follow the fine grain of the large field.
                float dry = SmoothStep(0.15f, 0.7f, L + 0.3f * M);
                c = Mix(c, MakeRgb(128, 146, 58), 0.35f * dry);
                float cav = Relief(relief, x, y, 3);
                c = Scale(c, 1.0f + 1.5f * cav + 0.16f * F);
                // A few flowers.
                float flower = SmoothStep(0.80f, 0.86f, S);
                Rgb bloom = F > 0.0f ? MakeRgb(236, 222, 96)
                                       : MakeRgb(240, 240, 232);
                c = Mix(c, bloom, 0.8f * flower);
                h = Clamp01(0.5f + 0.45f * M + 0.3f * F);
            } else {
                float t = Clamp01(0.72f + 0.35f * L + 0.3f * M);
                c = Mix(MakeRgb(170, 186, 216), MakeRgb(244, 247, 252), t);
                float cav = Relief(relief, x, y, 5);
                // Hollows turn blue, crests stay white.
                c = Mix(c, MakeRgb(160, 178, 214), Clamp01(-2.2f * cav));
                c = Scale(c, 1.0f + 0.5f * std::fmax(cav, 0.0f) + 0.025f * F);
                h = Clamp01(0.5f + 0.3f * L + 0.35f * M);
            }
            out[i] = MaterialPixel{c, h};
        }
    return out;
}

}  // namespace tg
