// mapconvert: heightmaps in and out of .map files, map previews and facts.
//
// Conventions: exit status 0 when the command did its work, 1 when a file
// could not be read or written (one line on standard error naming the file
// and the reason), 2 for a wrong call (one line on standard error naming the
// fault, before anything is read or written; "mapconvert --help" prints the
// usage).
// Every output file is written completely or not at all, through the
// platform's file replacement (OutputFiles.h). Maps are read and
// written with the editor's own map file code; shading and drawing are the
// editor's own too (see EditorScene.h).
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "app/MapFile.h"
#include "gl/PngFiles.h"
#include "gl/TextureRecord.h"
#include "terrain/Heightmap.h"
#include "terrain/TerrainModel.h"
#include "tools/mapconvert/CommandLine.h"
#include "tools/mapconvert/EditorScene.h"
#include "tools/mapconvert/MapFacts.h"
#include "tools/mapconvert/MapSizes.h"
#include "tools/mapconvert/OutputFiles.h"
#include "tools/mapconvert/RawFiles.h"
#include "tools/mapconvert/SampledMap.h"
#include "tools/mapconvert/Shaping.h"

namespace {

const char* const kUsage =
    "usage: mapconvert COMMAND ARGUMENTS\n"
    "\n"
    "  mapconvert info MAP [--pack DIR]\n"
    "      size, records held against records needed, height range, vertices\n"
    "      per ground letter and tile texture names of a .map file\n"
    "  mapconvert export MAP OUT.png [--ground GROUND.png]\n"
    "  mapconvert export --raw MAP OUT.r16 [--ground GROUND.png]\n"
    "      the heights as a 16-bit greyscale PNG, or as 16-bit little-endian\n"
    "      RAW with --raw; --ground also writes the ground letters as an 8-bit\n"
    "      picture (both files are written, or neither)\n"
    "  mapconvert import IN.png OUT.map [--ground GROUND.png] [--pack DIR] [--seed N]\n"
    "  mapconvert import --raw IN.r16 OUT.map [--size WxH] [--big-endian] [...]\n"
    "      a map from a heightmap of at most 4097 x 4097 pixels, shaded as the\n"
    "      editor shades it; ground from GROUND.png or earth. Any PNG is read:\n"
    "      colour and palette pictures by their brightness, alpha ignored. A\n"
    "      RAW file is square unless --size gives its size. --seed N makes the\n"
    "      choice of ground tiles repeatable (default: seeded with the time)\n"
    "  mapconvert preview MAP OUT.png [--size N] [--pack DIR]\n"
    "      the map drawn from straight above as the editor shows it, the longer\n"
    "      side N pixels (default 512, at most 1024)\n"
    "  mapconvert erode [--droplets N] [--seed S] IN.map OUT.map\n"
    "      hydraulic erosion of the whole map by N water droplets (default one\n"
    "      per cell); the same seed gives the same map (default: the time)\n"
    "  mapconvert paint [--snow-above H] [--earth-steeper-than DEG] [--seed S]\n"
    "                   [--pack DIR] IN.map OUT.map\n"
    "      every vertex gets snow above height H (default 0.8), else earth\n"
    "      where the ground is steeper than DEG degrees (default 30), else\n"
    "      meadow; the tile blocks that changed are chosen again (seeded by S)\n"
    "\n"
    "Heightmaps have one pixel per vertex: a map of W x H cells is a picture of\n"
    "(W + 1) x (H + 1) pixels. The picture's bottom row is the map's row y = 0,\n"
    "its top row y = H, its left column x = 0 (RAW files: the first row is the\n"
    "top row). Samples run linearly from the terrain's lowest height -2 (0) to\n"
    "its highest 1.5 (65535; 255 in 8-bit pictures); export stores the two in\n"
    "the PNG text chunks HeightMin and HeightMax, a RAW file cannot hold them.\n"
    "Ground pictures: earth 0, meadow 128, snow 255 (read back: below 64\n"
    "earth, below 192 meadow, else snow).\n"
    "\n"
    "--pack DIR is the folder that holds the editor's textures/ (default: the\n"
    "working folder, else the folder of this program, else the pack installed\n"
    "with it in ../share/terrain-editor); import, paint and preview use it to give\n"
    "tiles the editor's texture names and to draw them, info to show the file\n"
    "names of the tiles beside their numbers.\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 wrong usage.\n"
    "mapconvert --version prints the version.\n";

#ifndef MAPCONVERT_VERSION
#define MAPCONVERT_VERSION "unknown"
#endif

// True when path ends in extension (".map"), in either letter case.
bool EndsWith(const std::string& path, const char* extension) {
    const size_t length = std::strlen(extension);
    if (path.size() < length) return false;
    for (size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(path[path.size() - length + i])) != extension[i])
            return false;
    return true;
}

// The fault of an output whose name says it is the other kind of file: a
// map named as a picture, or a picture named as a map.
std::string OutputFault(const std::string& path, bool map) {
    if (map && (EndsWith(path, ".png") || EndsWith(path, ".r16") || EndsWith(path, ".raw")))
        return "the output " + path + " is named as a picture, but this command writes a map";
    if (!map && EndsWith(path, ".map"))
        return "the output " + path + " is named as a map, but this command writes a picture";
    return std::string();
}

// "WxH" of a RAW heightmap.
bool ParseRawSize(const std::string& text, RawLayout* layout) {
    const size_t x = text.find('x');
    unsigned long width = 0, height = 0;
    if (x == std::string::npos ||
        !ParseNumber(text.substr(0, x), 1, kMaxPictureSide, &width) ||
        !ParseNumber(text.substr(x + 1), 1, kMaxPictureSide, &height))
        return false;
    layout->width = int(width);
    layout->height = int(height);
    return true;
}

// A heightmap or ground picture, PNG or RAW; a colour picture is read by its
// brightness, and the user is told so.
bool ReadPicture(const std::string& path, const RawLayout* raw, GreyPicture* picture,
                 std::string* error) {
    if (raw) return ReadRaw16(path, *raw, picture, error);
    bool inColour = false;
    if (!ReadPngAsGrey(path, picture, &inColour, error)) return false;
    if (inColour)
        std::fprintf(stderr,
                     "mapconvert: warning: %s is in colour (red, green and blue differ); its "
                     "brightness is read\n",
                     path.c_str());
    return true;
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
    MapFacts facts;
    std::string error;
    if (!ScanMapFile(args.plain[0], &facts, &error)) return Fail(error);
    const std::map<uint32_t, std::string> files = GroundTextureFiles(args.pack);
    PrintMapFacts(stdout, args.plain[0], facts, files);
    return 0;
}

int Export(const Arguments& args) {
    const std::string& mapPath = args.plain[0];
    const std::string& outPath = args.plain[1];
    std::string fault = OutputFault(outPath, false);
    if (fault.empty() && !args.ground.empty()) fault = OutputFault(args.ground, false);
    if (!fault.empty()) return WrongCall(fault);
    std::string error;
    if (!CanCreateFile(outPath, &error)) return Fail(error);
    if (!args.ground.empty() && !CanCreateFile(args.ground, &error)) return Fail(error);
    MapFacts header;
    TerrainModel terrain(nullptr, 0, 0);
    if (!CheckMap(mapPath, &header, &error) || !LoadMap(mapPath, terrain, &error))
        return Fail(error);

    char low[32], high[32];
    std::snprintf(low, sizeof low, "%.9g", double(terrain.minHeight));
    std::snprintf(high, sizeof high, "%.9g", double(terrain.maxHeight));
    const PngTexts texts = {
        {"HeightMin", low},
        {"HeightMax", high},
        {"Orientation", "bottom row = map row y = 0, left column = x = 0"},
        {"Software", "mapconvert"},
    };
    const PngTexts groundTexts = {
        {"Ground", "earth 0, meadow 128, snow 255"},
        {"Software", "mapconvert"},
    };
    const GreyPicture heights = HeightPicture(terrain);
    const GreyPicture ground = args.ground.empty() ? GreyPicture() : GroundPicture(terrain);
    std::string heightsFailure, groundFailure;
    const PngContent heightsPng = GreyPngContent(heights, texts, &heightsFailure);
    const PngContent groundPng = GreyPngContent(ground, groundTexts, &groundFailure);
    std::vector<OutputFile> outputs;
    if (args.raw)
        outputs.push_back({outPath, WriteRaw16, &heights, nullptr});
    else
        outputs.push_back({outPath, WritePng, &heightsPng, &heightsFailure});
    if (!args.ground.empty()) outputs.push_back({args.ground, WritePng, &groundPng, &groundFailure});
    if (!WriteOutputs(outputs, &error)) return Fail(error);
    return 0;
}

int Import(const Arguments& args) {
    RawLayout layout;
    layout.bigEndian = args.bigEndian;
    unsigned long seed = 0;
    std::string fault;
    if (!args.raw && (args.bigEndian || !args.size.empty()))
        fault = std::string(args.bigEndian ? "--big-endian" : "--size") + " is for RAW input (--raw)";
    else if (!args.size.empty() && !ParseRawSize(args.size, &layout))
        fault = "--size " + args.size + ": not a size WxH of 1 to " +
                std::to_string(kMaxPictureSide) + " pixels each way";
    else if (!args.seed.empty())
        fault = NumberFault("--seed", args.seed, 0, 0xFFFFFFFFul, &seed);
    if (fault.empty()) fault = OutputFault(args.plain[1], true);
    if (!fault.empty()) return WrongCall(fault);
    const std::string& inPath = args.plain[0];
    const std::string& mapPath = args.plain[1];
    std::string error;
    if (!CanCreateFile(mapPath, &error)) return Fail(error);
    GreyPicture heights, ground;
    if (!ReadPicture(inPath, args.raw ? &layout : nullptr, &heights, &error)) return Fail(error);
    if (!args.ground.empty() && !ReadPicture(args.ground, nullptr, &ground, &error))
        return Fail(error);

    EditorScene scene;
    if (!scene.Open(FindTexturePack(args.pack), &error)) return Fail(error);
    TerrainModel& terrain = scene.Terrain();
    if (!FillTerrain(heights, args.ground.empty() ? nullptr : &ground, terrain, &error))
        return Fail(inPath + ": " + error);
    // The tiles are a random choice, seeded as the editor seeds it unless a
    // seed is given.
    std::srand(args.seed.empty() ? static_cast<unsigned>(std::time(nullptr)) : unsigned(seed));
    terrain.ShadeAll();
    errno = 0;
    if (!WriteMapFile(mapPath.c_str(), terrain))
        return Fail(WriteFailure(mapPath, "the map could not be written"));
    return 0;
}

// Fills terrain for a top view of longSide pixels: the whole map when it has
// no more cells than the picture has pixels, else a sampled grid of one cell
// per pixel.
bool LoadForPicture(const std::string& path, const MapFacts& header, int longSide,
                    TerrainModel& terrain, std::string* error) {
    int width = 0, height = 0;
    if (header.width >= 1 && header.height >= 1)
        TopViewSize(header.width, header.height, longSide, &width, &height);
    if (header.width <= width && header.height <= height) return LoadMap(path, terrain, error);
    return ReadSampledMap(path, header, std::min(header.width, width),
                          std::min(header.height, height), terrain, error);
}

int Preview(const Arguments& args) {
    unsigned long size = 512;
    std::string fault =
        args.size.empty() ? std::string() : NumberFault("--size", args.size, 16, 1024, &size);
    if (fault.empty()) fault = OutputFault(args.plain[1], false);
    if (!fault.empty()) return WrongCall(fault);
    const std::string& mapPath = args.plain[0];
    const std::string& outPath = args.plain[1];
    std::string error;
    MapFacts header;
    if (!CanCreateFile(outPath, &error) || !CheckMap(mapPath, &header, &error)) return Fail(error);

    EditorScene scene;
    if (!scene.Open(FindTexturePack(args.pack), &error)) return Fail(error);
    if (!LoadForPicture(mapPath, header, int(size), scene.Terrain(), &error)) return Fail(error);
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    if (!scene.DrawTopView(int(size), &width, &height, &rgb, &error))
        return Fail(mapPath + ": " + error);
    std::string failure;
    const PngContent png = RgbPngContent(width, height, rgb, &failure);
    if (!WriteOutputs({{outPath, WritePng, &png, &failure}}, &error)) return Fail(error);
    return 0;
}

// The size commands run in MapSizes.cpp; their one line comes back here.
int RunSized(int (*command)(const SizeCall&, std::string*), const Arguments& args) {
    const SizeCall call = {args.plain, args.size, args.anchor, args.height, args.ground, args.pack,
                           args.seed};
    std::string line;
    const int status = command(call, &line);
    if (status == 2) return WrongCall(line);
    return status == 0 ? 0 : Fail(line);
}
int New(const Arguments& args) { return RunSized(NewMapCommand, args); }
int Resize(const Arguments& args) { return RunSized(ResizeMapCommand, args); }
int Scale(const Arguments& args) { return RunSized(ScaleMapCommand, args); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return WrongCall("no command given");
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (name == "--version") {
        std::printf("mapconvert %s\n", MAPCONVERT_VERSION);
        return 0;
    }
    const Command commands[] = {
        {"info", Info, {"--pack"}, {"MAP"}},
        {"export", Export, {"--ground", "--raw"}, {"MAP", "OUT"}},
        {"import", Import, {"--ground", "--pack", "--raw", "--size", "--big-endian", "--seed"},
         {"IN", "OUT.map"}},
        {"preview", Preview, {"--size", "--pack"}, {"MAP", "OUT.png"}},
        {"erode", ErodeCommand, {"--droplets", "--seed"}, {"IN.map", "OUT.map"}},
        {"paint", PaintCommand, {"--snow-above", "--earth-steeper-than", "--seed", "--pack"},
         {"IN.map", "OUT.map"}},
        {"new", New, {"--size", "--height", "--ground", "--pack", "--seed"}, {"OUT.map"}},
        {"resize", Resize, {"--size", "--anchor", "--height", "--pack", "--seed"},
         {"IN.map", "OUT.map"}},
        {"scale", Scale, {"--size", "--pack", "--seed"}, {"IN.map", "OUT.map"}},
    };
    for (const Command& command : commands) {
        if (name != command.name) continue;
        Arguments args;
        const std::string fault = Parse(argc, argv, command, &args);
        return fault.empty() ? command.run(args) : WrongCall(fault);
    }
    return WrongCall("unknown command \"" + name + "\"");
}
