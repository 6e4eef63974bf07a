// Streaming scan of a .map file (see MapFacts.h).
#include "tools/mapconvert/MapFacts.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "app/MapFile.h"
#include "gl/LittleEndian.h"
#include "platform/PlatformFiles.h"

namespace {

// Records read per step: about a quarter of a megabyte.
const size_t kRecordsPerStep = 4096;

const char* GroundName(uint8_t letter) {
    switch (letter) {
        case 'e': return "earth";
        case 'w': return "meadow";
        case 's': return "snow";
        default: return nullptr;
    }
}

using plat::FilePtr;

// Opens path and fills the header facts; the file stands after the header.
FilePtr OpenMap(const std::string& path, MapFacts* facts, std::string* error) {
    *facts = MapFacts();
    // Never a FIFO or device: their reads could block or have effects.
    errno = 0;
    bool notRegular = false;
    FilePtr file(plat::OpenRegularFile(path.c_str(), "rb", &notRegular));
    if (!file) {
        *error = path + (notRegular ? std::string(": is not a regular file")
                                    : ": cannot open the file: " + std::string(std::strerror(errno)));
        return nullptr;
    }
    // The length, from the end position: a map is at most about 1.2 GB, and
    // a length that does not fit a long (or a stream without one) is refused.
    if (std::fseek(file.get(), 0, SEEK_END) != 0) {
        *error = path + ": cannot read the file: " + std::strerror(errno);
        return nullptr;
    }
    const long end = std::ftell(file.get());
    if (end < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        *error = path + ": cannot read the file: " + std::strerror(errno);
        return nullptr;
    }
    const uint64_t length = uint64_t(end);
    uint8_t header[kMapHeaderBytes];
    if (length < kMapHeaderBytes || std::fread(header, 1, kMapHeaderBytes, file.get()) != kMapHeaderBytes) {
        *error = path + ": too short for a map header (" + std::to_string(length) + " bytes)";
        return nullptr;
    }
    facts->width = ReadLeS32(header);
    facts->height = ReadLeS32(header + 4);
    if (facts->width < 0 || facts->height < 0 || facts->width > kMaxMapCellsPerSide ||
        facts->height > kMaxMapCellsPerSide) {
        *error = path + ": the header declares " + std::to_string(facts->width) + " x " +
                 std::to_string(facts->height) + " cells; a map has 0 to " +
                 std::to_string(kMaxMapCellsPerSide) + " a side";
        return nullptr;
    }
    const uint64_t columns = uint64_t(facts->width) + 1;
    facts->recordsNeeded = columns * (uint64_t(facts->height) + 1);
    const uint64_t body = length - kMapHeaderBytes;
    facts->recordsHeld = std::min(facts->recordsNeeded, body / kMapRecordBytes);
    facts->strayBytes = body - facts->recordsHeld * kMapRecordBytes;
    return file;
}

}  // namespace

bool ReadMapHeader(const std::string& path, MapFacts* facts, std::string* error) {
    return OpenMap(path, facts, error) != nullptr;
}

bool ScanMapFile(const std::string& path, MapFacts* facts, std::string* error) {
    FilePtr file = OpenMap(path, facts, error);
    if (!file) return false;
    const uint64_t columns = uint64_t(facts->width) + 1;
    std::vector<uint8_t> buffer(kRecordsPerStep * kMapRecordBytes);
    uint64_t index = 0;
    while (index < facts->recordsHeld) {
        const size_t want = size_t(std::min<uint64_t>(kRecordsPerStep, facts->recordsHeld - index));
        const size_t got = std::fread(buffer.data(), kMapRecordBytes, want, file.get());
        if (got != want) {
            *error = path + ": read error after " + std::to_string(index + got) + " records";
            return false;
        }
        for (size_t i = 0; i < got; ++i, ++index) {
            const uint8_t* record = buffer.data() + i * kMapRecordBytes;
            ++facts->grounds[record[0]];
            const uint32_t bits = ReadLe32(record + 40);
            float height;
            std::memcpy(&height, &bits, sizeof height);
            if (std::isfinite(height)) {
                facts->lowest = facts->anyHeight ? std::min(facts->lowest, height) : height;
                facts->highest = facts->anyHeight ? std::max(facts->highest, height) : height;
                facts->anyHeight = true;
            }
            // Only records of the lower-left vertex of a cell name a tile.
            const uint64_t x = index % columns, y = index / columns;
            if (x < uint64_t(facts->width) && y < uint64_t(facts->height))
                ++facts->tileTextures[ReadLe32(record + 4)];
        }
    }
    return true;
}

void PrintMapFacts(std::FILE* out, const std::string& path, const MapFacts& facts,
                   const std::map<uint32_t, std::string>& files) {
    std::fprintf(out, "%s\n", path.c_str());
    std::fprintf(out, "size: %d x %d cells (%d x %d vertices)\n", facts.width, facts.height,
                 facts.width + 1, facts.height + 1);
    const unsigned long long held = facts.recordsHeld, needed = facts.recordsNeeded;
    if (held < needed) {
        std::fprintf(out, "records: %llu of %llu (%llu missing: the file is cut short)\n", held,
                     needed, needed - held);
    } else {
        std::fprintf(out, "records: %llu of %llu (complete)\n", held, needed);
    }
    if (facts.strayBytes != 0) {
        std::fprintf(out, "stray bytes: %llu %s\n", static_cast<unsigned long long>(facts.strayBytes),
                     held < needed ? "of a cut record" : "past the last record");
    }
    if (facts.anyHeight) {
        std::fprintf(out, "heights: lowest %.6g, highest %.6g\n", double(facts.lowest),
                     double(facts.highest));
    } else {
        std::fprintf(out, "heights: none\n");
    }
    std::fprintf(out, "grounds:");
    for (const auto& entry : facts.grounds) {
        const char* name = GroundName(entry.first);
        if (name) {
            std::fprintf(out, " %c (%s) %llu", entry.first, name,
                         static_cast<unsigned long long>(entry.second));
        } else {
            std::fprintf(out, " byte %u %llu", unsigned(entry.first),
                         static_cast<unsigned long long>(entry.second));
        }
    }
    std::fprintf(out, "\ntile textures (name: cells):");
    for (const auto& entry : facts.tileTextures) {
        const auto file = files.find(entry.first);
        if (file != files.end()) {
            std::fprintf(out, " %u (%s): %llu", entry.first, file->second.c_str(),
                         static_cast<unsigned long long>(entry.second));
        } else {
            std::fprintf(out, " %u: %llu", entry.first,
                         static_cast<unsigned long long>(entry.second));
        }
    }
    std::fprintf(out, "\n");
}
