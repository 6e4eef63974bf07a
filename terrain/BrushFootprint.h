// The brush on the ground: what the selected tool would change around each
// of a few cells, drawn on the terrain and following its heights.
//
// Conventions: grid units as the tools use them: (px, py) is a cell, B the
// brush size, a vertex at offset (dx, dy) lies at brush distance
// sqrt((dx - 0.5)^2 + (dy - 0.5)^2), measured from the middle of the cell.
// World positions as the terrain is drawn: vertex (x, y) at
// (x * spacing - viewOffsetX, y * spacing - viewOffsetY, height). Drawn in
// the 3D view after the terrain pass, with the depth test on: the lines lie a
// little above the ground, the tint on it, pulled towards the eye by a
// polygon offset. Every line is a dark one
// under a light one, so it reads on earth, meadow and snow, lit or shaded.
#pragma once

struct FrameState;
struct HeldRamp;
class TerrainModel;

// Draws the selected tool's footprint (its row's shape, ToolModes.h) at
// every cell of the frame, where the tools act; the plateau ring at
// `plateauHeight`, the terrain drawn shifted by the view offsets. Makes no
// OpenGL call at all when there is nothing to draw; otherwise it leaves
// texturing on, blending off, the line width 1 and the colour white.
void DrawBrushFootprint(const TerrainModel& terrain, const FrameState& frame,
                        double plateauHeight, float viewOffsetX, float viewOffsetY);

// While a ramp is held: at each image, the outline of the band it will
// change, every point within distance B of the segment from the middle of
// A's cell to the middle of the cell under the pointer, on the ground.
void DrawRampBand(const TerrainModel& terrain, const FrameState& frame, const HeldRamp& ramp,
                  float viewOffsetX, float viewOffsetY);

// The outline of the rectangle of vertices x0..x1, y0..y1 (clipped to the
// grid) on the ground, through every vertex of its edges, as the rings are
// drawn; nothing when it misses the grid. Leaves the state as
// DrawBrushFootprint does.
void DrawGroundOutline(const TerrainModel& terrain, int x0, int y0, int x1, int y1,
                       float viewOffsetX, float viewOffsetY);
