// Golden files of the frame and edit-session checks, and the map they start
// from.
//
// Conventions: golden files live in <source>/tests/golden/ (the source folder
// comes from TERRAIN_SOURCE_DIR, which CTest sets) and are gzip-compressed.
// With TERRAIN_UPDATE_GOLDEN=1 in the environment the checks write what they
// produced there instead of comparing (build target `update_goldens`).
// Everything the checks produce is deterministic: fixed random seed, no time,
// nothing that depends on the frame rate.
#pragma once

#include <string>

namespace golden {

// The seed of the C library's generator that the tile choice draws from.
constexpr unsigned kSeed = 20261208;

// Gives gTerrain `cells` x `cells` cells of rolling hills with two hollows
// below the water level and painted patches of all three ground letters.
// Neither tiles nor light are set: the caller shades after seeding.
void MakeHillMap(int cells);

bool Updating();
std::string PathOf(const std::string& name);
// Whole contents of a gzip file; false when it cannot be read.
bool ReadGz(const std::string& path, std::string* bytes);
bool WriteGz(const std::string& path, const std::string& bytes);

// Compares what a check produced with the golden file `name`, or writes it
// there when updating. Returns an empty string when all is well, else the
// failure to report: `what` ("frames differ") from the file, followed by
// describe(expected, actual), which names the first difference.
using DescribeDifference = std::string (*)(const std::string& expected,
                                           const std::string& actual);
std::string Check(const std::string& name, const std::string& actual, const char* what,
                  DescribeDifference describe);

}  // namespace golden
