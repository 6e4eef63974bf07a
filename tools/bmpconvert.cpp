// bmpconvert IN.bmp OUT.png: decodes a Windows bitmap with the editor's own
// decoder and writes what it produced as a PNG (top row first, as PNG
// stores it). Exit status 0 on success; 1 with the decoder's message on
// standard error when the file cannot be read or decoded; 2 on wrong usage.
#include <cstdio>
#include <string>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "gl/DibImage.h"
#include "gl/FileBytes.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IN.bmp OUT.png\n", argv[0]);
        return 2;
    }
    FileBytes file;
    FileReadStatus status = ReadFileBytes(argv[1], size_t(kDibMaxFileBytes), &file);
    if (status != FileReadStatus::Ok || file.size == 0) {
        std::fputs((status == FileReadStatus::TooLarge || status == FileReadStatus::OutOfMemory
                        ? std::string(kDibOutOfMemory) + "\n"
                        : DibOpenFailedMessage(argv[1]))
                       .c_str(),
                   stderr);
        return 1;
    }
    std::string error;
    RgbImage* image = DecodeDib(file.data.get(), file.size, &error);
    if (!image) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
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
