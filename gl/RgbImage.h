// A decoded picture: 8-bit R, G, B per pixel, rows stored bottom row first,
// no padding between rows; pixel (x, y), y counted from the bottom, starts at
// byte (y * width + x) * 3. The owner frees `pixels` with delete[] and the
// image with delete (FreeRgbImage does both).
#pragma once

#include <cstdint>

struct RgbImage {
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* pixels = nullptr;
};

inline void FreeRgbImage(RgbImage* image) {
    if (image) {
        delete[] image->pixels;
        delete image;
    }
}
