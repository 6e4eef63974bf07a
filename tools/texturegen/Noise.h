// Deterministic noise for the painters: integer hashing, a small random
// generator, gradient noise and fractal sums.
//
// Conventions: every function is a pure function of its arguments and an
// explicit 32-bit seed, so the pack comes out byte for byte the same on
// every run. Noise coordinates are in lattice cells; a `period` > 0 makes the
// lattice wrap after that many cells (tileable noise), 0 means no wrap.
// Gradient noise returns roughly -1..1 (about 0.3 standard deviation).
#pragma once

#include <cstdint>

namespace tg {

uint32_t Hash(uint32_t a, uint32_t b = 0, uint32_t c = 0);
// Uniform float in [0, 1) from a hash.
float HashUnit(uint32_t a, uint32_t b = 0, uint32_t c = 0);

// Small explicit generator (SplitMix32 style) for sequences of placements.
class Rng {
public:
    explicit Rng(uint32_t seed) : state_(seed) {}
    uint32_t Next();
    float Unit();                        // [0, 1)
    float Range(float lo, float hi);     // [lo, hi)
    int Int(int lo, int hiInclusive);
private:
    uint32_t state_;
};

float GradientNoise(float x, float y, uint32_t seed, int periodX = 0, int periodY = 0);
// Sum of `octaves` gradient noises, each at twice the frequency and `gain`
// times the amplitude of the one before, normalised to the first octave's
// range. With a period each octave wraps after period << octave cells.
float Fbm(float x, float y, uint32_t seed, int octaves, float gain = 0.5f,
          int period = 0);

// Tileable fractal noise over the unit square: (u, v) in tile units, with
// cellsX x cellsY lattice cells in the first octave; wraps at 1 in both.
float TileFbm(float u, float v, int cellsX, int cellsY, uint32_t seed, int octaves,
              float gain = 0.5f);

inline float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }
inline float Lerp(float a, float b, float t) { return a + (b - a) * t; }
float SmoothStep(float edge0, float edge1, float v);

}  // namespace tg
