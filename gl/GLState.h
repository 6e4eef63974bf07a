// The fixed OpenGL state of the editor, set once before the main loop.
#pragma once

// Clear values, depth test, texturing, culling, alpha test, the one light
// (from the terrain's light) and the material; then shades the whole terrain
// of gTerrain. Needs the window's rendering context current. Always true.
bool InitGLState();
