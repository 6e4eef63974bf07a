// Helpers for the texture tests: pictures made in memory, written as 24-bit
// bottom-up ".bmp" files, and a scratch directory that is the working
// directory while it lives.
//
// Conventions: TestPicture has the RgbImage layout (R, G, B per pixel, bottom
// row first, no padding); (x, y) counts from the lower-left corner. A .bmp
// file stores B, G, R with rows padded to 4 bytes, bottom row first.
#pragma once

#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct TestPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    const uint8_t* At(int x, int y) const {
        return rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
    }
};

using PixelColour = std::array<uint8_t, 3>;

inline TestPicture MakePicture(int width, int height,
                               const std::function<PixelColour(int, int)>& colour) {
    TestPicture picture;
    picture.width = width;
    picture.height = height;
    picture.rgb.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            PixelColour c = colour(x, y);
            uint8_t* p = picture.rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
            p[0] = c[0];
            p[1] = c[1];
            p[2] = c[2];
        }
    }
    return picture;
}

inline TestPicture SolidPicture(int width, int height, PixelColour colour) {
    return MakePicture(width, height, [colour](int, int) { return colour; });
}

inline void PutLE(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Writes a 24-bit uncompressed bitmap with the 14-byte file header.
inline bool WriteBmp24(const std::string& path, const TestPicture& picture) {
    const uint32_t rowBytes = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(picture.height);
    std::vector<uint8_t> file;
    file.push_back('B');
    file.push_back('M');
    PutLE(file, 54 + imageBytes, 4);
    PutLE(file, 0, 4);
    PutLE(file, 54, 4);
    PutLE(file, 40, 4);
    PutLE(file, static_cast<uint32_t>(picture.width), 4);
    PutLE(file, static_cast<uint32_t>(picture.height), 4);
    PutLE(file, 1, 2);
    PutLE(file, 24, 2);
    PutLE(file, 0, 4);
    PutLE(file, imageBytes, 4);
    PutLE(file, 2835, 4);
    PutLE(file, 2835, 4);
    PutLE(file, 0, 4);
    PutLE(file, 0, 4);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.At(x, y);
            file.push_back(p[2]);
            file.push_back(p[1]);
            file.push_back(p[0]);
        }
        for (uint32_t pad = static_cast<uint32_t>(picture.width) * 3; pad < rowBytes; ++pad) {
            file.push_back(0);
        }
    }
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

inline bool WriteTextFile(const std::string& path, const std::string& text) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    return std::fclose(out) == 0 && written;
}

// A fresh directory below the system's temporary directory, made the working
// directory; the old working directory comes back and the directory is
// removed when the object ends.
class ScratchDirectory {
public:
    ScratchDirectory() {
        previous = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "texlib-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data())) {
            path = buffer.data();
            std::filesystem::current_path(path);
        }
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(previous, ignored);
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    bool Ok() const { return !path.empty(); }
    const std::string& Path() const { return path; }

private:
    std::filesystem::path previous;
    std::string path;
};
