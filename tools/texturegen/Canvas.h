// Float picture used by every painter of the texture pack.
//
// Conventions: pixel (x, y) has y counted from the bottom row, like the
// editor's RgbImage and the rows of a BMP file, so "up" in the code is up in
// the picture. Colour channels are linear 0..1 floats; `alpha` is coverage
// (1 = opaque, 0 = fully transparent) and is empty for pictures that get no
// alpha mask. Pixel centres lie at (x + 0.5, y + 0.5).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tg {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb MakeRgb(int r, int g, int b) {
    return Rgb{r / 255.0f, g / 255.0f, b / 255.0f};
}
Rgb Mix(Rgb a, Rgb b, float t);
Rgb Scale(Rgb a, float k);
Rgb Add(Rgb a, Rgb b);

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Rgb> colour;   // width * height, bottom row first
    std::vector<float> alpha;  // coverage, same layout, or empty

    Canvas() = default;
    Canvas(int w, int h, Rgb fill);
    void EnableAlpha(float initial);
    bool HasAlpha() const { return !alpha.empty(); }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Rgb& At(int x, int y) { return colour[static_cast<size_t>(y) * width + x]; }
    const Rgb& At(int x, int y) const { return colour[static_cast<size_t>(y) * width + x]; }
    float& AlphaAt(int x, int y) { return alpha[static_cast<size_t>(y) * width + x]; }
    float AlphaAt(int x, int y) const {
        return alpha.empty() ? 1.0f : alpha[static_cast<size_t>(y) * width + x];
    }
    // Bilinear sample with clamped edges, coordinates in pixels.
    Rgb Sample(float x, float y) const;
    float SampleAlpha(float x, float y) const;
    // Paints `c` over pixel (x, y) with coverage `cover`; raises the alpha
    // (if any) by the same coverage ("over" compositing).
    void Blend(int x, int y, Rgb c, float cover);
    // Copies `src` with its lower-left corner at (x, y); alpha is copied too
    // when both pictures have it.
    void Paste(const Canvas& src, int x, int y);
};

// Converts to 8-bit R, G, B bytes, bottom row first, no row padding (the
// editor's RgbImage layout). Values are clamped and rounded.
std::vector<uint8_t> ToRgbBytes(const Canvas& c);
// The alpha mask as the editor reads it: an inverted grey picture whose red
// channel is 255 - 255 * coverage (black = opaque, white = transparent).
std::vector<uint8_t> ToAlphaMaskBytes(const Canvas& c);
// Box-filtered reduction by an integer factor (for previews and icons).
Canvas Downscale(const Canvas& src, int factor);

// One file of the pack: `path` is relative to the textures folder and has no
// extension; `scrambled` entries are shipped in the ".cbm" form.
struct PackEntry {
    std::string path;
    Canvas picture;
    bool scrambled = false;
};

}  // namespace tg
