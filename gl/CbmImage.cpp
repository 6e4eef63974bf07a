// Scrambled bitmap files (".cbm"); format and rules in CbmImage.h.
//
// The key byte depends only on its index, so a block can be scrambled in
// pieces; the sine term uses the single-precision scale as stored (promoted
// to double for the sum), exactly as the format defines it.
#include "gl/CbmImage.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "gl/FileBytes.h"
#include "gl/LittleEndian.h"

namespace {

// Pixel bytes of a width x height picture, or -1 when the sizes are
// negative or the block would exceed the format's limit.
int64_t PixelBytes(int64_t width, int64_t height) {
    if (width < 0 || height < 0) return -1;
    // Both are below 2^31, so the product cannot overflow 64 bits.
    uint64_t bytes = uint64_t(width) * uint64_t(height) * 3;
    if (bytes > kCbmMaxPixelBytes) return -1;
    return int64_t(bytes);
}

}  // namespace

uint8_t CbmKeyByte(uint64_t i) {
    const double index = double(i);
    const double sum = std::sin(index * double(kCbmSinMultiplier)) * kCbmSinScale +
                       std::cos(index * double(kCbmCosMultiplier)) * kCbmCosScale;
    // |sum| < 34200, well inside the 64-bit range.
    return uint8_t(uint64_t(int64_t(std::trunc(sum))));
}

void CbmScramble(uint8_t* bytes, size_t count, uint64_t first) {
    for (size_t k = 0; k < count; ++k) bytes[k] ^= CbmKeyByte(first + k);
}

RgbImage* DecodeCbm(const uint8_t* data, size_t size, std::string* error) {
    auto fail = [error](const char* text) -> RgbImage* {
        if (error) *error = text;
        return nullptr;
    };
    if (!data || size < kCbmHeaderSize) return fail("file shorter than its header");
    int32_t width = ReadLeS32(data);
    int32_t height = ReadLeS32(data + 4);
    int64_t bytes = PixelBytes(width, height);
    if (bytes < 0) return fail("invalid picture size in header");
    if (uint64_t(bytes) != uint64_t(size - kCbmHeaderSize))
        return fail("file length does not match its header");

    // One spare byte keeps the block non-null for an empty picture.
    uint8_t* pixels = new (std::nothrow) uint8_t[size_t(bytes) + 1];
    if (!pixels) return fail("out of memory");
    std::memcpy(pixels, data + kCbmHeaderSize, size_t(bytes));
    CbmScramble(pixels, size_t(bytes));
    RgbImage* image = new (std::nothrow) RgbImage;
    if (!image) {
        delete[] pixels;
        return fail("out of memory");
    }
    image->width = width;
    image->height = height;
    image->pixels = pixels;
    return image;
}

std::vector<uint8_t> EncodeCbm(const RgbImage& image) {
    std::vector<uint8_t> file;
    int64_t bytes = PixelBytes(image.width, image.height);
    if (bytes < 0 || (bytes > 0 && !image.pixels)) return file;
    file.resize(kCbmHeaderSize + size_t(bytes));
    WriteLe32(file.data(), uint32_t(image.width));
    WriteLe32(file.data() + 4, uint32_t(image.height));
    if (bytes > 0) std::memcpy(file.data() + kCbmHeaderSize, image.pixels, size_t(bytes));
    CbmScramble(file.data() + kCbmHeaderSize, size_t(bytes));
    return file;
}

RgbImage* ReadCbmFile(const char* path) {
    FileBytes file;
    if (ReadFileBytes(path, kCbmHeaderSize + kCbmMaxPixelBytes, &file) != FileReadStatus::Ok)
        return nullptr;
    return DecodeCbm(file.data.get(), file.size, nullptr);
}

bool WriteCbmFile(const char* path, const RgbImage& image) {
    if (!path) return false;
    std::vector<uint8_t> bytes = EncodeCbm(image);
    if (bytes.empty()) return false;
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    bool closed = std::fclose(file) == 0;
    return written && closed;
}
