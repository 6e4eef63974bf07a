// bmp2cbm IN.bmp OUT.cbm: decodes a Windows bitmap and writes it as the
// scrambled ".cbm" file the texture library accepts in place of the ".bmp".
// Exit status 0 on success, 1 on a read, decode or write failure (with the
// reason on standard error), 2 on wrong usage.
#include <cstdio>
#include <string>

#include "gl/CbmImage.h"
#include "tools/ReadBitmapFile.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IN.bmp OUT.cbm\n", argv[0]);
        return 2;
    }
    RgbImage* image = ReadBitmapFileOrReport(argv[1]);
    if (!image) return 1;
    bool written = WriteCbmFile(argv[2], *image);
    FreeRgbImage(image);
    if (!written) {
        std::fprintf(stderr, "%s: cannot write\n", argv[2]);
        return 1;
    }
    return 0;
}
