// Minimal writer of uncompressed 24-bit Windows bitmaps.
//
// Input pixels are R, G, B bytes, bottom row first, no padding (the editor's
// RgbImage layout). The file gets the 14-byte file header, a 40-byte info
// header and rows padded to four bytes, stored bottom row first in B, G, R
// order; every header field is written byte by byte in little-endian order,
// so the output is the same on any host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tg {

// Encodes the file in memory.
std::vector<uint8_t> EncodeBmp24(int width, int height, const std::vector<uint8_t>& rgb);
// Writes the file; false (with a message on stderr) when it cannot be written.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace tg
