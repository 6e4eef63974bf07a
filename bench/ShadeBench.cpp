// Speed of the terrain shading: the whole-grid pass that runs at start-up
// (256 x 256 cells, 257 x 257 vertices) and its two per-vertex steps alone.
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
    ShadeFixture() : model(nullptr, kCells, kCells) {
        int i = 0;
        for (const char* code : kGroundCodes) {
            names.emplace_back(new char[std::strlen(code) + 1]);
            std::strcpy(names.back().get(), code);
            model.groundTextures[i].name = names.back().get();
            model.groundTextures[i].glName = 100u + unsigned(i);
            ++i;
        }
        model.groundTextureCount = i;
        for (int x = 0; x <= kCells; ++x)
            for (int y = 0; y <= kCells; ++y) {
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
