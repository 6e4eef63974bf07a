// Sampled map reading (see SampledMap.h).
#include "tools/mapconvert/SampledMap.h"

#include <sys/types.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "app/MapFile.h"
#include "gl/LittleEndian.h"
#include "platform/PlatformFiles.h"
#include "terrain/TerrainModel.h"

namespace {

// Map vertex of sampled vertex i, when cells map cells stand for samples.
int Pick(int i, int cells, int samples) {
    return int((int64_t(i) * cells + samples / 2) / samples);
}

// A record as the map file holds it: the ground byte and its padding, then
// sixteen 32-bit little-endian words (the tile's texture name and fifteen
// floats) in the order the vertex holds them, so the record's words land
// on the vertex's own.
void DecodeRecord(const uint8_t* record, TerrainVertex& vertex) {
    uint8_t* out = reinterpret_cast<uint8_t*>(&vertex);
    std::memcpy(out, record, 4);
    for (size_t word = 1; word < kMapRecordBytes / 4; ++word) {
        const uint32_t value = ReadLe32(record + 4 * word);
        std::memcpy(out + 4 * word, &value, sizeof value);
    }
}

}  // namespace

bool ReadSampledMap(const std::string& path, const MapFacts& header, int columns, int rows,
                    TerrainModel& terrain, std::string* error) {
    if (columns < 1 || rows < 1 || columns > header.width || rows > header.height) {
        *error = path + ": no sampled grid of " + std::to_string(columns) + " x " +
                 std::to_string(rows) + " cells for this map";
        return false;
    }
    plat::FilePtr file(plat::OpenRegularFile(path.c_str(), "rb", nullptr));
    const size_t rowBytes = (size_t(header.width) + 1) * kMapRecordBytes;
    std::vector<uint8_t> row;
    if (!file) {
        *error = path + ": cannot open the file: " + std::strerror(errno);
        return false;
    }
    row.resize(rowBytes);
    if (!terrain.Resize(columns, rows)) {
        *error = path + ": out of memory for a grid of " + std::to_string(columns) + " x " +
                 std::to_string(rows) + " cells";
        return false;
    }
    terrain.spacing = float(double(terrain.spacing) * header.width / columns);
    for (int j = 0; j <= rows; ++j) {
        const off_t at = off_t(kMapHeaderBytes + uint64_t(Pick(j, header.height, rows)) * rowBytes);
        if (fseeko(file.get(), at, SEEK_SET) != 0) {
            *error = path + ": cannot read the file: " + std::strerror(errno);
            return false;
        }
        const size_t whole = std::fread(row.data(), 1, rowBytes, file.get()) / kMapRecordBytes;
        if (std::ferror(file.get())) {
            *error = path + ": cannot read the file: " + std::strerror(errno);
            return false;
        }
        for (int i = 0; i <= columns; ++i) {
            const size_t x = size_t(Pick(i, header.width, columns));
            if (x < whole) DecodeRecord(row.data() + x * kMapRecordBytes, terrain.columns[i][j]);
        }
    }
    return true;
}
