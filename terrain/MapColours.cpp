// Ground colours are the mean colours of the pack's plain tiles (eeee, wwww,
// ssss); a letter the editor does not paint shows grey. Water covers a cell
// whose vertex lies below the water level, over the ground as dimmed below
// the water line.
#include "terrain/MapColours.h"

#include <algorithm>

#include "terrain/TerrainModel.h"

namespace {

constexpr float kEarth[3] = {114.0f, 84.0f, 54.0f};
constexpr float kMeadow[3] = {76.0f, 122.0f, 36.0f};
constexpr float kSnow[3] = {230.0f, 236.0f, 247.0f};
constexpr float kOther[3] = {128.0f, 128.0f, 128.0f};
constexpr float kWater[3] = {60.0f, 120.0f, 190.0f};
constexpr float kWaterCover = 0.6f;

const float* GroundColour(char letter) {
    switch (letter) {
        case 'e': return kEarth;
        case 'w': return kMeadow;
        case 's': return kSnow;
        default: return kOther;
    }
}

void AddCell(const TerrainModel& t, int x, int y, float sum[3]) {
    const TerrainVertex& v = t.columns[x][y];
    const float* ground = GroundColour(v.ground);
    const float light = std::clamp(v.colour[0], 0.0f, 1.0f);
    const float water = v.height < t.waterLevel ? kWaterCover : 0.0f;
    for (int k = 0; k < 3; ++k) sum[k] += ground[k] * light * (1.0f - water) + kWater[k] * water;
}

// Sample i of n spread evenly over [first, last), at the middles of n parts.
int Sample(int first, int last, int i, int n) {
    return first + int((int64_t(2 * i + 1) * (last - first)) / (2 * n));
}

}  // namespace

void MapCellColour(void* terrain, int x0, int y0, int x1, int y1, uint8_t rgb[3]) {
    const TerrainModel& t = *static_cast<const TerrainModel*>(terrain);
    const int nx = std::min(x1 - x0, kMapColourSamples), ny = std::min(y1 - y0, kMapColourSamples);
    float sum[3] = {0.0f, 0.0f, 0.0f};
    for (int i = 0; i < nx; ++i)
        for (int j = 0; j < ny; ++j) AddCell(t, Sample(x0, x1, i, nx), Sample(y0, y1, j, ny), sum);
    for (int k = 0; k < 3; ++k)
        rgb[k] = static_cast<uint8_t>(std::clamp(sum[k] / (nx * ny), 0.0f, 255.0f) + 0.5f);
}
