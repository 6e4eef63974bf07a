// PNG output for the contact sheet, the one use of stb_image_write.
// Input: R, G, B bytes, bottom row first (Canvas/RgbImage layout).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tg {

bool WritePngTopDown(const std::string& path, int width, int height,
                     const std::vector<uint8_t>& rgbBottomFirst);

}  // namespace tg
