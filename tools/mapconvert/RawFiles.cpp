// RAW16 reading and writing (see RawFiles.h).
#include "tools/mapconvert/RawFiles.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "gl/FileBytes.h"

namespace {

const uint64_t kMaxRawBytes = uint64_t(kMaxPictureSide) * kMaxPictureSide * 2;

std::string Size(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// The side of a square of count samples, or 0 when count is no square.
int SquareSide(uint64_t count) {
    uint64_t side = uint64_t(std::sqrt(double(count)));
    while (side * side > count) --side;
    while ((side + 1) * (side + 1) <= count) ++side;
    return side * side == count ? int(side) : 0;
}

// Checks the length against the layout and gives the picture's size.
bool SizeOf(const std::string& path, uint64_t bytes, const RawLayout& layout, int* width,
            int* height, std::string* error) {
    const std::string length = path + ": " + std::to_string(bytes) + " bytes";
    if (bytes % 2 != 0) {
        *error = length + " are not a whole number of 16-bit samples";
        return false;
    }
    *width = layout.width;
    *height = layout.height;
    if (*width == 0 && *height == 0) {
        *width = *height = SquareSide(bytes / 2);
        if (*width == 0) {
            *error = length + " are no square picture of 16-bit samples; give its size with --size WxH";
            return false;
        }
    } else if (uint64_t(*width) * uint64_t(*height) * 2 != bytes) {
        *error = length + ", but " + Size(*width, *height) + " 16-bit samples take " +
                 std::to_string(uint64_t(*width) * uint64_t(*height) * 2);
        return false;
    }
    if (*width > kMaxPictureSide || *height > kMaxPictureSide) {
        *error = path + ": " + Size(*width, *height) + " pixels; a heightmap has at most " +
                 Size(kMaxPictureSide, kMaxPictureSide);
        return false;
    }
    return true;
}

}  // namespace

bool ReadRaw16(const std::string& path, const RawLayout& layout, GreyPicture* picture,
               std::string* error) {
    FileBytes bytes;
    errno = 0;
    switch (ReadFileBytes(path.c_str(), size_t(kMaxRawBytes), &bytes)) {
        case FileReadStatus::Ok: break;
        case FileReadStatus::OpenFailed:
            *error = path + ": cannot read the file: " + std::strerror(errno ? errno : ENOENT);
            return false;
        case FileReadStatus::TooLarge:
            *error = path + ": larger than the largest heightmap (" +
                     Size(kMaxPictureSide, kMaxPictureSide) + " 16-bit samples)";
            return false;
        case FileReadStatus::OutOfMemory:
            *error = path + ": out of memory";
            return false;
    }
    int width = 0, height = 0;
    if (!SizeOf(path, bytes.size, layout, &width, &height, error)) return false;
    picture->width = width;
    picture->height = height;
    picture->bitDepth = 16;
    picture->samples.resize(size_t(width) * size_t(height));
    const uint8_t* in = bytes.data.get();
    const int high = layout.bigEndian ? 0 : 1;
    for (size_t i = 0; i < picture->samples.size(); ++i)
        picture->samples[i] = uint16_t(in[2 * i + high] << 8 | in[2 * i + 1 - high]);
    return true;
}

bool WriteRaw16(std::FILE* file, const void* user) {
    const GreyPicture& picture = *static_cast<const GreyPicture*>(user);
    std::vector<uint8_t> row(size_t(picture.width) * 2);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            uint16_t sample = picture.samples[size_t(y) * size_t(picture.width) + size_t(x)];
            if (picture.bitDepth == 8) sample = uint16_t(sample * 257);
            row[2 * size_t(x)] = uint8_t(sample);
            row[2 * size_t(x) + 1] = uint8_t(sample >> 8);
        }
        if (std::fwrite(row.data(), 1, row.size(), file) != row.size()) return false;
    }
    return true;
}
