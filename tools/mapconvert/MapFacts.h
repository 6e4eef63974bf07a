// Facts about a .map file, read straight from the file: its declared size,
// the records it holds against those the header needs, the height range,
// the ground letters and the tile texture names of its cells.
//
// Conventions: the file is streamed through a buffer of a bounded number of
// records, so a file of any length costs the same memory; the header is
// checked against the largest map (kMaxMapCellsPerSide) before anything
// else, and all counts are 64-bit. Records are decoded with the explicit
// little-endian helpers, as the editor writes them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

struct MapFacts {
    int32_t width = 0;
    int32_t height = 0;
    uint64_t recordsNeeded = 0;  // (width + 1) x (height + 1)
    uint64_t recordsHeld = 0;    // whole records present, at most recordsNeeded
    uint64_t strayBytes = 0;     // bytes of a cut record, or past the last one
    bool anyHeight = false;      // false when no record holds a number
    float lowest = 0.0f;
    float highest = 0.0f;
    std::map<uint8_t, uint64_t> grounds;        // ground byte -> vertices
    std::map<uint32_t, uint64_t> tileTextures;  // texture name -> cells
};

// Fills facts from the file at path. False with one line naming the file and
// the reason when it cannot be read or its header is no map header.
bool ScanMapFile(const std::string& path, MapFacts* facts, std::string* error);

// The same from the header and the file's length alone: the size and the
// record counts, without reading a record (heights, grounds and tiles stay
// empty). For commands that need to know what a file holds before they read
// it (a cut map, a size for a picture).
bool ReadMapHeader(const std::string& path, MapFacts* facts, std::string* error);

// The facts as the info command prints them.
// files: names of tile textures by their OpenGL texture name, shown beside
// the numbers they know (may be empty).
void PrintMapFacts(std::FILE* out, const std::string& path, const MapFacts& facts,
                   const std::map<uint32_t, std::string>& files);
