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
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/MapFile.h"
#include "terrain/Erosion.h"
#include "terrain/SlopePaint.h"
#include "terrain/TerrainModel.h"
#include "tools/mapconvert/EditorScene.h"
#include "tools/mapconvert/MapFacts.h"
#include "tools/mapconvert/OutputFiles.h"

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "mapconvert: %s\n", message.c_str());
    return 1;
}

// The words of a command: the two files and the options' values by name.
struct ShapingWords {
    std::vector<std::string> files;
    std::vector<std::pair<std::string, std::string>> options;

    const std::string* Option(const std::string& name) const {
        for (const auto& option : options)
            if (option.first == name) return &option.second;
        return nullptr;
    }
};

bool Split(const std::vector<std::string>& words, const std::vector<std::string>& allowed,
           ShapingWords* out) {
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() <= 2 || word.compare(0, 2, "--") != 0) {
            out->files.push_back(word);
            continue;
        }
        bool known = false;
        for (const std::string& name : allowed) known = known || name == word;
        if (!known || i + 1 >= words.size() || out->Option(word) != nullptr) return false;
        out->options.emplace_back(word, words[++i]);
    }
    return out->files.size() == 2;
}

// A whole decimal number in [low, high]; absent keeps *value.
bool WholeOption(const ShapingWords& words, const char* name, unsigned long long high,
                 unsigned long long* value) {
    const std::string* text = words.Option(name);
    if (text == nullptr) return true;
    if (text->empty() || text->size() > 20 ||
        text->find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    *value = std::strtoull(text->c_str(), nullptr, 10);
    return errno == 0 && *value <= high;
}

// A finite decimal number in [low, high]; absent keeps *value.
bool NumberOption(const ShapingWords& words, const char* name, double low, double high,
                  double* value) {
    const std::string* text = words.Option(name);
    if (text == nullptr) return true;
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text->c_str(), &end);
    if (text->empty() || *end != '\0' || errno != 0 || !std::isfinite(parsed) || parsed < low ||
        parsed > high)
        return false;
    *value = parsed;
    return true;
}

// Reads IN.map after checking its header and length, warning when it is
// cut short as the other commands do.
bool LoadWholeMap(const std::string& path, TerrainModel& terrain, std::string* error) {
    MapFacts facts;
    if (!ReadMapHeader(path, &facts, error)) return false;
    if (facts.recordsHeld < facts.recordsNeeded)
        std::fprintf(stderr,
                     "mapconvert: warning: %s is cut short: %llu of %llu records missing; they "
                     "read as height 0, earth\n",
                     path.c_str(),
                     static_cast<unsigned long long>(facts.recordsNeeded - facts.recordsHeld),
                     static_cast<unsigned long long>(facts.recordsNeeded));
    errno = 0;
    if (ReadMapFile(path.c_str(), terrain)) return true;
    *error = path + ": cannot load the map: " +
             (errno ? std::strerror(errno) : "the editor's map reader refused it");
    return false;
}

int Save(const std::string& path, const TerrainModel& terrain) {
    errno = 0;
    if (!WriteMapFile(path.c_str(), terrain))
        return Fail(WriteFailure(path, "the map could not be written"));
    return 0;
}

unsigned long long Seed(const ShapingWords& words, unsigned long long given) {
    return words.Option("--seed") != nullptr ? given
                                             : static_cast<unsigned long long>(std::time(nullptr));
}

}  // namespace

int ErodeCommand(const std::vector<std::string>& list) {
    ShapingWords words;
    unsigned long long droplets = 0, seed = 0;
    if (!Split(list, {"--droplets", "--seed"}, &words) ||
        !WholeOption(words, "--droplets", 0x7FFFFFFFull, &droplets) ||
        !WholeOption(words, "--seed", 0xFFFFFFFFull, &seed))
        return kShapingWrongUsage;
    std::string error;
    if (!CanCreateFile(words.files[1], &error)) return Fail(error);
    TerrainModel terrain(nullptr, 0, 0);
    if (!LoadWholeMap(words.files[0], terrain, &error)) return Fail(error);
    if (words.Option("--droplets") == nullptr)
        droplets = std::min<unsigned long long>(
            0x7FFFFFFFull, kErodeDropletsPerCell * (unsigned long long)(terrain.width) *
                               (unsigned long long)(terrain.height));
    ErosionRandom rng(Seed(words, seed));
    const VertexRect changed =
        ErodeRegion(terrain, LandRegion::WholeMap(), int(droplets), rng, ErosionParams());
    RelightAfterErosion(terrain, changed);
    return Save(words.files[1], terrain);
}

int PaintCommand(const std::vector<std::string>& list) {
    ShapingWords words;
    SlopePaintRule rule;
    unsigned long long seed = 0;
    if (!Split(list, {"--snow-above", "--earth-steeper-than", "--seed", "--pack"}, &words) ||
        !NumberOption(words, "--snow-above", -1e30, 1e30, &rule.snowAbove) ||
        !NumberOption(words, "--earth-steeper-than", 0.0, 90.0, &rule.earthSteeperThan) ||
        !WholeOption(words, "--seed", 0xFFFFFFFFull, &seed))
        return kShapingWrongUsage;
    std::string error;
    if (!CanCreateFile(words.files[1], &error)) return Fail(error);
    const std::string* pack = words.Option("--pack");
    EditorScene scene;
    if (!scene.Open(FindTexturePack(pack ? *pack : std::string()), &error)) return Fail(error);
    TerrainModel& terrain = scene.Terrain();
    if (!LoadWholeMap(words.files[0], terrain, &error)) return Fail(error);
    std::srand(static_cast<unsigned>(Seed(words, seed)));
    PaintBySlope(terrain, LandRegion::WholeMap(), rule);
    return Save(words.files[1], terrain);
}
