// Golden files and the hill map of the golden checks (see Golden.h).
#include "tests/support/Golden.h"

#include <zlib.h>

#include <cmath>
#include <cstdlib>

#include "app/Editor.h"
#include "terrain/TerrainModel.h"

namespace golden {

void MakeHillMap(int cells) {
    TerrainModel& t = *gTerrain;
    t.Resize(cells, cells);
    const float n = static_cast<float>(cells);
    for (int x = 0; x <= t.width; ++x) {
        for (int y = 0; y <= t.height; ++y) {
            TerrainVertex& v = t.columns[x][y];
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            // Gentle waves, and two round hollows that reach below the water
            // level (-1.0): one near the map's origin corner, one in the far
            // half.
            float h = 0.4f * std::sin(fx * 0.5f) * std::cos(fy * 0.35f);
            const float d1 = std::hypot(fx - 0.25f * n, fy - 0.55f * n);
            const float d2 = std::hypot(fx - 0.7f * n, fy - 0.75f * n);
            h -= 1.6f * std::exp(-d1 * d1 / 6.0f) + 1.4f * std::exp(-d2 * d2 / 5.0f);
            v.height = h;
            const int band = (x / 3 + 2 * (y / 4)) % 5;
            v.ground = band == 1 ? 'w' : band == 3 ? 's' : 'e';
        }
    }
}

bool Updating() {
    const char* flag = std::getenv("TERRAIN_UPDATE_GOLDEN");
    return flag != nullptr && flag[0] != '\0' && flag[0] != '0';
}

std::string PathOf(const std::string& name) {
    const char* source = std::getenv("TERRAIN_SOURCE_DIR");
    return std::string(source ? source : ".") + "/tests/golden/" + name;
}

bool ReadGz(const std::string& path, std::string* bytes) {
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    bytes->clear();
    char buffer[65536];
    int got;
    while ((got = gzread(file, buffer, sizeof buffer)) > 0) bytes->append(buffer, size_t(got));
    const bool ok = got == 0;
    return gzclose(file) == Z_OK && ok;
}

bool WriteGz(const std::string& path, const std::string& bytes) {
    // Level 9 and no name or time stamp in the header: the same content gives
    // the same file.
    gzFile file = gzopen(path.c_str(), "wb9");
    if (file == nullptr) return false;
    const bool ok = bytes.empty() ||
                    gzwrite(file, bytes.data(), unsigned(bytes.size())) == int(bytes.size());
    return gzclose(file) == Z_OK && ok;
}

std::string Check(const std::string& name, const std::string& actual, const char* what,
                  DescribeDifference describe) {
    const std::string path = PathOf(name);
    if (Updating())
        return WriteGz(path, actual) ? std::string() : "cannot write " + path;
    std::string expected;
    if (!ReadGz(path, &expected)) return path + " is missing: build the target update_goldens";
    if (expected == actual) return std::string();
    return std::string(what) + " from " + path + "\n" + describe(expected, actual);
}

}  // namespace golden
