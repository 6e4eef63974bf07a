// The erode and paint commands (see Shaping.h).
//
// Erosion changes heights only, so the changed vertices are re-lit and no
// tile is chosen again (no ground letter changes); painting changes letters
// only, so the blocks that changed are re-tiled and nothing is re-lit. The
// tiles are the editor's random choice, seeded as import seeds it: with
// --seed, else with the time. The droplets draw from their own generator,
// seeded the same way.
#include "tools/mapconvert/Shaping.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "app/MapFile.h"
#include "terrain/Erosion.h"
#include "terrain/SlopePaint.h"
#include "terrain/TerrainModel.h"
#include "tools/mapconvert/CommandLine.h"
#include "tools/mapconvert/EditorScene.h"
#include "tools/mapconvert/OutputFiles.h"

namespace {

constexpr unsigned long kMaxDroplets = 0x7FFFFFFFul;
constexpr unsigned long kMaxSeed = 0xFFFFFFFFul;
constexpr double kMaxSnowHeight = 1e30;

int Save(const std::string& path, const TerrainModel& terrain) {
    errno = 0;
    if (!WriteMapFile(path.c_str(), terrain))
        return Fail(WriteFailure(path, "the map could not be written"));
    return 0;
}

unsigned long Seed(const Arguments& args, unsigned long given) {
    return args.seed.empty() ? static_cast<unsigned long>(std::time(nullptr)) : given;
}

// Reads IN.map after checking it.
bool Load(const Arguments& args, TerrainModel& terrain, std::string* error) {
    MapFacts facts;
    return CheckMap(args.plain[0], &facts, error) && LoadMap(args.plain[0], terrain, error);
}

}  // namespace

int ErodeCommand(const Arguments& args) {
    unsigned long droplets = 0, seed = 0;
    std::string fault;
    if (!args.droplets.empty())
        fault = NumberFault("--droplets", args.droplets, 0, kMaxDroplets, &droplets);
    if (fault.empty() && !args.seed.empty())
        fault = NumberFault("--seed", args.seed, 0, kMaxSeed, &seed);
    if (!fault.empty()) return WrongCall(fault);
    std::string error;
    TerrainModel terrain(nullptr, 0, 0);
    if (!CanCreateFile(args.plain[1], &error) || !Load(args, terrain, &error)) return Fail(error);
    if (args.droplets.empty())
        droplets = std::min<unsigned long>(
            kMaxDroplets, kErodeDropletsPerCell * (unsigned long)(terrain.width) *
                              (unsigned long)(terrain.height));
    ErosionRandom rng(Seed(args, seed));
    const VertexRect changed =
        ErodeRegion(terrain, LandRegion::WholeMap(), int(droplets), rng, ErosionParams());
    RelightAfterErosion(terrain, changed);
    return Save(args.plain[1], terrain);
}

int PaintCommand(const Arguments& args) {
    SlopePaintRule rule;
    unsigned long seed = 0;
    std::string fault;
    if (!args.snowAbove.empty())
        fault = DecimalFault("--snow-above", args.snowAbove, -kMaxSnowHeight, kMaxSnowHeight,
                             &rule.snowAbove);
    if (fault.empty() && !args.earthSteeperThan.empty())
        fault = DecimalFault("--earth-steeper-than", args.earthSteeperThan, 0.0, 90.0,
                             &rule.earthSteeperThan);
    if (fault.empty() && !args.seed.empty())
        fault = NumberFault("--seed", args.seed, 0, kMaxSeed, &seed);
    if (!fault.empty()) return WrongCall(fault);
    std::string error;
    EditorScene scene;
    if (!CanCreateFile(args.plain[1], &error)) return Fail(error);
    if (!scene.Open(FindTexturePack(args.pack), &error)) return Fail(error);
    TerrainModel& terrain = scene.Terrain();
    if (!Load(args, terrain, &error)) return Fail(error);
    std::srand(static_cast<unsigned>(Seed(args, seed)));
    PaintBySlope(terrain, LandRegion::WholeMap(), rule);
    return Save(args.plain[1], terrain);
}
