// Copies, their turns and placements, and the copy file (see Regions.h).
#include "terrain/Regions.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "terrain/Symmetry.h"
#include "terrain/TerrainModel.h"

namespace {

const char kCopyMark[8] = {'T', 'E', 'C', 'O', 'P', 'Y', '0', '1'};
constexpr size_t kCopyHeaderBytes = 16;
constexpr size_t kCopyVertexBytes = 5;

GroundCopy Sized(int32_t width, int32_t height) {
    GroundCopy c;
    c.width = width;
    c.height = height;
    c.heights.resize(size_t(width) * size_t(height));
    c.grounds.resize(c.heights.size());
    return c;
}

// A copy rebuilt with vertex (x, y) of the result taken from `from(x, y)`.
template <typename From>
GroundCopy Rebuilt(const GroundCopy& copy, int32_t width, int32_t height, From from) {
    GroundCopy out = Sized(width, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const size_t source = from(x, y), target = size_t(x) + size_t(y) * size_t(width);
            out.heights[target] = copy.heights[source];
            out.grounds[target] = copy.grounds[source];
        }
    return out;
}

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

uint32_t GetU32(const uint8_t* in) {
    return uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24;
}

}  // namespace

GroundCopy CopyVertices(const TerrainModel& t, int x0, int y0, int x1, int y1) {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, t.width), y1 = std::min(y1, t.height);
    if (t.columns == nullptr || x0 > x1 || y0 > y1) return GroundCopy();
    GroundCopy c = Sized(x1 - x0 + 1, y1 - y0 + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const size_t i = size_t(x - x0) + size_t(y - y0) * size_t(c.width);
            c.heights[i] = t.columns[x][y].height;
            c.grounds[i] = t.columns[x][y].ground;
        }
    return c;
}

GroundCopy Turned(const GroundCopy& c) {
    // Result vertex (x, y) came from (y, height - 1 - x) of the copy.
    return Rebuilt(c, c.height, c.width, [&](int32_t x, int32_t y) {
        return size_t(y) + size_t(c.height - 1 - x) * size_t(c.width);
    });
}

GroundCopy FlippedLeftRight(const GroundCopy& c) {
    return Rebuilt(c, c.width, c.height, [&](int32_t x, int32_t y) {
        return size_t(c.width - 1 - x) + size_t(y) * size_t(c.width);
    });
}

GroundCopy FlippedTopBottom(const GroundCopy& c) {
    return Rebuilt(c, c.width, c.height, [&](int32_t x, int32_t y) {
        return size_t(x) + size_t(c.height - 1 - y) * size_t(c.width);
    });
}

VertexBox PlacementReach(const TerrainModel& t, const GroundCopy& c, int originX, int originY) {
    return {std::max(0, originX - 1), std::max(0, originY - 1),
            std::min(t.width, originX + c.width), std::min(t.height, originY + c.height)};
}

void PlaceCopy(TerrainModel& t, const GroundCopy& c, int originX, int originY, bool stamp) {
    const int x0 = std::max(0, originX), y0 = std::max(0, originY);
    const int x1 = std::min(t.width, originX + c.width - 1);
    const int y1 = std::min(t.height, originY + c.height - 1);
    if (t.columns == nullptr || c.Empty() || x0 > x1 || y0 > y1) return;
    const float lowest = *std::min_element(c.heights.begin(), c.heights.end());
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y) {
            const size_t i = size_t(x - originX) + size_t(y - originY) * size_t(c.width);
            TerrainVertex& v = t.columns[x][y];
            const double h = stamp ? double(v.height) + (double(c.heights[i]) - lowest)
                                   : double(c.heights[i]);
            v.height = float(std::min<double>(t.maxHeight, std::max<double>(t.minHeight, h)));
            if (!stamp) v.ground = c.grounds[i];
        }
    // The blocks of the placed vertices' cells take tiles for the new
    // letters; a vertex's light reads its +x and +y neighbours, so the row
    // and column before the copy are lit again too.
    if (!stamp) {
        std::vector<int32_t> blocks;
        for (int bx = x0 - x0 % 2; bx <= std::min(x1, t.width - 1); bx += 2)
            for (int by = y0 - y0 % 2; by <= std::min(y1, t.height - 1); by += 2)
                blocks.push_back(int32_t((uint32_t(bx) << 16) | uint32_t(by)));
        t.RetileBlocks(blocks);
    }
    const VertexBox lit = PlacementReach(t, c, originX, originY);
    for (int x = lit.x0; x <= lit.x1; ++x)
        for (int y = lit.y0; y <= lit.y1; ++y) t.RelightVertex(x, y);
}

std::vector<PlacementSpot> MirroredSpots(const TerrainModel& t, const GroundCopy& c,
                                         int originX, int originY, int symmetry) {
    // The vertex image of x is W - x, so the copy's last column lands on
    // W - originX and its first on W - (originX + width - 1).
    const int mirrorX = t.width - (originX + c.width - 1);
    const int mirrorY = t.height - (originY + c.height - 1);
    const bool leftRight = symmetry == kSymmetryLeftRight || symmetry == kSymmetryBoth;
    const bool topBottom = symmetry == kSymmetryTopBottom || symmetry == kSymmetryBoth;
    const bool turned = symmetry == kSymmetryBoth || symmetry == kSymmetryPoint;
    std::vector<PlacementSpot> list{{originX, originY, false, false}};
    auto add = [&](int x, int y, bool flipX, bool flipY) {
        for (const PlacementSpot& p : list)
            if (p.originX == x && p.originY == y) return;
        list.push_back({x, y, flipX, flipY});
    };
    if (leftRight) add(mirrorX, originY, true, false);
    if (topBottom) add(originX, mirrorY, false, true);
    if (turned) add(mirrorX, mirrorY, true, true);
    return list;
}

GroundCopy CopyAt(const GroundCopy& c, const PlacementSpot& spot) {
    if (spot.flipLeftRight && spot.flipTopBottom) return FlippedTopBottom(FlippedLeftRight(c));
    if (spot.flipLeftRight) return FlippedLeftRight(c);
    if (spot.flipTopBottom) return FlippedTopBottom(c);
    return c;
}

std::vector<uint8_t> EncodeCopy(const GroundCopy& c) {
    std::vector<uint8_t> out(kCopyMark, kCopyMark + sizeof kCopyMark);
    out.reserve(kCopyHeaderBytes + kCopyVertexBytes * c.heights.size());
    PutU32(out, uint32_t(c.width));
    PutU32(out, uint32_t(c.height));
    for (size_t i = 0; i < c.heights.size(); ++i) {
        uint32_t bits;
        std::memcpy(&bits, &c.heights[i], sizeof bits);
        PutU32(out, bits);
        out.push_back(uint8_t(c.grounds[i]));
    }
    return out;
}

bool DecodeCopy(const uint8_t* bytes, size_t size, GroundCopy* copy, std::string* reason) {
    if (size < kCopyHeaderBytes || std::memcmp(bytes, kCopyMark, sizeof kCopyMark) != 0) {
        *reason = "no copy of ground (its first bytes are not TECOPY01)";
        return false;
    }
    const uint32_t width = GetU32(bytes + 8), height = GetU32(bytes + 12);
    if (width < 1 || height < 1 || width > uint32_t(kMaxCopySide) ||
        height > uint32_t(kMaxCopySide)) {
        *reason = "its size " + std::to_string(width) + " x " + std::to_string(height) +
                  " lies outside 1 to " + std::to_string(kMaxCopySide) + " vertices";
        return false;
    }
    const uint64_t vertices = uint64_t(width) * height;
    if (uint64_t(size - kCopyHeaderBytes) != vertices * kCopyVertexBytes) {
        *reason = "its length does not match its size";
        return false;
    }
    GroundCopy c = Sized(int32_t(width), int32_t(height));
    for (size_t i = 0; i < c.heights.size(); ++i) {
        const uint8_t* at = bytes + kCopyHeaderBytes + i * kCopyVertexBytes;
        const uint32_t bits = GetU32(at);
        std::memcpy(&c.heights[i], &bits, sizeof bits);
        c.grounds[i] = char(at[4]);
        if (!std::isfinite(c.heights[i]) ||
            (c.grounds[i] != 'e' && c.grounds[i] != 'w' && c.grounds[i] != 's')) {
            *reason = "vertex " + std::to_string(i) + " holds no height or no ground";
            return false;
        }
    }
    *copy = std::move(c);
    return true;
}
