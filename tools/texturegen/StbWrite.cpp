// The stb_image_write implementation lives in this file only. PNG rows are
// stored top row first, so the writer is told to flip the bottom-first rows.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "StbWrite.h"

#include <algorithm>
#include <cstdio>

namespace tg {

bool WritePngTopDown(const std::string& path, int width, int height,
                     const std::vector<uint8_t>& rgbBottomFirst) {
    stbi_flip_vertically_on_write(1);
    int ok = stbi_write_png(path.c_str(), width, height, 3, rgbBottomFirst.data(), width * 3);
    if (!ok) std::fprintf(stderr, "texturegen: cannot write %s\n", path.c_str());
    return ok != 0;
}

static void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

std::vector<uint8_t> EncodePngRgba(const Canvas& c) {
    const std::vector<uint8_t> rgb = ToRgbBytes(c);
    std::vector<uint8_t> rgba;
    rgba.reserve(rgb.size() / 3 * 4);
    for (size_t i = 0; i < c.colour.size(); ++i) {
        rgba.insert(rgba.end(), rgb.begin() + 3 * i, rgb.begin() + 3 * i + 3);
        const float a = c.alpha.empty() ? 1.0f : c.alpha[i];
        rgba.push_back(uint8_t(std::clamp(a, 0.0f, 1.0f) * 255.0f + 0.5f));
    }
    std::vector<uint8_t> png;
    stbi_flip_vertically_on_write(1);
    stbi_write_png_to_func(&AppendBytes, &png, c.width, c.height, 4, rgba.data(), c.width * 4);
    return png;
}

}  // namespace tg
