// mapconvert: heightmaps in and out of .map files, map previews and facts.
//
// Conventions: exit status 0 when the command did its work, 1 when a file
// could not be read or written (one line on standard error naming the file
// and the reason), 2 for a wrong call (the usage text on standard error).
// Every output file is written completely or not at all. Maps are read and
// written with the editor's own map file code; shading and drawing are the
// editor's own too (see EditorScene.h).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "app/MapFile.h"
#include "gl/TextureRecord.h"
#include "terrain/TerrainModel.h"
#include "tools/mapconvert/EditorScene.h"
#include "tools/mapconvert/Heightmap.h"
#include "tools/mapconvert/MapFacts.h"
#include "tools/mapconvert/PngFiles.h"

namespace {

const char* const kUsage =
    "usage: mapconvert COMMAND ARGUMENTS\n"
    "\n"
    "  mapconvert info MAP [--pack DIR]\n"
    "      size, records held against records needed, height range, vertices\n"
    "      per ground letter and tile texture names of a .map file\n"
    "  mapconvert export MAP OUT.png [--ground GROUND.png]\n"
    "      the heights as a 16-bit greyscale PNG; --ground also writes the\n"
    "      ground letters as an 8-bit picture\n"
    "  mapconvert import IN.png OUT.map [--ground GROUND.png] [--pack DIR]\n"
    "      a map from an 8- or 16-bit greyscale heightmap of at most 4097 x 4097\n"
    "      pixels, shaded as the editor shades it; ground from GROUND.png or earth\n"
    "  mapconvert preview MAP OUT.png [--size N] [--pack DIR]\n"
    "      the map drawn from straight above as the editor shows it, the longer\n"
    "      side N pixels (default 512, at most 1024)\n"
    "\n"
    "Heightmaps have one pixel per vertex: a map of W x H cells is a picture of\n"
    "(W + 1) x (H + 1) pixels. The picture's bottom row is the map's row y = 0,\n"
    "its top row y = H, its left column x = 0. Samples run linearly from the\n"
    "terrain's lowest height -2 (0) to its highest 1.5 (65535; 255 in 8-bit\n"
    "pictures); export stores the two in the text chunks HeightMin and\n"
    "HeightMax. Ground pictures: earth 0, meadow 128, snow 255 (read back:\n"
    "below 64 earth, below 192 meadow, else snow).\n"
    "\n"
    "--pack DIR is the folder that holds the editor's textures/ (default: the\n"
    "working folder, else the folder of this program, else the pack installed\n"
    "with it in ../share/terrain-editor); import and preview use it to give\n"
    "tiles the editor's texture names and to draw them, info to show the file\n"
    "names of the tiles beside their numbers.\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 wrong usage.\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "mapconvert: %s\n", message.c_str());
    return 1;
}

// The words after the command: plain arguments and the options allowed.
struct Arguments {
    std::vector<std::string> plain;
    std::string ground, pack, size;
};

bool Parse(int argc, char** argv, const std::vector<std::string>& allowed, Arguments* out) {
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
            bool known = false;
            for (const std::string& option : allowed) known = known || option == word;
            if (!known || i + 1 >= argc) return false;
            const std::string value = argv[++i];
            if (word == "--ground") out->ground = value;
            if (word == "--pack") out->pack = value;
            if (word == "--size") out->size = value;
        } else {
            out->plain.push_back(word);
        }
    }
    return true;
}

// Checks the map's header and length (the editor's reader is silent about
// what it refuses) and warns about missing records.
bool CheckMap(const std::string& path, std::string* error) {
    MapFacts facts;
    if (!ScanMapFile(path, &facts, error)) return false;
    if (facts.recordsHeld < facts.recordsNeeded) {
        std::fprintf(stderr,
                     "mapconvert: warning: %s is cut short: %llu of %llu records missing; they "
                     "read as height 0, earth\n",
                     path.c_str(),
                     static_cast<unsigned long long>(facts.recordsNeeded - facts.recordsHeld),
                     static_cast<unsigned long long>(facts.recordsNeeded));
    }
    return true;
}

// Loads a map that CheckMap accepted with the editor's own reader.
bool LoadMap(const std::string& path, TerrainModel& terrain, std::string* error) {
    if (ReadMapFile(path.c_str(), terrain)) return true;
    *error = path + ": the map cannot be loaded (out of memory?)";
    return false;
}

// The editor's ground texture names by OpenGL texture name, as the editor
// gives them to the pack; empty when no pack or no context is at hand, so
// info then shows the numbers alone.
std::map<uint32_t, std::string> GroundTextureFiles(const std::string& pack) {
    std::map<uint32_t, std::string> files;
    EditorScene scene;
    std::string error;
    if (!scene.Open(FindTexturePack(pack), &error)) return files;
    const TerrainModel& terrain = scene.Terrain();
    for (int32_t i = 0; i < terrain.groundTextureCount && i < 256; ++i) {
        const TextureRecord& record = terrain.groundTextures[i];
        if (record.glName != 0 && record.name != nullptr) files[record.glName] = record.name;
    }
    return files;
}

int Info(const Arguments& args) {
    if (args.plain.size() != 1) return Usage();
    MapFacts facts;
    std::string error;
    if (!ScanMapFile(args.plain[0], &facts, &error)) return Fail(error);
    const std::map<uint32_t, std::string> files = GroundTextureFiles(args.pack);
    PrintMapFacts(stdout, args.plain[0], facts, files);
    return 0;
}

int Export(const Arguments& args) {
    if (args.plain.size() != 2) return Usage();
    const std::string& mapPath = args.plain[0];
    const std::string& outPath = args.plain[1];
    std::string error;
    if (!CanCreateFile(outPath, &error)) return Fail(error);
    if (!args.ground.empty() && !CanCreateFile(args.ground, &error)) return Fail(error);
    TerrainModel terrain(nullptr, 0, 0);
    if (!CheckMap(mapPath, &error) || !LoadMap(mapPath, terrain, &error)) return Fail(error);

    char low[32], high[32];
    std::snprintf(low, sizeof low, "%.9g", double(terrain.minHeight));
    std::snprintf(high, sizeof high, "%.9g", double(terrain.maxHeight));
    const PngTexts texts = {
        {"HeightMin", low},
        {"HeightMax", high},
        {"Orientation", "bottom row = map row y = 0, left column = x = 0"},
        {"Software", "mapconvert"},
    };
    // Both pictures are written before either replaces anything, so a
    // failure leaves no output of this run behind.
    std::string heightsTemp, groundTemp;
    if (!WriteGreyPngTemporary(outPath, HeightPicture(terrain), texts, &heightsTemp, &error))
        return Fail(error);
    if (!args.ground.empty()) {
        const PngTexts groundTexts = {
            {"Ground", "earth 0, meadow 128, snow 255"},
            {"Software", "mapconvert"},
        };
        if (!WriteGreyPngTemporary(args.ground, GroundPicture(terrain), groundTexts, &groundTemp,
                                   &error)) {
            std::remove(heightsTemp.c_str());
            return Fail(error);
        }
        if (!ReplaceWithTemporary(groundTemp, args.ground, &error)) {
            std::remove(heightsTemp.c_str());
            return Fail(error);
        }
    }
    if (!ReplaceWithTemporary(heightsTemp, outPath, &error)) return Fail(error);
    return 0;
}

int Import(const Arguments& args) {
    if (args.plain.size() != 2) return Usage();
    const std::string& inPath = args.plain[0];
    const std::string& mapPath = args.plain[1];
    std::string error;
    if (!CanCreateFile(mapPath, &error)) return Fail(error);
    GreyPicture heights, ground;
    if (!ReadGreyPng(inPath, &heights, &error)) return Fail(error);
    if (!args.ground.empty() && !ReadGreyPng(args.ground, &ground, &error)) return Fail(error);

    EditorScene scene;
    if (!scene.Open(FindTexturePack(args.pack), &error)) return Fail(error);
    TerrainModel& terrain = scene.Terrain();
    if (!FillTerrain(heights, args.ground.empty() ? nullptr : &ground, terrain, &error))
        return Fail(inPath + ": " + error);
    // The tiles are a random choice, seeded as the editor seeds it.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    terrain.ShadeAll();
    if (!WriteMapFile(mapPath.c_str(), terrain))
        return Fail(mapPath + ": writing the map failed (disk full or no permission?)");
    return 0;
}

int Preview(const Arguments& args) {
    if (args.plain.size() != 2) return Usage();
    int size = 512;
    if (!args.size.empty()) {
        char* end = nullptr;
        const long value = std::strtol(args.size.c_str(), &end, 10);
        if (*end != '\0' || value < 16 || value > 1024) return Usage();
        size = int(value);
    }
    const std::string& mapPath = args.plain[0];
    const std::string& outPath = args.plain[1];
    std::string error;
    if (!CanCreateFile(outPath, &error)) return Fail(error);
    if (!CheckMap(mapPath, &error)) return Fail(error);

    EditorScene scene;
    if (!scene.Open(FindTexturePack(args.pack), &error)) return Fail(error);
    if (!LoadMap(mapPath, scene.Terrain(), &error)) return Fail(error);
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    if (!scene.DrawTopView(size, &width, &height, &rgb, &error)) return Fail(mapPath + ": " + error);
    if (!WriteRgbPng(outPath, width, height, rgb, &error)) return Fail(error);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    Arguments args;
    if (command == "info") return Parse(argc, argv, {"--pack"}, &args) ? Info(args) : Usage();
    if (command == "export") return Parse(argc, argv, {"--ground"}, &args) ? Export(args) : Usage();
    if (command == "import")
        return Parse(argc, argv, {"--ground", "--pack"}, &args) ? Import(args) : Usage();
    if (command == "preview")
        return Parse(argc, argv, {"--size", "--pack"}, &args) ? Preview(args) : Usage();
    return Usage();
}
