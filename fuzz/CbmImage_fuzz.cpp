// libFuzzer entry for the ".cbm" reader: any input must either be refused
// or decode to a picture that encodes back to exactly the same bytes (the
// header must match the length, so nothing else is possible).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gl/CbmImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    RgbImage* image = DecodeCbm(data, size, &error);
    if (!image) {
        if (error.empty()) std::abort();
        return 0;
    }
    std::vector<uint8_t> again = EncodeCbm(*image);
    if (again.size() != size || std::memcmp(again.data(), data, size) != 0) std::abort();
    FreeRgbImage(image);
    return 0;
}
