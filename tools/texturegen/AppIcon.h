// The program's own icon: a slab of terrain seen from above at an angle (a
// meadow with a lake, a conifer and a snow-capped mountain on a block of
// earth) for the desktop's application menu and the Windows .exe. It is no
// part of the texture pack and never goes into textures/.
//
// Conventions: the picture is laid out on a square of 256 units, y upward,
// and painted directly at every size asked for (shapes scaled, one pixel of
// antialiasing at each size), so small icons stay sharp. Outside the shape
// the picture is transparent (alpha 0).
#pragma once

#include "Canvas.h"

#include <string>
#include <vector>

namespace tg {

// The icon at size x size pixels, with alpha.
Canvas PaintAppIcon(int size);

// Writes the desktop icons and the Windows icon below outDir:
// hicolor/<n>x<n>/apps/<name>.png for 48, 128 and 256 pixels (RGBA PNGs, the
// icon theme's layout) and <name>.ico with 16, 32, 48 and 256 pixels.
// False (with a message on stderr) when a file cannot be written.
bool WriteAppIcons(const std::string& outDir, const std::string& name);

}  // namespace tg
