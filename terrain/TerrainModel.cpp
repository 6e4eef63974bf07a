// The terrain grid: construction, the world constants and light, allocation,
// release and resizing of the vertex grid, and the ground texture list.
//
// Conventions: the grid is column-major, columns[x][y] for x in 0..width and
// y in 0..height; every column is one heap block of height + 1 vertices. The
// model owns the column table and the columns; it does not own `owner`.
// Fresh vertices are earth ('e') at height 0.0 with every other byte zero,
// padding included, so that a map saved before shading is still the same
// bytes on every run.
//
// Size rule: a grid is only made when 0 <= width, height <= 65535 and the
// whole grid stays within 2 GiB; a size outside that, or one the heap cannot
// give, is refused. Resize then returns false and keeps the old grid as it
// was (the new grid is built before the old one is released), and the
// constructor falls back to a 0 x 0 grid. So `columns` always holds exactly
// width + 1 columns of height + 1 vertices, whatever was asked.
#include "terrain/TerrainModel.h"

#include <cstring>
#include <new>

#include "gl/OpenGLFullscreen.h"

namespace {

// spacing, minHeight, maxHeight, waterLevel, in this order.
const float kWorldConstants[4] = {0.3f, -2.0f, 1.5f, -1.0f};

// A cell id holds 16 bits per coordinate; with 65536 cells per side the last
// cell's id (65535 << 16) | 65535 would read as -1, "no cell".
const int kMaxCellsPerSide = 65535;

// Far beyond any map the editor makes (256 x 256 cells are 4.5 MB) and about
// what a 32-bit build can address at all.
const uint64_t kMaxGridBytes = uint64_t(1) << 31;

bool GridSizeAcceptable(int width, int height) {
    if (width < 0 || height < 0 || width > kMaxCellsPerSide || height > kMaxCellsPerSide)
        return false;
    const uint64_t vertices = (uint64_t(width) + 1) * (uint64_t(height) + 1);
    const uint64_t bytes =
        vertices * sizeof(TerrainVertex) + (uint64_t(width) + 1) * sizeof(TerrainVertex*);
    return bytes <= kMaxGridBytes;
}

void ReleaseGrid(TerrainVertex** columns, int width) {
    if (columns == nullptr) return;
    for (int x = 0; x <= width; ++x) delete[] columns[x];
    delete[] columns;
}

// Builds a grid of fresh vertices, or returns null (having freed whatever it
// got) when the heap runs out part way.
TerrainVertex** AllocateGrid(int width, int height) {
    if (!GridSizeAcceptable(width, height)) return nullptr;
    TerrainVertex** columns = new (std::nothrow) TerrainVertex*[size_t(width) + 1];
    if (columns == nullptr) return nullptr;
    for (int x = 0; x <= width; ++x) {
        columns[x] = new (std::nothrow) TerrainVertex[size_t(height) + 1];
        if (columns[x] == nullptr) {
            ReleaseGrid(columns, x - 1);
            return nullptr;
        }
        std::memset(columns[x], 0, (size_t(height) + 1) * sizeof(TerrainVertex));
        for (int y = 0; y <= height; ++y) {
            columns[x][y].ground = 'e';
            columns[x][y].height = 0.0f;
        }
    }
    return columns;
}

}  // namespace

TerrainModel::TerrainModel(OpenGLFullscreen* owner_, int width_, int height_)
    : owner(owner_),
      groundTextureCount(0),
      width(width_),
      height(height_),
      columns(nullptr),
      spacing(kWorldConstants[0]),
      minHeight(kWorldConstants[1]),
      maxHeight(kWorldConstants[2]),
      waterLevel(kWorldConstants[3]) {
    // Records stay empty until the texture catalogue loads the ground list.
    std::memset(static_cast<void*>(groundTextures), 0, sizeof(groundTextures));

    light.direction = Vector4(-1.0f, 1.0f, 0.5f);
    Vector4::Normalize(light.direction);
    light.direction.w = 1.0f;
    light.distant = true;
    light.position = Vector4();  // unused while the light is distant
    light.ambient = 0.3f;
    light.diffuse = 1.0f;

    columns = AllocateGrid(width, height);
    if (columns == nullptr) {
        width = 0;
        height = 0;
        columns = AllocateGrid(0, 0);
        if (columns == nullptr) {
            // Not even one vertex: no columns at all, so every loop over
            // 0..width is empty and every bounds check fails.
            width = -1;
            height = -1;
        }
    }
}

TerrainModel::~TerrainModel() {
    ReleaseGrid(columns, width);
    columns = nullptr;
}

bool TerrainModel::Resize(int newWidth, int newHeight) {
    TerrainVertex** fresh = AllocateGrid(newWidth, newHeight);
    if (fresh == nullptr) return false;
    ReleaseGrid(columns, width);
    columns = fresh;
    width = newWidth;
    height = newHeight;
    return true;
}

void TerrainModel::LoadGroundTextures() {
    groundTextureCount = 0;
    if (owner == nullptr) return;
    // The result only says whether the list file opened; the count says the
    // rest (0 when it did not).
    owner->LoadTextureList(groundTextures, groundTextureCount, "textures/ground/",
                           "_ground.txt", 256);
}
