// The .ico encoder: a directory of 16-byte entries, then the pictures.
#include "IconFile.h"

#include "gl/LittleEndian.h"

#include "StbWrite.h"

#include <algorithm>

namespace tg {

namespace {

constexpr size_t kDirectoryBytes = 6, kEntryBytes = 16, kInfoHeaderBytes = 40;

uint8_t Byte(float v) { return uint8_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); }

std::vector<uint8_t> EncodeDib(const Canvas& c) {
    const uint32_t w = uint32_t(c.width), h = uint32_t(c.height);
    const uint32_t maskRow = (w + 31) / 32 * 4;
    std::vector<uint8_t> out;
    AppendLe32(out, kInfoHeaderBytes);
    AppendLe32(out, w);
    AppendLe32(out, 2 * h);  // colour picture and mask stacked
    AppendLe16(out, 1);      // planes
    AppendLe16(out, 32);     // bits per pixel
    AppendLe32(out, 0);      // no compression
    AppendLe32(out, w * h * 4 + maskRow * h);
    for (int k = 0; k < 4; ++k) AppendLe32(out, 0);  // resolution, palette
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const Rgb& p = c.At(int(x), int(y));
            out.insert(out.end(), {Byte(p.b), Byte(p.g), Byte(p.r), Byte(c.AlphaAt(int(x), int(y)))});
        }
    for (uint32_t y = 0; y < h; ++y) {
        std::vector<uint8_t> row(maskRow, 0);
        for (uint32_t x = 0; x < w; ++x)
            if (Byte(c.AlphaAt(int(x), int(y))) == 0) row[x / 8] |= uint8_t(0x80u >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

std::vector<uint8_t> EncodeIco(const std::vector<Canvas>& pictures) {
    std::vector<std::vector<uint8_t>> images;
    for (const Canvas& c : pictures) images.push_back(c.width >= 256 ? EncodePngRgba(c) : EncodeDib(c));
    std::vector<uint8_t> out;
    AppendLe16(out, 0);  // reserved
    AppendLe16(out, 1);  // icon (not cursor)
    AppendLe16(out, uint32_t(pictures.size()));
    uint32_t offset = uint32_t(kDirectoryBytes + kEntryBytes * pictures.size());
    for (size_t i = 0; i < pictures.size(); ++i) {
        out.push_back(uint8_t(pictures[i].width & 0xFF));  // 256 is written as 0
        out.push_back(uint8_t(pictures[i].height & 0xFF));
        out.push_back(0);  // no palette
        out.push_back(0);
        AppendLe16(out, 1);
        AppendLe16(out, 32);
        AppendLe32(out, uint32_t(images[i].size()));
        AppendLe32(out, offset);
        offset += uint32_t(images[i].size());
    }
    for (const std::vector<uint8_t>& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

}  // namespace tg
