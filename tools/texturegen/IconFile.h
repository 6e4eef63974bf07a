// Windows icon files (.ico) holding one picture per size.
//
// Conventions: pictures are Canvas pictures with alpha, square, at most 256
// pixels. Sizes below 256 are stored as 32-bit device-independent bitmaps
// (blue, green, red, alpha; bottom row first; followed by the 1-bit mask
// that older renderers use, set where a pixel is fully transparent), the
// 256-pixel one as a PNG, the layout Windows itself uses. Every field is
// written byte by byte in little-endian order.
#pragma once

#include "Canvas.h"

#include <cstdint>
#include <vector>

namespace tg {

std::vector<uint8_t> EncodeIco(const std::vector<Canvas>& pictures);

}  // namespace tg
