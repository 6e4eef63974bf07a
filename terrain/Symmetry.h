// Symmetric editing: the modes that mirror each frame's tool work across the
// map, and the cells and vertices that work is applied at.
//
// Conventions: a mode is a plain int, kSymmetryOff (0) to kSymmetryPoint (4),
// in the order the key M steps through them. On a grid of W x H cells the
// image of cell (x, y) across the vertical centre line is (W - 1 - x, y),
// across the horizontal one (x, H - 1 - y), and turned 180 degrees about the
// centre (W - 1 - x, H - 1 - y); for vertex (x, y) of the (W + 1) x (H + 1)
// vertices they are (W - x, y), (x, H - y) and (W - x, H - y). Positions are
// ids as cells are (MakeCellId). A list holds every position once: the given
// one first, then its images across the vertical line, across the horizontal
// line and turned, as far as the mode has them. So where mirrored brushes
// meet at a centre line each application runs once, always in this order.
#pragma once

constexpr int kSymmetryOff = 0;
constexpr int kSymmetryLeftRight = 1;  // across the vertical centre line
constexpr int kSymmetryTopBottom = 2;  // across the horizontal centre line
constexpr int kSymmetryBoth = 3;       // across both: four quadrants
constexpr int kSymmetryPoint = 4;      // turned 180 degrees about the centre
constexpr int kMaxMirroredCells = 4;

// The mode after `mode`: off, left/right, top/bottom, both, point, off again.
// A value outside the cycle is followed by off.
int NextSymmetry(int mode);

// The cells a frame's tool work is applied at when `cellId` is picked on a
// grid of width x height cells: cellId and its distinct images in `mode`
// (a value outside the cycle counts as off). Returns how many (1 to 4); 0,
// with nothing written, when the id names no cell of the grid.
int MirroredCells(int width, int height, int cellId, int mode, int cells[kMaxMirroredCells]);

// The same for vertex `vertexId` among the grid's (width + 1) x (height + 1)
// vertices: the vertices the paint tool writes.
int MirroredVertices(int width, int height, int vertexId, int mode,
                     int vertices[kMaxMirroredCells]);
