// Helpers for image decoder tests (see ImageFiles.h).
#include "tests/support/ImageFiles.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace testimg {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    fs::path dir = fs::temp_directory_path() /
                   ("terrain-img-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(dir);
    fs::create_directories(dir);
    path = dir.string();
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

bool HaveImageMagick() { return Run("convert -version > /dev/null 2>&1"); }

std::vector<uint8_t> MagickDecode(const std::string& imagePath, int width, int height) {
    std::string raw = imagePath + ".decoded.rgb";
    if (!Run("convert '" + imagePath + "' -depth 8 'rgb:" + raw + "'")) return {};
    std::vector<uint8_t> topFirst = ReadAll(raw);
    size_t row = size_t(width) * 3;
    if (topFirst.size() != row * size_t(height)) return {};
    std::vector<uint8_t> bottomFirst(topFirst.size());
    for (int y = 0; y < height; ++y)
        std::copy_n(topFirst.begin() + long(row * size_t(height - 1 - y)), row,
                    bottomFirst.begin() + long(row * size_t(y)));
    return bottomFirst;
}

void PutLe16(std::vector<uint8_t>& v, size_t at, uint32_t value) {
    v.at(at) = uint8_t(value);
    v.at(at + 1) = uint8_t(value >> 8);
}

void PutLe32(std::vector<uint8_t>& v, size_t at, uint32_t value) {
    PutLe16(v, at, value & 0xFFFF);
    PutLe16(v, at + 2, value >> 16);
}

uint32_t GetLe16(const std::vector<uint8_t>& v, size_t at) { return v.at(at) | (v.at(at + 1) << 8); }

uint32_t GetLe32(const std::vector<uint8_t>& v, size_t at) {
    return GetLe16(v, at) | (GetLe16(v, at + 2) << 16);
}

std::vector<uint8_t> MakeBmp(const BmpLayout& layout) {
    std::vector<uint8_t> out;
    size_t headerAt = layout.fileHeader ? 14 : 0;
    out.resize(headerAt + std::max<size_t>(layout.headerSize, 4), 0);
    PutLe32(out, headerAt, layout.headerSize);
    if (layout.headerSize == 12) {
        PutLe16(out, headerAt + 4, uint32_t(layout.width));
        PutLe16(out, headerAt + 6, uint32_t(layout.height));
        PutLe16(out, headerAt + 8, 1);
        PutLe16(out, headerAt + 10, layout.bitCount);
    } else if (layout.headerSize >= 40) {
        PutLe32(out, headerAt + 4, uint32_t(layout.width));
        PutLe32(out, headerAt + 8, uint32_t(layout.height));
        PutLe16(out, headerAt + 12, 1);
        PutLe16(out, headerAt + 14, layout.bitCount);
        PutLe32(out, headerAt + 16, layout.compression);
        PutLe32(out, headerAt + 20, uint32_t(layout.bits.size()));
        PutLe32(out, headerAt + 32,
                uint32_t(layout.colorsUsed >= 0 ? layout.colorsUsed : int64_t(layout.palette.size())));
    }
    for (uint32_t mask : layout.masks) {
        out.resize(out.size() + 4);
        PutLe32(out, out.size() - 4, mask);
    }
    for (uint32_t colour : layout.palette) {
        out.push_back(uint8_t(colour));        // blue
        out.push_back(uint8_t(colour >> 8));   // green
        out.push_back(uint8_t(colour >> 16));  // red
        if (layout.headerSize != 12) out.push_back(0);
    }
    size_t bitsAt = out.size();
    out.insert(out.end(), layout.bits.begin(), layout.bits.end());
    if (layout.fileHeader) {
        out[0] = 'B';
        out[1] = 'M';
        PutLe32(out, 2, uint32_t(out.size()));
        PutLe32(out, 10, layout.bitsOffsetOverride >= 0 ? uint32_t(layout.bitsOffsetOverride)
                                                      : uint32_t(bitsAt));
    }
    return out;
}

}  // namespace testimg
