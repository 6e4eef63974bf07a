// PNG output, the one use of stb_image_write: the contact sheet (R, G, B
// bytes, bottom row first, the Canvas/RgbImage layout) and the program's
// icons (a Canvas with alpha, encoded in memory).
#pragma once

#include "Canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tg {

bool WritePngTopDown(const std::string& path, int width, int height,
                     const std::vector<uint8_t>& rgbBottomFirst);

// The picture as an RGBA PNG file's bytes (straight alpha; opaque when the
// canvas has none).
std::vector<uint8_t> EncodePngRgba(const Canvas& c);

}  // namespace tg
