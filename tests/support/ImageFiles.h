// Helpers for image decoder tests: temporary folders, whole-file reads and
// writes, ImageMagick invocations and a builder for hand-made bitmap files.
//
// Conventions: every path is a std::string inside a TempDir that removes
// itself; pixel vectors are R, G, B, bottom row first, no padding (the
// RgbImage layout). ImageMagick is run as `convert` from PATH; tests that
// need it fail (not skip) when it is missing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testimg {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

std::vector<uint8_t> ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes);

// Runs a shell command; true when it exits with status 0.
bool Run(const std::string& command);
bool HaveImageMagick();
// ImageMagick's own decode of an image file, flipped to bottom row first.
// Empty when the command fails or the size does not match width x height.
std::vector<uint8_t> MagickDecode(const std::string& imagePath, int width, int height);

void PutLe16(std::vector<uint8_t>& v, size_t at, uint32_t value);
void PutLe32(std::vector<uint8_t>& v, size_t at, uint32_t value);
uint32_t GetLe16(const std::vector<uint8_t>& v, size_t at);
uint32_t GetLe32(const std::vector<uint8_t>& v, size_t at);

// A hand-made bitmap: header fields, optional masks and colour table, and
// the pixel bytes exactly as they are to appear in the file.
struct BmpLayout {
    bool fileHeader = true;
    uint32_t headerSize = 40;  // 12, 40, or anything else for refusal tests
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    int64_t colorsUsed = -1;  // -1: the number of palette entries given
    std::vector<uint32_t> masks;             // written after a 40-byte header
    std::vector<uint32_t> palette;           // 0xRRGGBB per entry
    std::vector<uint8_t> bits;               // pixel data
    int64_t bitsOffsetOverride = -1;         // file header's offset field
};
std::vector<uint8_t> MakeBmp(const BmpLayout& layout);

}  // namespace testimg
