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
    float edgeAmp;   // amplitude at the outer edges (large fields fade out,
                     // so the edges of all tiles share one average look)
};

// Per ground: large patches, mid detail, fine grain, spots.
const FieldSpec kSpecs[3][kFieldCount] = {
    {{96, 3, 0.35f}, {18, 3, 1.0f}, {6, 2, 1.0f}, {13, 2, 1.0f}},  // earth
    {{90, 3, 0.35f}, {13, 3, 1.0f}, {4, 2, 0.7f}, {5, 1, 1.0f}},   // meadow
    {{110, 3, 0.35f}, {22, 2, 1.0f}, {9, 2, 1.0f}, {4, 1, 1.0f}},  // snow
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

// Distance of a pixel centre from the nearest outer edge.
float EdgeDistance(int x, int y) {
    float px = x + 0.5f, py = y + 0.5f;
    return std::fmin(std::fmin(px, kTileSize - px), std::fmin(py, kTileSize - py));
}

// Weight of the border field: 1 at the outer edges, 0 from a few pixels in
// (wider for the large field, which is smooth). The band is kept narrow
// because the border field looks the same along every edge and mirrored
// across it; a wide band would draw a visible grid of mirrored patterns.
float BorderWeight(int f, int x, int y) {
    return 1.0f - SmoothStep(0.5f, f == 0 ? 24.0f : 8.0f, EdgeDistance(x, y));
}

// Grass blades seen from above: noise stretched along one of four
// directions, the direction chosen by a slow field. Blending fixed
// directions (instead of rotating the coordinates) keeps the pattern free
// of swirls.
float GrassStreaks(float x, float y, uint32_t seed) {
    const float dirs[4][2] = {{1.0f, 0.0f}, {0.7071f, 0.7071f}, {0.0f, 1.0f}, {-0.7071f, 0.7071f}};
    float angle = (GradientNoise(x / 60.0f, y / 60.0f, seed ^ 0xA5A5u) + 1.0f) * 2.0f;
    float sum = 0.0f, total = 0.0f;
    for (int k = 0; k < 4; ++k) {
        float d = std::fabs(angle - float(k));
        d = std::fmin(d, 4.0f - d);
        float w = std::fmax(0.0f, 1.0f - d);
        if (w <= 0.0f) continue;
        float along = x * dirs[k][0] + y * dirs[k][1];
        float across = -x * dirs[k][1] + y * dirs[k][0];
        sum += w * Fbm(along / 7.0f, across / 1.6f, seed + uint32_t(k), 2);
        total += w * w;
    }
    return sum / std::sqrt(total);
}

// The noise of one field at a position (pixels, or folded pixels).
float FieldNoise(char ground, int f, const FieldSpec& spec, float x, float y, uint32_t seed) {
    if (ground == 'w' && f == 2) return GrassStreaks(x, y, seed);
    return Fbm(x / spec.scale, y / spec.scale, seed, spec.octaves);
}

// Amplitude of a field at a pixel: edgeAmp at the outer edges, full inside;
// the large field fades over a wide margin, the others over the border band.
float EdgeAmplitude(const FieldSpec& spec, int f, int x, int y) {
    float fade = SmoothStep(0.0f, f == 0 ? 56.0f : 20.0f, EdgeDistance(x, y));
    return Lerp(spec.edgeAmp, 1.0f, fade);
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
                    FieldNoise(ground, f, spec[f], a + 1700.0f, b + 500.0f, seed);
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
                float w = BorderWeight(f, x, y);
                float own = 0.0f;
                if (w < 1.0f)
                    own = FieldNoise(ground, f, spec[f], x + 0.5f, y + 0.5f, s);
                // Mixing two independent fields lowers their spread; the
                // divisor restores it so the blend band does not show.
                float v = (w * border.field[f][i] + (1.0f - w) * own) /
                          std::sqrt(w * w + (1.0f - w) * (1.0f - w));
                out.field[f][i] = v * EdgeAmplitude(spec[f], f, x, y);
            }
    }
    return out;
}

std::vector<MaterialPixel> ShadeMaterial(char ground, const FieldSet& fs, const FieldSet& border) {
    const size_t n = size_t(kTileSize) * kTileSize;
    std::vector<MaterialPixel> out(n);
    // Relief from mid detail plus some fine grain; snow lies smooth.
    const float fine = ground == 's' ? 0.0f : 0.35f;
    const int radius = ground == 'e' ? 4 : (ground == 'w' ? 3 : 6);
    const FieldSpec* spec = kSpecs[GroundIndex(ground)];
    std::vector<float> relief(n), borderRelief(n);
    for (int y = 0; y < kTileSize; ++y)
        for (int x = 0; x < kTileSize; ++x) {
            size_t i = size_t(y) * kTileSize + x;
            relief[i] = (1.0f - fine) * fs.field[1][i] + fine * fs.field[2][i];
            borderRelief[i] = (1.0f - fine) * border.field[1][i] * EdgeAmplitude(spec[1], 1, x, y) +
                              fine * border.field[2][i] * EdgeAmplitude(spec[2], 2, x, y);
        }

    for (int y = 0; y < kTileSize; ++y)
        for (int x = 0; x < kTileSize; ++x) {
            size_t i = size_t(y) * kTileSize + x;
            float L = fs.field[0][i], M = fs.field[1][i], F = fs.field[2][i], S = fs.field[3][i];
            // Relief looks `radius` pixels around; next to the edge it must
            // see the border field alone, or the two sides of a seam differ.
            float wr = 1.0f - SmoothStep(float(radius), float(radius) + 4.0f, EdgeDistance(x, y));
            float cav = Lerp(Relief(relief, x, y, radius), Relief(borderRelief, x, y, radius), wr);
            Rgb c;
            float h;
            if (ground == 'e') {
                float t = Clamp01(0.5f + 0.4f * L + 0.35f * M);
                c = Mix(MakeRgb(84, 60, 39), MakeRgb(148, 109, 71), t);
                c = Scale(c, 1.0f + 1.3f * cav + 0.07f * F);
                // Small stones where the spot field peaks, with a dark rim.
                float stone = SmoothStep(0.64f, 0.72f, S);
                float rim = SmoothStep(0.52f, 0.64f, S) - stone;
                c = Scale(c, 1.0f - 0.35f * rim);
                Rgb pebble = Scale(MakeRgb(142, 130, 112), 0.85f + 0.35f * Clamp01(0.5f + M + 2.0f * cav));
                c = Mix(c, pebble, stone);
                h = Clamp01(0.5f + 0.6f * M + 0.2f * stone);
            } else if (ground == 'w') {
                float t = Clamp01(0.5f + 0.35f * L + 0.3f * M);
                c = Mix(MakeRgb(42, 84, 24), MakeRgb(98, 146, 42), t);
                // Drier, yellower tufts.
                float dry = SmoothStep(0.2f, 0.8f, 0.5f * L + 0.8f * M);
                c = Mix(c, MakeRgb(132, 148, 60), 0.3f * dry);
                // Blades: streaks of light and dark green.
                c = Scale(c, 1.0f + 1.3f * cav + 0.22f * F);
                float flower = SmoothStep(0.78f, 0.84f, S);
                Rgb bloom = M > 0.0f ? MakeRgb(236, 222, 96) : MakeRgb(240, 240, 232);
                c = Mix(c, bloom, 0.85f * flower);
                h = Clamp01(0.5f + 0.45f * M + 0.3f * F);
            } else {
                float t = Clamp01(0.78f + 0.3f * L + 0.2f * M);
                c = Mix(MakeRgb(188, 200, 226), MakeRgb(245, 248, 252), t);
                // Hollows turn a little blue, crests stay white.
                c = Mix(c, MakeRgb(182, 198, 228), Clamp01(-2.5f * cav));
                c = Scale(c, 1.0f + 0.4f * std::fmax(cav, 0.0f) + 0.02f * F);
                h = Clamp01(0.5f + 0.3f * L + 0.35f * M);
            }
            out[i] = MaterialPixel{c, h};
        }
    return out;
}

}  // namespace tg
