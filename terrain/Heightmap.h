// Map grid <-> heightmap pictures.
//
// Conventions: one pixel per vertex, so a map of W x H cells is a picture of
// (W + 1) x (H + 1) pixels. The picture's top row is the map's last row
// (y = H) and its bottom row the map's first (y = 0); its left column is
// x = 0. That is how heightmaps are usually laid out: the map seen from
// above with +y pointing up the picture. Heights map linearly from the
// terrain's lowest allowed height (sample 0) to its highest (65535); an
// 8-bit picture's sample v stands for v x 257. Ground pictures are 8-bit
// grey: earth kEarthGrey, meadow kMeadowGrey, snow kSnowGrey; read back,
// below 64 is earth, below 192 meadow, the rest snow.
#pragma once

#include <cstdint>
#include <string>

#include "gl/PngFiles.h"

class TerrainModel;

constexpr uint8_t kEarthGrey = 0;
constexpr uint8_t kMeadowGrey = 128;
constexpr uint8_t kSnowGrey = 255;

// Nearest 16-bit step; heights outside [low, high] give 0 or 65535.
uint16_t HeightToSample(float height, float low, float high);
// The height a 16-bit sample stands for, always within [low, high].
float SampleToHeight(uint16_t sample, float low, float high);

// 16-bit heights (between the terrain's minHeight and maxHeight).
GreyPicture HeightPicture(const TerrainModel& terrain);
// 8-bit ground letters; letters of no ground come out as earth.
GreyPicture GroundPicture(const TerrainModel& terrain);

// Re-creates terrain at (width - 1) x (height - 1) cells from the heights
// picture and, when given, a ground picture of the same size (else earth
// everywhere). Heights are clamped to the terrain's limits. Nothing is
// shaded. False with the reason when the sizes do not fit or memory runs out.
bool FillTerrain(const GreyPicture& heights, const GreyPicture* ground, TerrainModel& terrain,
                 std::string* error);
