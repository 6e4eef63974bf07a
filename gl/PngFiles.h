// PNG heightmaps read through libpng, and PNG pictures written by it.
//
// Conventions: pictures are held top row first, as PNG stores them; a grey
// sample is 0..65535 for 16-bit pictures and 0..255 for 8-bit ones. Reading
// takes the whole file into one bounded buffer first and decodes from there;
// pictures beyond kMaxPictureSide pixels on a side are refused from their
// header before any pixel memory is reserved. Any kind of PNG is read as
// grey by libpng's own transformations: palettes become their colours,
// colour becomes brightness (libpng's luminance weights; a pixel whose red,
// green and blue are equal keeps its value exactly), an alpha channel or a
// transparent colour is ignored, and grey of 1, 2 or 4 bits is widened to 8
// (each level spread over the full range). 16-bit pictures stay 16-bit.
// Writing is a plat::ContentWriter (see OutputFiles.h). Errors come back as
// one line naming the file and the reason: libpng's own message or the
// system's.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// Largest width or height read: one pixel per vertex of the largest map.
constexpr int kMaxPictureSide = 4097;

struct GreyPicture {
    int width = 0;
    int height = 0;
    int bitDepth = 16;              // 8 or 16
    std::vector<uint16_t> samples;  // width x height, top row first
};

// Text chunks written with a picture: keyword and text (Latin-1).
using PngTexts = std::vector<std::pair<std::string, std::string>>;

// Reads any PNG as a grey picture (see above). *inColour tells whether red,
// green and blue differed anywhere, so that brightness stands in for a
// colour. A damaged file or a size beyond kMaxPictureSide gives false with
// the reason in *error.
bool ReadPngAsGrey(const std::string& path, GreyPicture* picture, bool* inColour,
                   std::string* error);

// A picture to be encoded by WritePng: grey samples (8 or 16 bits) or RGB
// bytes (width x height x 3, top row first). The buffers belong to the
// caller and must outlive the write.
struct PngContent {
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    bool rgb = false;
    const uint16_t* grey = nullptr;
    const uint8_t* rgbBytes = nullptr;
    const PngTexts* texts = nullptr;
    int compressionLevel = -1;       // zlib's 0..9; -1 its default
    std::string* failure = nullptr;  // libpng's message when encoding fails
};

PngContent GreyPngContent(const GreyPicture& picture, const PngTexts& texts, std::string* failure);
// RGB pictures are previews, to be looked at: they are compressed with
// zlib's fastest level, a few percent larger and several times quicker.
PngContent RgbPngContent(int width, int height, const std::vector<uint8_t>& rgb,
                         std::string* failure);

// plat::ContentWriter for a PngContent.
bool WritePng(std::FILE* file, const void* content);
