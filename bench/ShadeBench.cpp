// Speed of the terrain shading: the whole-grid pass that runs at start-up
// (256 x 256 cells, 257 x 257 vertices) and its two per-vertex steps alone,
// and the whole-grid pass over the largest map (4096 x 4096 cells) that a
// heightmap import shades.
//
// BM_ShadeAllBaseline keeps the earlier whole-grid pass (every vertex
// re-tiles its whole 2 x 2 block with one random number per matching
// orientation) on the same model, so each run reports both figures and the
// ratio between them is measured on the same machine and load.
//
// The ground list holds 40 records with the kind of codes a ground set has
// (plain grounds in several variants and the transitions between two
// grounds); their texture names are just numbers, no OpenGL is needed. The
// map mixes the three grounds in patches over rolling heights, some of them
// under water, so that matches, misses and darkening all occur.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "terrain/TerrainModel.h"

#include <algorithm>
#include <cstdint>

namespace {

const int kCells = 256;
const int kVertices = (kCells + 1) * (kCells + 1);

const char* const kGroundCodes[] = {
    "eeee_1", "eeee_2", "eeee_3", "eeee_4", "wwww_1", "wwww_2", "wwww_3", "wwww_4",
    "ssss_1", "ssss_2", "ssss_3", "eeew_1", "eeew_2", "eeww_1", "eeww_2", "ewwe",
    "ewww_1", "ewww_2", "wwwe",   "eees_1", "eees_2", "eess_1", "eess_2", "esse",
    "esss_1", "esss_2", "wwws_1", "wwws_2", "wwss_1", "wwss_2", "wssw",   "wsss_1",
    "wsss_2", "eews",   "eesw",   "ewss",   "esww",   "wwes",   "ssew",   "sswe",
};

struct ShadeFixture {
    explicit ShadeFixture(int cells = kCells) : model(nullptr, cells, cells) {
        int i = 0;
        for (const char* code : kGroundCodes) {
            names.emplace_back(new char[std::strlen(code) + 1]);
            std::strcpy(names.back().get(), code);
            model.groundTextures[i].name = names.back().get();
            model.groundTextures[i].glName = 100u + unsigned(i);
            ++i;
        }
        model.groundTextureCount = i;
        for (int x = 0; x <= cells; ++x)
            for (int y = 0; y <= cells; ++y) {
                TerrainVertex& v = model.columns[x][y];
                v.height = 1.2f * std::sin(x * 0.05f) * std::cos(y * 0.07f) - 0.3f;
                const float g = std::sin(x * 0.11f + 1.0f) + std::cos(y * 0.13f);
                v.ground = g > 0.8f ? 's' : (g < -0.4f ? 'w' : 'e');
            }
        std::srand(1);
    }

    std::vector<std::unique_ptr<char[]>> names;
    TerrainModel model;
};

ShadeFixture& Fixture() {
    static ShadeFixture fixture;
    return fixture;
}

// The earlier tile choice of one block, as it was: a reservoir choice that
// draws one random number per matching (texture, orientation).
namespace baseline {

int8_t LetterSum(const char letters[4]) {
    int sum = 0;
    for (int i = 0; i < 4; ++i) sum += static_cast<int8_t>(letters[i]);
    return static_cast<int8_t>(sum);
}
void RotateCode(char code[4]) {
    const char c0 = code[0], c1 = code[1], c2 = code[2], c3 = code[3];
    code[0] = c2;
    code[1] = c0;
    code[2] = c3;
    code[3] = c1;
}
void MirrorCode(char code[4]) {
    std::swap(code[0], code[1]);
    std::swap(code[2], code[3]);
}
int RandomBelow(int n) { return n == 0 ? 0 : std::rand() % n; }
bool ReadCode(const char* name, char code[4]) {
    if (name == nullptr) return false;
    for (int i = 0; i < 4; ++i) {
        if (name[i] == '\0') return false;
        code[i] = name[i];
    }
    return true;
}

bool RetileBlock(TerrainModel& m, int x, int y) {
    if (x < 0 || x >= m.width || y < 0 || y >= m.height) return false;
    const int x0 = x - x % 2;
    const int y0 = y - y % 2;
    const char pattern[4] = {m.columns[x0][y0 + 1].ground, m.columns[x0 + 1][y0 + 1].ground,
                             m.columns[x0][y0].ground, m.columns[x0 + 1][y0].ground};
    const int8_t patternSum = LetterSum(pattern);
    int matches = 0, chosenTexture = -1, chosenTurns = 0, chosenMirror = 0;
    const int count = std::min(std::max(m.groundTextureCount, int32_t(0)), int32_t(256));
    for (int t = 0; t < count; ++t) {
        char code[4];
        if (!ReadCode(m.groundTextures[t].name, code)) continue;
        if (LetterSum(code) != patternSum) continue;
        for (int mirror = 0; mirror < 2; ++mirror) {
            for (int turns = 0; turns < 4; ++turns) {
                if (std::memcmp(code, pattern, 4) == 0) {
                    if (RandomBelow(matches + 1) == 0) {
                        chosenTexture = t;
                        chosenTurns = turns;
                        chosenMirror = mirror;
                    }
                    ++matches;
                }
                RotateCode(code);
            }
            if (mirror == 0) MirrorCode(code);
        }
    }
    if (matches == 0) return false;
    const uint32_t glName = m.groundTextures[chosenTexture].glName;
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            TerrainVertex& vertex = m.columns[x0 + c][y0 + r];
            vertex.tileTexture = glName;
            const float u0 = 0.5f * c, v0 = 0.5f * r;
            const float us[4] = {u0, u0 + 0.5f, u0, u0 + 0.5f};
            const float vs[4] = {v0, v0, v0 + 0.5f, v0 + 0.5f};
            for (int k = 0; k < 4; ++k) {
                float u = us[k], v = vs[k];
                if (chosenMirror == 1) u = 1.0f - u;
                for (int turn = 0; turn < chosenTurns; ++turn) {
                    const float oldU = u;
                    if (chosenMirror == 0) {
                        u = 1.0f - v;
                        v = oldU;
                    } else {
                        u = v;
                        v = 1.0f - oldU;
                    }
                }
                vertex.tileU[k] = u;
                vertex.tileV[k] = v;
            }
        }
    }
    return true;
}

void RelightVertex(TerrainModel& m, int x, int y) {
    if (x > 0 && x < m.width && y > 0 && y < m.height) {
        const float h = m.columns[x][y].height;
        const Vector4 p0(0.0f, 0.0f, h);
        const Vector4 p1(0.0f, m.spacing, m.columns[x][y + 1].height);
        const Vector4 p2(m.spacing, 0.0f, m.columns[x + 1][y].height);
        const Vector4 n = Vector4::Scale(Vector4::TriangleNormal(p0, p1, p2), -1.0f);
        TerrainVertex& vertex = m.columns[x][y];
        vertex.normal[0] = n.x;
        vertex.normal[1] = n.y;
        vertex.normal[2] = n.z;
        const float diffuseTerm =
            static_cast<float>(std::max(0.0, Vector4::Dot(n, m.light.direction)) * m.light.diffuse);
        float colour = static_cast<float>(
            (static_cast<double>(diffuseTerm) + static_cast<double>(m.light.ambient)) * 1.3);
        if (h < m.waterLevel) {
            const double depth = static_cast<double>(m.waterLevel) - h;
            const double range = static_cast<double>(m.waterLevel) - m.minHeight;
            colour *= static_cast<float>((1.0 - depth / range) * 0.8 + 0.2);
        }
        for (int i = 0; i < 3; ++i) vertex.colour[i] = colour;
    } else if (x >= 0 && x <= m.width && y >= 0 && y <= m.height) {
        for (int i = 0; i < 3; ++i) m.columns[x][y].normal[i] = m.columns[x][y].colour[i] = 0.0f;
    }
}

void ShadeAll(TerrainModel& m) {
    for (int y = 0; y <= m.height; ++y) {
        for (int x = 0; x <= m.width; ++x) {
            RetileBlock(m, x, y);
            RelightVertex(m, x, y);
        }
    }
}

}  // namespace baseline

void PerVertex(benchmark::State& state, int cells) {
    state.counters["per_vertex"] = benchmark::Counter(
        double(cells + 1) * double(cells + 1),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ShadeAllBaseline(benchmark::State& state) {
    TerrainModel& model = Fixture().model;
    for (auto _ : state) {
        baseline::ShadeAll(model);
        benchmark::DoNotOptimize(model.columns[kCells / 2][kCells / 2].colour[0]);
    }
    PerVertex(state, kCells);
}
BENCHMARK(BM_ShadeAllBaseline)->Unit(benchmark::kMillisecond);

// The pass a 4097 x 4097 heightmap import runs (1.1 GB of records).
void BM_ShadeAll4096(benchmark::State& state) {
    static ShadeFixture big(4096);
    for (auto _ : state) {
        big.model.ShadeAll();
        benchmark::DoNotOptimize(big.model.columns[2048][2048].colour[0]);
    }
    PerVertex(state, 4096);
}
BENCHMARK(BM_ShadeAll4096)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ShadeAll(benchmark::State& state) {
    TerrainModel& model = Fixture().model;
    for (auto _ : state) {
        model.ShadeAll();
        benchmark::DoNotOptimize(model.columns[kCells / 2][kCells / 2].colour[0]);
    }
    // Time per vertex (shown with an SI prefix, "n" = nanoseconds).
    state.counters["per_vertex"] = benchmark::Counter(
        double(kVertices),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ShadeAll)->Unit(benchmark::kMillisecond);

void BM_RetileBlock(benchmark::State& state) {
    TerrainModel& model = Fixture().model;
    int x = 0, y = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.RetileBlock(x, y));
        if (++x == kCells) {
            x = 0;
            if (++y == kCells) y = 0;
        }
    }
}
BENCHMARK(BM_RetileBlock);

void BM_RelightVertex(benchmark::State& state) {
    TerrainModel& model = Fixture().model;
    int x = 1, y = 1;
    for (auto _ : state) {
        model.RelightVertex(x, y);
        benchmark::DoNotOptimize(model.columns[x][y].colour[0]);
        if (++x == kCells) {
            x = 1;
            if (++y == kCells) y = 1;
        }
    }
}
BENCHMARK(BM_RelightVertex);

}  // namespace

BENCHMARK_MAIN();
