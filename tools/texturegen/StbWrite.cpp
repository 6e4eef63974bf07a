// The stb_image_write implementation lives in this file only. PNG rows are
// stored top row first, so the writer is told to flip the bottom-first rows.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "StbWrite.h"

#include <cstdio>

namespace tg {

bool WritePngTopDown(const std::string& path, int width, int height,
                     const std::vector<uint8_t>& rgbBottomFirst) {
    stbi_flip_vertically_on_write(1);
    int ok = stbi_write_png(path.c_str(), width, height, 3, rgbBottomFirst.data(), width * 3);
    if (!ok) std::fprintf(stderr, "texturegen: cannot write %s\n", path.c_str());
    return ok != 0;
}

}  // namespace tg
