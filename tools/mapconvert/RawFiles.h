// RAW16 heightmaps (.r16, .raw): the samples of a 16-bit grey picture and
// nothing else, as terrain tools write them for their importers.
//
// Conventions: two bytes per sample, little-endian unless the layout says
// otherwise; rows top row first, as in the PNG heightmaps, so a RAW file has
// the same orientation (its first row is the map's last row y = H) and the
// same height scale (0 the lowest, 65535 the highest height). There is no
// header: the size comes from the caller or, for a square picture, from the
// file's length, and nothing in the file says which heights 0 and 65535
// stand for.
#pragma once

#include <cstdio>
#include <string>

#include "gl/PngFiles.h"

struct RawLayout {
    int width = 0;  // 0 x 0: square, its side taken from the file's length
    int height = 0;
    bool bigEndian = false;
};

// Reads a RAW16 file of at most kMaxPictureSide pixels a side into a 16-bit
// picture. False with one line naming the file and the reason when its
// length does not fit the layout or it cannot be read.
bool ReadRaw16(const std::string& path, const RawLayout& layout, GreyPicture* picture,
               std::string* error);

// plat::ContentWriter for a GreyPicture: its samples as 16-bit little-endian
// RAW (8-bit samples are widened, v x 257).
bool WriteRaw16(std::FILE* file, const void* picture);
