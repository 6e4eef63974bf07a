// A cell list and a vertex list are the same mirroring of positions, on a
// board of W x H cells or of (W + 1) x (H + 1) vertices.
#include "terrain/Symmetry.h"

#include "terrain/TriangleSelection.h"

namespace {

// The images of position `id` on a board of columns x rows positions.
int MirroredPositions(int columns, int rows, int id, int mode, int out[kMaxMirroredCells]) {
    const int x = CellIdX(id), y = CellIdY(id);
    if (id == kNoCell || x >= columns || y >= rows) return 0;
    const int mx = columns - 1 - x, my = rows - 1 - y;
    const bool vertical = mode == kSymmetryLeftRight || mode == kSymmetryBoth;
    const bool horizontal = mode == kSymmetryTopBottom || mode == kSymmetryBoth;
    const bool turned = mode == kSymmetryBoth || mode == kSymmetryPoint;
    int count = 0;
    auto add = [&](bool wanted, int px, int py) {
        if (!wanted) return;
        const int image = MakeCellId(px, py);
        for (int i = 0; i < count; ++i)
            if (out[i] == image) return;
        out[count++] = image;
    };
    add(true, x, y);
    add(vertical, mx, y);
    add(horizontal, x, my);
    add(turned, mx, my);
    return count;
}

}  // namespace

int NextSymmetry(int mode) {
    return mode >= kSymmetryOff && mode < kSymmetryPoint ? mode + 1 : kSymmetryOff;
}

int MirroredCells(int width, int height, int cellId, int mode, int cells[kMaxMirroredCells]) {
    return MirroredPositions(width, height, cellId, mode, cells);
}

int MirroredVertices(int width, int height, int vertexId, int mode,
                     int vertices[kMaxMirroredCells]) {
    return MirroredPositions(width + 1, height + 1, vertexId, mode, vertices);
}
