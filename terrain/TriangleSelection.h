// Finds the terrain cell under the mouse while the terrain is drawn.
//
// Module state (one selection per program): the window for the screen size,
// the mouse in screen pixels with y counted upward from the bottom row, the
// frame's view-projection matrix, a reused 2 x 2 solver and the best hit.
// Cell id: (x << 16) | y, -1 for none. Among hits the triangle whose first
// corner is highest wins; of equal heights the later one.
#pragma once

#include "math/Matrixvector.h"

class OpenGLFullscreen;

// Cell ids. 16 bits per coordinate, so grids have at most 65535 cells per
// side (the last cell of a 65536-wide grid would read as kNoCell).
constexpr int kNoCell = -1;
inline int MakeCellId(int x, int y) { return (x << 16) | y; }
inline int CellIdX(int id) { return (id >> 16) & 0xFFFF; }
inline int CellIdY(int id) { return id & 0xFFFF; }

void SetSelectionWindow(OpenGLFullscreen* window);
void SetupSelection();
void TeardownSelection();
void BeginPicking(Matrix4 viewProjection, int mouseX, int mouseY);
void TestTriangle(int id, const Vector4 corners[3]);
int PickedCell();
