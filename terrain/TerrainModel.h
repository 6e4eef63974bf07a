// The editable height field.
//
// Conventions: (width + 1) x (height + 1) vertices, column-major: vertex
// (x, y) is columns[x][y]. A cell is named by its lower-left vertex. World
// position of vertex (x, y) is (x * spacing - ViewOffsetX, y * spacing -
// ViewOffsetY, height); z points up. A TerrainVertex has the same 68 bytes in
// memory and in .map files (little-endian, IEEE floats), so its layout is
// fixed and checked at compile time. The model owns the grid and the storage
// of its 256 ground TextureRecords; it does not own `owner`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gl/TextureRecord.h"
#include "math/Matrixvector.h"

class OpenGLFullscreen;
class TerrainModel;
// The editor run's one terrain (null outside a run), owned by RunEditor.
extern TerrainModel* gTerrain;

struct TerrainVertex {
    char ground;        // 'e' earth, 'w' meadow, 's' snow
    uint8_t padding[3];
    uint32_t tileTexture;
    float tileU[4];     // corners (x,y), (x+1,y), (x,y+1), (x+1,y+1)
    float tileV[4];
    float height;
    float normal[3];
    float colour[3];
};
static_assert(sizeof(TerrainVertex) == 68, "TerrainVertex is the 68-byte map record");
static_assert(offsetof(TerrainVertex, ground) == 0, "ground at 0");
static_assert(offsetof(TerrainVertex, tileTexture) == 4, "tileTexture at 4");
static_assert(offsetof(TerrainVertex, tileU) == 8, "tileU at 8");
static_assert(offsetof(TerrainVertex, tileV) == 24, "tileV at 24");
static_assert(offsetof(TerrainVertex, height) == 40, "height at 40");
static_assert(offsetof(TerrainVertex, normal) == 44, "normal at 44");
static_assert(offsetof(TerrainVertex, colour) == 56, "colour at 56");

struct TerrainLight {
    Vector4 direction;  // unit vector from the terrain towards the light
    bool distant;       // true: light at 20000 * direction, else at position
    Vector4 position;
    float ambient;
    float diffuse;
};

class TerrainModel {
public:
    TerrainModel(OpenGLFullscreen* owner, int width, int height);
    ~TerrainModel();
    TerrainModel(const TerrainModel&) = delete;
    TerrainModel& operator=(const TerrainModel&) = delete;

    // Frees the grid and allocates a fresh one of (width+1) x (height+1)
    // initial vertices. Returns false (and keeps a valid grid) when the size
    // is negative or cannot be allocated.
    bool Resize(int width, int height);
    void LoadGroundTextures();

    void RelightVertex(int x, int y);
    bool RetileBlock(int x, int y);
    // Re-chooses the tiles of the blocks holding the listed vertices (cell
    // ids, x << 16 | y), in list order, each as RetileBlock would with the
    // same draws of the generator, but from one lookup table for the whole
    // list. A block listed twice is chosen twice.
    void RetileBlocks(const std::vector<int32_t>& vertices);
    void ShadeAll();

    OpenGLFullscreen* owner;
    int32_t groundTextureCount;
    TextureRecord groundTextures[256];
    int32_t width;
    int32_t height;
    TerrainVertex** columns;
    float spacing;
    float minHeight;
    float maxHeight;
    float waterLevel;
    TerrainLight light;
};
