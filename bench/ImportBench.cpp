// Time of a 4097 x 4097 heightmap import (16.8 million vertices), stage by
// stage as mapconvert runs it: decoding the 16-bit PNG, filling the grid,
// shading it (tiles and light, the editor's ShadeAll) and writing the map
// file (1.1 GB) with the editor's safe save, then the whole import.
//
// The heightmap is made here once (rolling hills with some detail, written
// to the temporary folder); the ground list is a small set of codes with
// numeric texture names, as in ShadeBench, so no OpenGL context is needed.
// Each stage runs a few times; the figures are wall-clock seconds.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/MapFile.h"
#include "platform/PlatformFiles.h"
#include "terrain/TerrainModel.h"
#include "terrain/Heightmap.h"
#include "gl/PngFiles.h"

namespace {

const int kSide = 4097;

const char* const kGroundCodes[] = {"eeee_1", "eeee_2", "wwww_1", "ssss_1", "eeew", "eeww",
                                    "ewww",   "eees",   "eess",   "esss",   "wwws", "wwss",
                                    "wsss",   "eews",   "eesw",   "ewss",   "esww", "wwes"};

struct ImportFixture {
    ImportFixture() : model(nullptr, 2, 2) {
        const std::filesystem::path dir = std::filesystem::temp_directory_path();
        pngPath = (dir / "ImportBench_heights.png").string();
        mapPath = (dir / "ImportBench.map").string();
        GreyPicture picture;
        picture.width = picture.height = kSide;
        picture.samples.resize(size_t(kSide) * kSide);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const double h = 0.5 + 0.3 * std::sin(x * 0.004) * std::cos(y * 0.005) +
                                 0.15 * std::sin(x * 0.031 + y * 0.017);
                picture.samples[size_t(y) * kSide + size_t(x)] = uint16_t(h * 65535.0);
            }
        std::string failure;
        const PngTexts noTexts;
        const PngContent png = GreyPngContent(picture, noTexts, &failure);
        if (!plat::ReplaceFileContent(pngPath.c_str(), WritePng, &png, false))
            std::fprintf(stderr, "%s: %s\n", pngPath.c_str(), failure.c_str());

        int i = 0;
        for (const char* code : kGroundCodes) {
            names.emplace_back(new char[std::strlen(code) + 1]);
            std::strcpy(names.back().get(), code);
            model.groundTextures[i].name = names.back().get();
            model.groundTextures[i].glName = 100u + unsigned(i);
            ++i;
        }
        model.groundTextureCount = i;
        std::srand(1);
    }
    ~ImportFixture() {
        std::remove(pngPath.c_str());
        std::remove(mapPath.c_str());
    }

    std::string pngPath, mapPath;
    std::vector<std::unique_ptr<char[]>> names;
    TerrainModel model;
    GreyPicture picture;
};

ImportFixture& Fixture() {
    static ImportFixture fixture;
    return fixture;
}

bool Decode(ImportFixture& f) {
    std::string error;
    bool inColour = false;
    return ReadPngAsGrey(f.pngPath, &f.picture, &inColour, &error);
}

bool Fill(ImportFixture& f) {
    std::string error;
    return FillTerrain(f.picture, nullptr, f.model, &error);
}

void BM_DecodePng(benchmark::State& state) {
    ImportFixture& f = Fixture();
    for (auto _ : state) {
        if (!Decode(f)) state.SkipWithError("decode failed");
    }
}
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_FillGrid(benchmark::State& state) {
    ImportFixture& f = Fixture();
    Decode(f);
    for (auto _ : state) {
        if (!Fill(f)) state.SkipWithError("fill failed");
    }
}
BENCHMARK(BM_FillGrid)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ShadeGrid(benchmark::State& state) {
    ImportFixture& f = Fixture();
    Decode(f);
    Fill(f);
    for (auto _ : state) f.model.ShadeAll();
}
BENCHMARK(BM_ShadeGrid)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_WriteMap(benchmark::State& state) {
    ImportFixture& f = Fixture();
    for (auto _ : state) {
        if (!WriteMapFile(f.mapPath.c_str(), f.model)) state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_WriteMap)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_WholeImport(benchmark::State& state) {
    ImportFixture& f = Fixture();
    for (auto _ : state) {
        const bool ok = Decode(f) && Fill(f);
        f.model.ShadeAll();
        if (!ok || !WriteMapFile(f.mapPath.c_str(), f.model)) state.SkipWithError("import failed");
    }
}
BENCHMARK(BM_WholeImport)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
