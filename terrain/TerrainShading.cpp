// Per-vertex preparation of the terrain for drawing: normals and brightness
// (RelightVertex) and the random choice of ground tiles (RetileBlock).
//
// Conventions: h(x, y) is the height of vertex (x, y), z points up, s is the
// grid spacing. A tile block is 2 x 2 cells whose lower-left vertex has even
// x and y; one ground texture covers the whole block and cell (x0 + c,
// y0 + r) shows the quarter u in [c/2, c/2 + 1/2], v in [r/2, r/2 + 1/2]
// before rotation and mirroring. A tile code is the first four characters of
// a ground texture's name, one ground letter per quarter in the order
// top-left, top-right, bottom-left, bottom-right (v upward); a block's
// pattern lists its vertices (x0, y0+1), (x0+1, y0+1), (x0, y0), (x0+1, y0)
// in that same order. Brightness values are not clamped here; OpenGL clamps
// colours when drawing.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "terrain/TerrainModel.h"

namespace {

// Sum of four letters as signed 8-bit values, kept to 8 bits. Only a code
// that is a permutation of the pattern can match in some orientation, and a
// permutation has the same sum, so this filter never changes the result.
int8_t LetterSum(const char letters[4]) {
    int sum = 0;
    for (int i = 0; i < 4; ++i) sum += static_cast<int8_t>(letters[i]);
    return static_cast<int8_t>(sum);
}

// Quarter turn of a code, matching the (u, v) -> (1 - v, u) turn of the
// texture coordinates: the top-left cell then shows the old bottom-left
// quarter, and so on.
void RotateCode(char code[4]) {
    const char c0 = code[0], c1 = code[1], c2 = code[2], c3 = code[3];
    code[0] = c2;
    code[1] = c0;
    code[2] = c3;
    code[3] = c1;
}

// Left-right mirror of a code, matching u -> 1 - u.
void MirrorCode(char code[4]) {
    std::swap(code[0], code[1]);
    std::swap(code[2], code[3]);
}

// 0 for n = 0, else the C library's generator modulo n (seeded at start).
int RandomBelow(int n) { return n == 0 ? 0 : std::rand() % n; }

// A name shorter than four characters (an empty line of the list, say) has
// no code and matches nothing; its bytes past the terminator are not read.
bool ReadCode(const char* name, char code[4]) {
    if (name == nullptr) return false;
    for (int i = 0; i < 4; ++i) {
        if (name[i] == '\0') return false;
        code[i] = name[i];
    }
    return true;
}

// One way of laying a ground texture on a block: list index, quarter turns
// (0..3) and mirror (0 or 1), the turns applied after the mirroring.
struct TileChoice {
    int16_t texture;
    uint8_t turns;
    uint8_t mirror;
};

// Number of ground textures the model's list really offers.
int ListLength(const TerrainModel& model) {
    return std::min(std::max(model.groundTextureCount, int32_t(0)), int32_t(256));
}

// Calls visit(choice) for every (texture, mirror, turns) whose code, so
// laid, equals the pattern: in list order, plain before mirrored, turns
// ascending. Up to 256 x 8 candidates.
template <typename Visit>
void ForEachOrientation(const TerrainModel& model, Visit visit) {
    const int count = ListLength(model);
    for (int t = 0; t < count; ++t) {
        char code[4];
        if (!ReadCode(model.groundTextures[t].name, code)) continue;
        for (int mirror = 0; mirror < 2; ++mirror) {
            for (int turns = 0; turns < 4; ++turns) {
                visit(code, TileChoice{static_cast<int16_t>(t), static_cast<uint8_t>(turns),
                                       static_cast<uint8_t>(mirror)});
                RotateCode(code);
            }
            if (mirror == 0) MirrorCode(code);  // four turns brought it back
        }
    }
}

// The texture coordinates of the four cells of a block laid in one
// orientation: [r][c] for cell (x0 + c, y0 + r), corners as in TerrainVertex.
struct BlockCoords {
    float u[2][2][4];
    float v[2][2][4];
};

BlockCoords MakeBlockCoords(int turns, int mirror) {
    BlockCoords coords;
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            const float u0 = 0.5f * c, v0 = 0.5f * r;
            const float us[4] = {u0, u0 + 0.5f, u0, u0 + 0.5f};
            const float vs[4] = {v0, v0, v0 + 0.5f, v0 + 0.5f};
            for (int k = 0; k < 4; ++k) {
                float u = us[k], v = vs[k];
                if (mirror == 1) u = 1.0f - u;
                // A mirrored tile turns the other way round, so that the
                // coordinates follow the code turned after its mirroring.
                for (int turn = 0; turn < turns; ++turn) {
                    const float oldU = u;
                    if (mirror == 0) {
                        u = 1.0f - v;
                        v = oldU;
                    } else {
                        u = v;
                        v = 1.0f - oldU;
                    }
                }
                coords.u[r][c][k] = u;
                coords.v[r][c][k] = v;
            }
        }
    }
    return coords;
}

// All eight orientations, [mirror * 4 + turns], made once.
const BlockCoords& CoordsOf(const TileChoice& choice) {
    static const struct Table {
        BlockCoords orientation[8];
        Table() {
            for (int i = 0; i < 8; ++i) orientation[i] = MakeBlockCoords(i % 4, i / 4);
        }
    } table;
    return table.orientation[choice.mirror * 4 + choice.turns];
}

// Writes the chosen tile into the four vertices of block (x0, y0).
void WriteTile(TerrainModel& model, int x0, int y0, const TileChoice& choice) {
    const uint32_t glName = model.groundTextures[choice.texture].glName;
    const BlockCoords& coords = CoordsOf(choice);
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            TerrainVertex& vertex = model.columns[x0 + c][y0 + r];
            vertex.tileTexture = glName;
            std::memcpy(vertex.tileU, coords.u[r][c], sizeof vertex.tileU);
            std::memcpy(vertex.tileV, coords.v[r][c], sizeof vertex.tileV);
        }
    }
}

// The three ground letters of the editor as digits 0..2, -1 for any other.
int LetterDigit(char letter) {
    switch (letter) {
        case 'e': return 0;
        case 'w': return 1;
        case 's': return 2;
        default: return -1;
    }
}

// A pattern of the three ground letters as a number 0..80, -1 for a pattern
// with any other byte.
int PatternIndex(const char pattern[4]) {
    int index = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = LetterDigit(pattern[i]);
        if (digit < 0) return -1;
        index = index * 3 + digit;
    }
    return index;
}

constexpr int kPatternCount = 81;

// For each of the 81 patterns of the ground letters, every (texture,
// orientation) that matches it, in the order the single-block search meets
// them. One pass over the list instead of one per block.
struct PatternTable {
    std::vector<TileChoice> matches[kPatternCount];

    explicit PatternTable(const TerrainModel& model) {
        ForEachOrientation(model, [this](const char code[4], const TileChoice& choice) {
            const int index = PatternIndex(code);
            if (index >= 0) matches[index].push_back(choice);
        });
    }
};

// The block's pattern in code order: (x0, y0+1), (x0+1, y0+1), (x0, y0),
// (x0+1, y0).
void ReadPattern(const TerrainModel& model, int x0, int y0, char pattern[4]) {
    pattern[0] = model.columns[x0][y0 + 1].ground;
    pattern[1] = model.columns[x0 + 1][y0 + 1].ground;
    pattern[2] = model.columns[x0][y0].ground;
    pattern[3] = model.columns[x0 + 1][y0].ground;
}

// Chooses uniformly among every (texture, orientation) that matches the
// pattern by searching the whole list; false when none does.
bool ChooseBySearch(const TerrainModel& model, const char pattern[4], TileChoice& chosen) {
    const int8_t patternSum = LetterSum(pattern);
    int matches = 0;
    const auto matchesPattern = [&](const char code[4]) {
        return LetterSum(code) == patternSum && std::memcmp(code, pattern, 4) == 0;
    };
    ForEachOrientation(model, [&](const char code[4], const TileChoice&) {
        if (matchesPattern(code)) ++matches;
    });
    if (matches == 0) return false;
    int wanted = RandomBelow(matches);
    ForEachOrientation(model, [&](const char code[4], const TileChoice& choice) {
        if (wanted >= 0 && matchesPattern(code) && wanted-- == 0) chosen = choice;
    });
    return true;
}

// Forward-difference normal of vertex (x, y) from its height h and those of
// its +y and +x neighbours: the triangle P0 = (0, 0, h), P1 = (0, s, hUp),
// P2 = (s, 0, hRight) runs clockwise seen from above, so its normal is
// turned upward. These are the very float and double operations of
// Vector4::TriangleNormal, Vector4::Normalize and Vector4::Scale (n, -1),
// written out so that the whole-grid pass runs them inline; the results are
// the same bit for bit.
inline void UpwardNormal(float s, float h, float hUp, float hRight, float n[3]) {
    const float ux = 0.0f - 0.0f, uy = 0.0f - s, uz = h - hUp;
    const float vx = 0.0f - s, vy = 0.0f - 0.0f, vz = h - hRight;
    const float cx = uy * vz - uz * vy, cy = uz * vx - ux * vz, cz = ux * vy - uy * vx;
    const double length = std::sqrt(static_cast<double>(cx) * cx + static_cast<double>(cy) * cy +
                                    static_cast<double>(cz) * cz);
    n[0] = static_cast<float>(cx / length) * -1.0f;
    n[1] = static_cast<float>(cy / length) * -1.0f;
    n[2] = static_cast<float>(cz / length) * -1.0f;
}

// Vector4::Dot of a normal and a direction, summed in double the same way.
inline double Dot(const float n[3], const Vector4& d) {
    return static_cast<double>(n[0]) * d.x + static_cast<double>(n[1]) * d.y +
           static_cast<double>(n[2]) * d.z;
}

}  // namespace

void TerrainModel::RelightVertex(int x, int y) {
    if (x > 0 && x < width && y > 0 && y < height) {
        const float h = columns[x][y].height;
        float n[3];
        UpwardNormal(spacing, h, columns[x][y + 1].height, columns[x + 1][y].height, n);
        TerrainVertex& vertex = columns[x][y];
        vertex.normal[0] = n[0];
        vertex.normal[1] = n[1];
        vertex.normal[2] = n[2];

        const float diffuseTerm =
            static_cast<float>(std::max(0.0, Dot(n, light.direction)) * light.diffuse);
        float colour = static_cast<float>(
            (static_cast<double>(diffuseTerm) + static_cast<double>(light.ambient)) * 1.3);

        // Under water the brightness falls linearly from 1 at the water line
        // to 0.2 at minHeight; not clamped, so deeper loaded heights go darker.
        if (h < waterLevel) {
            const double depth = static_cast<double>(waterLevel) - h;
            const double range = static_cast<double>(waterLevel) - minHeight;
            const float k = static_cast<float>((1.0 - depth / range) * 0.8 + 0.2);
            colour *= k;
        }
        vertex.colour[0] = colour;
        vertex.colour[1] = colour;
        vertex.colour[2] = colour;
    } else if (x >= 0 && x <= width && y >= 0 && y <= height) {
        // The outermost ring has no forward neighbours on every side and is
        // drawn black.
        TerrainVertex& vertex = columns[x][y];
        for (int i = 0; i < 3; ++i) {
            vertex.normal[i] = 0.0f;
            vertex.colour[i] = 0.0f;
        }
    }
}

bool TerrainModel::RetileBlock(int x, int y) {
    if (x < 0 || x >= width || y < 0 || y >= height) return false;
    const int x0 = x - x % 2;
    const int y0 = y - y % 2;
    char pattern[4];
    ReadPattern(*this, x0, y0, pattern);
    // One uniform choice over every matching (texture, rotation, mirror):
    // all matches are equally likely and symmetric codes weigh more.
    TileChoice chosen{};
    if (!ChooseBySearch(*this, pattern, chosen)) return false;
    WriteTile(*this, x0, y0, chosen);
    return true;
}

namespace {

// Re-chooses block (x0, y0) from the table of patterns: the same uniform
// choice, and the same one draw of the generator, as RetileBlock's search
// (a block with any other letter is searched for as RetileBlock does).
void RetileFromTable(TerrainModel& model, const PatternTable& table, int x0, int y0) {
    char pattern[4];
    ReadPattern(model, x0, y0, pattern);
    const int index = PatternIndex(pattern);
    TileChoice chosen{};
    if (index >= 0) {
        const std::vector<TileChoice>& matches = table.matches[index];
        if (matches.empty()) return;
        chosen = matches[static_cast<size_t>(RandomBelow(static_cast<int>(matches.size())))];
    } else if (!ChooseBySearch(model, pattern, chosen)) {
        return;
    }
    WriteTile(model, x0, y0, chosen);
}

}  // namespace

void TerrainModel::RetileBlocks(const std::vector<int32_t>& blocks) {
    if (blocks.empty()) return;
    const PatternTable table(*this);
    for (const int32_t id : blocks) {
        const int x = int((uint32_t(id) >> 16) & 0xFFFF), y = int(uint32_t(id) & 0xFFFF);
        if (x >= width || y >= height) continue;
        RetileFromTable(*this, table, x - x % 2, y - y % 2);
    }
}

// Each block is chosen once, with the same uniform choice RetileBlock makes,
// looked up in a table of the 81 patterns of the three ground letters. The
// table is made afresh for every pass, from at most 256 x 8 codes, so it
// always matches the ground list as it is now. The lighting of a vertex does
// not depend on the tiles, so it runs in a second pass, column by column, the
// order the grid lies in memory.
void TerrainModel::ShadeAll() {
    const PatternTable table(*this);
    for (int x0 = 0; x0 < width; x0 += 2) {
        for (int y0 = 0; y0 < height; y0 += 2) RetileFromTable(*this, table, x0, y0);
    }
    for (int x = 0; x <= width; ++x) {
        for (int y = 0; y <= height; ++y) RelightVertex(x, y);
    }
}
