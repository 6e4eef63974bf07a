// bmpconvert IN.bmp OUT.png: decodes a Windows bitmap with the editor's own
// decoder and writes what it produced as a PNG (top row first, as PNG
// stores it). Exit status 0 on success; 1 with the decoder's message on
// standard error when the file cannot be read or decoded; 2 on wrong usage.
#include <cstdio>
#include <string>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "tools/ReadBitmapFile.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IN.bmp OUT.png\n", argv[0]);
        return 2;
    }
    RgbImage* image = ReadBitmapFileOrReport(argv[1]);
    if (!image) return 1;
    // RgbImage rows run bottom first, PNG rows top first.
    stbi_flip_vertically_on_write(1);
    int ok = stbi_write_png(argv[2], image->width, image->height, 3, image->pixels,
                            image->width * 3);
    FreeRgbImage(image);
    if (!ok) {
        std::fprintf(stderr, "%s: cannot write PNG\n", argv[2]);
        return 1;
    }
    return 0;
}
