// 16- and 8-bit greyscale PNG and 8-bit RGB PNG files through libpng.
//
// Conventions: pictures are held top row first, as PNG stores them; a grey
// sample is 0..65535 for 16-bit pictures and 0..255 for 8-bit ones. Reading
// takes the whole file into one bounded buffer first and decodes from there;
// pictures beyond kMaxPngSide pixels on a side are refused from their header
// before any pixel memory is reserved. Writing goes to a fresh temporary file
// beside the target, which replaces the target only once the whole file was
// written and closed, so a failure never leaves a half-written picture.
// Errors come back as one line naming the file and the reason.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Largest width or height read: one pixel per vertex of the largest map.
constexpr int kMaxPngSide = 4097;

struct GreyPicture {
    int width = 0;
    int height = 0;
    int bitDepth = 16;              // 8 or 16
    std::vector<uint16_t> samples;  // width x height, top row first
};

// Text chunks written with a picture: keyword and text (Latin-1).
using PngTexts = std::vector<std::pair<std::string, std::string>>;

// Reads an 8- or 16-bit greyscale PNG. Any other kind (colour, palette,
// alpha, fewer bits), a damaged or cut file, or a size beyond kMaxPngSide
// gives false with the reason in *error.
bool ReadGreyPng(const std::string& path, GreyPicture* picture, std::string* error);

bool WriteGreyPng(const std::string& path, const GreyPicture& picture, const PngTexts& texts,
                  std::string* error);

// The same in two steps, for commands with several outputs that are all
// written or none: the picture goes to a fresh temporary file beside path
// (named in *temp), which ReplaceWithTemporary then renames over path. A
// failed step removes its temporary file.
bool WriteGreyPngTemporary(const std::string& path, const GreyPicture& picture,
                           const PngTexts& texts, std::string* temp, std::string* error);
bool ReplaceWithTemporary(const std::string& temp, const std::string& path, std::string* error);

// rgb: width x height x 3 bytes, top row first.
bool WriteRgbPng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
                 std::string* error);

// Runs write(file) on a fresh temporary file beside path and renames it over
// path when write returned true and the close succeeded; otherwise removes
// it. Used for every output of the tool except maps.
bool WriteFileSafely(const std::string& path, bool (*write)(void* file, const void* context),
                     const void* context, std::string* error);
bool WriteTemporaryFile(const std::string& path, bool (*write)(void* file, const void* context),
                        const void* context, std::string* temp, std::string* error);

// True when a file can be created at path (its folder exists and is
// writable); otherwise false with the reason. Lets a command refuse an
// unwritable target before the long work.
bool CanCreateFile(const std::string& path, std::string* error);
