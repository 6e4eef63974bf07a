// libFuzzer entry for the bitmap decoder: any input must either decode to a
// picture whose whole pixel block is readable, or fail with exactly one of
// the decoder's three messages; sanitizers catch every read or write out of
// bounds, leak and undefined operation on the way.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "gl/DibImage.h"
#include "platform/Platform.h"

// The decoder file also holds the file loader, which shows message boxes;
// the fuzzer never calls it, so these only satisfy the linker.
namespace plat {
int MessageBox(WindowHandle, const char*, const char*, unsigned) { std::abort(); }
WindowHandle GetFocus() { return nullptr; }
}  // namespace plat

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    RgbImage* image = DecodeDib(data, size, &error);
    if (!image) {
        if (error != kDibOutOfMemory && error != kDibUnknownFormat &&
            error != kDibConversionError)
            std::abort();
        return 0;
    }
    if (image->width <= 0 || image->height <= 0 || !image->pixels) std::abort();
    uint64_t bytes = uint64_t(image->width) * uint64_t(image->height) * 3;
    if (bytes > kDibMaxOutputBytes) std::abort();
    // Read every output byte so a block shorter than announced is caught.
    unsigned sum = 0;
    for (uint64_t i = 0; i < bytes; ++i) sum += image->pixels[i];
    volatile unsigned sink = sum;
    (void)sink;
    FreeRgbImage(image);
    return 0;
}
