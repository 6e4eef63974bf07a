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
#include <cstdint>
#include <cstdlib>
#include <cstring>

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

}  // namespace

void TerrainModel::RelightVertex(int x, int y) {
    if (x > 0 && x < width && y > 0 && y < height) {
        const float h = columns[x][y].height;
        // Forward differences towards +x and +y; the triangle (P0, P1, P2)
        // runs clockwise seen from above, so its normal is turned upward.
        const Vector4 p0(0.0f, 0.0f, h);
        const Vector4 p1(0.0f, spacing, columns[x][y + 1].height);
        const Vector4 p2(spacing, 0.0f, columns[x + 1][y].height);
        const Vector4 n = Vector4::Scale(Vector4::TriangleNormal(p0, p1, p2), -1.0f);

        TerrainVertex& vertex = columns[x][y];
        vertex.normal[0] = n.x;
        vertex.normal[1] = n.y;
        vertex.normal[2] = n.z;

        const float diffuseTerm =
            static_cast<float>(std::max(0.0, Vector4::Dot(n, light.direction)) * light.diffuse);
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

    const char pattern[4] = {columns[x0][y0 + 1].ground, columns[x0 + 1][y0 + 1].ground,
                             columns[x0][y0].ground, columns[x0 + 1][y0].ground};
    const int8_t patternSum = LetterSum(pattern);

    // Reservoir choice over every matching (texture, rotation, mirror): the
    // k-th match replaces the current choice with probability 1/k, so all
    // matches are equally likely and symmetric codes weigh more.
    int matches = 0;
    int chosenTexture = -1;
    int chosenTurns = 0;
    int chosenMirror = 0;
    const int count = std::min(std::max(groundTextureCount, int32_t(0)), int32_t(256));
    for (int t = 0; t < count; ++t) {
        char code[4];
        if (!ReadCode(groundTextures[t].name, code)) continue;
        if (LetterSum(code) != patternSum) continue;
        for (int mirror = 0; mirror < 2; ++mirror) {
            for (int turns = 0; turns < 4; ++turns) {
                if (std::memcmp(code, pattern, 4) == 0) {
                    if (RandomBelow(matches + 1) == 0) {
                        chosenTexture = t;
                        chosenTurns = turns;
                        chosenMirror = mirror;
                    }
                    ++matches;
                }
                RotateCode(code);
            }
            if (mirror == 0) MirrorCode(code);  // four turns brought it back
        }
    }
    if (matches == 0) return false;

    const uint32_t glName = groundTextures[chosenTexture].glName;
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            TerrainVertex& vertex = columns[x0 + c][y0 + r];
            vertex.tileTexture = glName;
            const float u0 = 0.5f * c, v0 = 0.5f * r;
            const float us[4] = {u0, u0 + 0.5f, u0, u0 + 0.5f};
            const float vs[4] = {v0, v0, v0 + 0.5f, v0 + 0.5f};
            for (int k = 0; k < 4; ++k) {
                float u = us[k], v = vs[k];
                if (chosenMirror == 1) u = 1.0f - u;
                // A mirrored tile turns the other way round, so that the
                // coordinates follow the code turned after its mirroring.
                for (int turn = 0; turn < chosenTurns; ++turn) {
                    const float oldU = u;
                    if (chosenMirror == 0) {
                        u = 1.0f - v;
                        v = oldU;
                    } else {
                        u = v;
                        v = 1.0f - oldU;
                    }
                }
                vertex.tileU[k] = u;
                vertex.tileV[k] = v;
            }
        }
    }
    return true;
}

void TerrainModel::ShadeAll() {
    for (int y = 0; y <= height; ++y) {
        for (int x = 0; x <= width; ++x) {
            RetileBlock(x, y);
            RelightVertex(x, y);
        }
    }
}
