// 24-bit BMP encoding with explicit little-endian header fields.
#include "BmpWriter.h"

#include "gl/LittleEndian.h"

#include <cstdio>

namespace tg {

std::vector<uint8_t> EncodeBmp24(int width, int height, const std::vector<uint8_t>& rgb) {
    const uint32_t rowBytes = (uint32_t(width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * uint32_t(height);
    const uint32_t headerBytes = 14 + 40;
    std::vector<uint8_t> out;
    out.reserve(headerBytes + imageBytes);
    // File header.
    out.push_back('B');
    out.push_back('M');
    AppendLe32(out, headerBytes + imageBytes);
    AppendLe32(out, 0);            // reserved
    AppendLe32(out, headerBytes);  // offset of the pixel rows
    // Info header.
    AppendLe32(out, 40);
    AppendLe32(out, uint32_t(width));
    AppendLe32(out, uint32_t(height));  // positive: bottom row first
    AppendLe16(out, 1);                 // planes
    AppendLe16(out, 24);                // bits per pixel
    AppendLe32(out, 0);                 // no compression
    AppendLe32(out, imageBytes);
    AppendLe32(out, 2835);  // 72 dpi, horizontal
    AppendLe32(out, 2835);  // vertical
    AppendLe32(out, 0);     // no palette
    AppendLe32(out, 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = rgb.data() + size_t(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            out.push_back(row[x * 3 + 2]);
            out.push_back(row[x * 3 + 1]);
            out.push_back(row[x * 3 + 0]);
        }
        for (uint32_t pad = uint32_t(width) * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "texturegen: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) std::fprintf(stderr, "texturegen: error writing %s\n", path.c_str());
    return ok;
}

}  // namespace tg
