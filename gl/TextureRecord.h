// Named textures and their power-of-two tiles.
//
// A TextureRecord belongs to whoever declares it (catalogue globals, the
// terrain's ground array); the texture registry of OpenGLFullscreen only
// points to it. Image coordinates are pixels from the image's lower-left
// corner. Pixel blocks have the RgbImage layout and live between load and
// upload only.
#pragma once

#include <cstdint>

struct TextureTile {
    int32_t x;       // left edge in image pixels
    int32_t y;       // bottom edge in image pixels
    int32_t width;   // power of two, at most maxTileSize
    int32_t height;  // power of two, at most maxTileSize
    uint32_t glName; // 0 before the upload
};

struct TextureRecord {
    char* name;          // owned heap copy
    uint32_t format;     // GL_RGB, or GL_RGBA when an alpha bitmap was found
    uint32_t minFilter;
    uint32_t magFilter;
    uint32_t wrap;       // for both S and T
    char* path;          // owned heap copy of the base path; null when sharing
    int32_t width;
    int32_t height;
    uint8_t* pixels;       // colour image, until the upload
    uint8_t* alphaPixels;  // alpha image (red channel counts), or null
    TextureRecord* sharedFrom;
    uint32_t glName;     // the single tile's name, 0 for several tiles
    int32_t tileColumns;
    int32_t tileRows;
    TextureTile* tiles;  // tileRows x tileColumns, row-major, row 0 = bottom
    int32_t regionX;
    int32_t regionY;
    int32_t regionWidth;   // 0 = whole image
    int32_t regionHeight;  // 0 = whole image
};
