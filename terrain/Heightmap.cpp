// Heightmap conversions (see Heightmap.h).
#include "terrain/Heightmap.h"

#include <algorithm>
#include <cmath>

#include "terrain/TerrainModel.h"

uint16_t HeightToSample(float height, float low, float high) {
    const double t = (double(height) - low) / (double(high) - low);
    if (!(t > 0.0)) return 0;  // also NaN
    if (t >= 1.0) return 65535;
    return static_cast<uint16_t>(std::lround(t * 65535.0));
}

float SampleToHeight(uint16_t sample, float low, float high) {
    const double height = low + (double(high) - low) * (sample / 65535.0);
    return std::min(high, std::max(low, static_cast<float>(height)));
}

namespace {

GreyPicture PictureOf(const TerrainModel& terrain, int bitDepth) {
    GreyPicture picture;
    picture.width = terrain.width + 1;
    picture.height = terrain.height + 1;
    picture.bitDepth = bitDepth;
    picture.samples.resize(size_t(picture.width) * size_t(picture.height));
    return picture;
}

// Index of vertex (x, y) in a picture of the map, top row first.
size_t PixelOf(const GreyPicture& picture, int x, int y) {
    return size_t(picture.height - 1 - y) * size_t(picture.width) + size_t(x);
}

}  // namespace

GreyPicture HeightPicture(const TerrainModel& terrain) {
    GreyPicture picture = PictureOf(terrain, 16);
    for (int x = 0; x <= terrain.width; ++x)
        for (int y = 0; y <= terrain.height; ++y)
            picture.samples[PixelOf(picture, x, y)] =
                HeightToSample(terrain.columns[x][y].height, terrain.minHeight, terrain.maxHeight);
    return picture;
}

GreyPicture GroundPicture(const TerrainModel& terrain) {
    GreyPicture picture = PictureOf(terrain, 8);
    for (int x = 0; x <= terrain.width; ++x)
        for (int y = 0; y <= terrain.height; ++y) {
            const char letter = terrain.columns[x][y].ground;
            picture.samples[PixelOf(picture, x, y)] =
                letter == 'w' ? kMeadowGrey : letter == 's' ? kSnowGrey : kEarthGrey;
        }
    return picture;
}

bool FillTerrain(const GreyPicture& heights, const GreyPicture* ground, TerrainModel& terrain,
                 std::string* error) {
    if (heights.width < 2 || heights.height < 2) {
        *error = "a heightmap needs at least 2 x 2 pixels (one cell)";
        return false;
    }
    if (ground && (ground->width != heights.width || ground->height != heights.height)) {
        *error = "the ground picture is " + std::to_string(ground->width) + " x " +
                 std::to_string(ground->height) + " pixels, the heightmap " +
                 std::to_string(heights.width) + " x " + std::to_string(heights.height);
        return false;
    }
    if (!terrain.Resize(heights.width - 1, heights.height - 1)) {
        *error = "out of memory for a map of " + std::to_string(heights.width - 1) + " x " +
                 std::to_string(heights.height - 1) + " cells";
        return false;
    }
    // Strips of a few columns: the grid lies column by column and the picture
    // row by row, so both are read and written nearly in order.
    const int strip = 16;
    for (int x0 = 0; x0 <= terrain.width; x0 += strip)
        for (int y = 0; y <= terrain.height; ++y)
            for (int x = x0; x <= std::min(terrain.width, x0 + strip - 1); ++x) {
                const size_t pixel = PixelOf(heights, x, y);
                uint16_t sample = heights.samples[pixel];
                if (heights.bitDepth == 8) sample = uint16_t(sample * 257);
                TerrainVertex& vertex = terrain.columns[x][y];
                vertex.height = SampleToHeight(sample, terrain.minHeight, terrain.maxHeight);
                if (ground) {
                    const unsigned grey = ground->bitDepth == 16 ? ground->samples[pixel] >> 8
                                                                 : ground->samples[pixel];
                    vertex.ground = grey < 64 ? 'e' : grey < 192 ? 'w' : 's';
                }
            }
    return true;
}
