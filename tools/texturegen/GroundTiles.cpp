// Composition of the ground tiles from the materials: each quarter shows the
// ground of its corner letter; where neighbouring quarters differ the border
// between them is pushed around by noise and decided pixel by pixel by the
// materials' heights (snow lies in hollows, grass tufts poke through), which
// gives ragged, natural transitions. Towards the outer edges the push fades
// out, so every outer edge shows only its corners' own grounds.
#include "GroundTiles.h"

#include "GroundMaterial.h"
#include "Noise.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace tg {

namespace {

std::string Rotate(const std::string& c) { return {c[2], c[0], c[3], c[1]}; }
std::string Mirror(const std::string& c) { return {c[1], c[0], c[3], c[2]}; }

int VariantCount(const std::string& code) {
    std::set<char> letters(code.begin(), code.end());
    return letters.size() == 1 ? 4 : (letters.size() == 2 ? 2 : 1);
}

// Quarter weights of a pixel: index = code position (0 TL, 1 TR, 2 BL, 3 BR).
struct QuarterWeights {
    float w[4];
};

QuarterWeights Quarters(int x, int y, uint32_t seed) {
    const float half = kTileSize * 0.5f;
    float px = x + 0.5f, py = y + 0.5f;
    float e = std::fmin(std::fmin(px, kTileSize - px), std::fmin(py, kTileSize - py));
    float taper = SmoothStep(0.0f, 48.0f, e);
    // Push the quarter borders around; nothing moves at the outer edges.
    float qx = px + 30.0f * taper * Fbm(px / 44.0f, py / 44.0f, seed, 3);
    float qy = py + 30.0f * taper * Fbm(px / 44.0f + 31.7f, py / 44.0f, seed ^ 0x1234567u, 3);
    float band = Lerp(6.0f, 24.0f, taper);
    float sx = SmoothStep(half - band, half + band, qx);
    float sy = SmoothStep(half - band, half + band, qy);
    return QuarterWeights{{(1 - sx) * sy, sx * sy, (1 - sx) * (1 - sy), sx * (1 - sy)}};
}

Canvas PaintTile(const std::string& code, uint32_t seed) {
    std::vector<char> grounds;
    for (char c : code)
        if (std::find(grounds.begin(), grounds.end(), c) == grounds.end()) grounds.push_back(c);
    std::vector<std::vector<MaterialPixel>> materials;
    for (char g : grounds)
        materials.push_back(PaintMaterial(g, Hash(seed, uint32_t(g))));

    Canvas out(kTileSize, kTileSize, Rgb{});
    for (int y = 0; y < kTileSize; ++y)
        for (int x = 0; x < kTileSize; ++x) {
            size_t i = size_t(y) * kTileSize + x;
            if (grounds.size() == 1) {
                out.At(x, y) = materials[0][i].colour;
                continue;
            }
            QuarterWeights q = Quarters(x, y, seed);
            // Score per ground: its share of the quarters plus its height;
            // a steep soft maximum picks the winner with a narrow soft edge.
            float score[3], best = -1e9f;
            for (size_t g = 0; g < grounds.size(); ++g) {
                float share = 0.0f;
                for (int k = 0; k < 4; ++k)
                    if (code[k] == grounds[g]) share += q.w[k];
                score[g] = share + 0.45f * (materials[g][i].height - 0.5f);
                best = std::fmax(best, score[g]);
            }
            float weight[3], total = 0.0f;
            for (size_t g = 0; g < grounds.size(); ++g) {
                weight[g] = std::exp(14.0f * (score[g] - best));
                if (weight[g] < 1e-3f) weight[g] = 0.0f;  // keep pure ground pure
                total += weight[g];
            }
            Rgb c{};
            for (size_t g = 0; g < grounds.size(); ++g)
                c = Add(c, Scale(materials[g][i].colour, weight[g] / total));
            out.At(x, y) = c;
        }
    return out;
}

}  // namespace

std::string CanonicalCode(const std::string& code) {
    std::string best = code, c = code;
    for (int m = 0; m < 2; ++m) {
        for (int r = 0; r < 4; ++r) {
            best = std::min(best, c);
            c = Rotate(c);
        }
        c = Mirror(c);
    }
    return best;
}

std::vector<std::string> CanonicalPatterns() {
    const char letters[3] = {'e', 's', 'w'};
    std::set<std::string> found;
    for (int n = 0; n < 81; ++n) {
        std::string code = {letters[n / 27], letters[n / 9 % 3], letters[n / 3 % 3], letters[n % 3]};
        found.insert(CanonicalCode(code));
    }
    return std::vector<std::string>(found.begin(), found.end());
}

std::vector<GroundTile> PaintGroundTiles() {
    std::vector<GroundTile> tiles;
    uint32_t index = 0;
    for (const std::string& code : CanonicalPatterns()) {
        int variants = VariantCount(code);
        for (int v = 1; v <= variants; ++v, ++index) {
            uint32_t seed = Hash(index, uint32_t(v), 0x6E0D71E5u);
            tiles.push_back(GroundTile{code + "_" + std::to_string(v), PaintTile(code, seed)});
        }
    }
    return tiles;
}

}  // namespace tg
