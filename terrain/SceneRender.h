// Water and the three fixed scene objects, drawn after the terrain each frame.
//
// Conventions: world x and y span the map plane, z points up, and every world
// point is drawn shifted by (-ViewOffsetX, -ViewOffsetY, 0) like the terrain.
// The camera lives in the projection matrix; the water is drawn under an
// identity modelview, each object under identity x translate(anchor) x
// scale(spacing), so object coordinates are in grid cells. The animation
// phases are radians-like floats that advance a fixed step per frame.
// Textures are bound by the glName of the catalogue's scene records; a name
// of 0 (texture missing or of several tiles) draws untextured.
#pragma once

// +0.02 per frame, brought back into (0, 2 pi] when it exceeds 2 pi.
extern float WavePhase;
// +0.001 per frame, never wrapped: drifts the water texture.
extern float WaterScroll;
// +0.01 per frame, never wrapped: sways the conifer's crown layers.
extern float SwayPhase;

// Advances WavePhase and WaterScroll, then draws one translucent quad at
// water level over every cell of gVisibleSpans that has a corner strictly
// below the terrain's water level. Leaves lighting and alpha test off and
// blending on. Does nothing without a terrain.
void DrawWater();

// Draws the conifer, the house and the water tower standing at the height of
// map vertex (0, 0), and advances SwayPhase. Leaves blending, alpha test and
// lighting off, depth test and face culling on and the modelview holding the
// water tower's transform. Does nothing without a terrain; with no vertex
// (0, 0) the state is set but no object is drawn.
void DrawSceneObjects();
