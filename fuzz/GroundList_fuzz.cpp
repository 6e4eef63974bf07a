// libFuzzer entry for the ground texture list: arbitrary list text plus
// arbitrary bytes in the picture files its lines may name, loaded with the
// library's list loader. Every record that got an image must have a whole,
// readable pixel block (and alpha block of the same size); sanitizers catch
// every read or write out of bounds, leak and undefined operation.
//
// Input layout: up to five blocks, each a 16-bit little-endian length and
// that many bytes (cut to what is there): the list text "_ground.txt", then
// the fixed files a.bmp, a_alpha.bmp, b.cbm and c.bmp of the list's folder
// (a missing block leaves its file away). The seeds name a, b and c in
// their lists. Files
// live in one scratch folder per process, in memory (/dev/shm) where
// possible; list lines may still point anywhere, as in the editor.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>


#include "fuzz/ScratchFolder.h"
#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"

// The window object stands in for the real one: only its texture library is
// linked. Message boxes of the decoder are allowed (a bad bitmap is told).
OpenGLFullscreen::OpenGLFullscreen(int width_, int height_)
    : width(width_), height(height_), window(nullptr), deviceContext(nullptr),
      renderingContext(nullptr), instance(nullptr), keys(), mouseX(0), mouseY(0), leftButton(0),
      rightButton(0), maxTileSize(256), textureCount(0), textures(nullptr), tileCount(0),
      tileNames(nullptr) {}
OpenGLFullscreen::~OpenGLFullscreen() { FreeTextureRegistry(); }

namespace plat {
int MessageBox(WindowHandle, const char*, const char*, unsigned) { return 1; }
WindowHandle GetFocus() { return nullptr; }
const char* DataFolder() { return ""; }  // no installed pack: files are where named
}  // namespace plat

// The upload is never run here; these only satisfy the linker.
void glBindTexture(GLenum, GLuint) { std::abort(); }
void glGenTextures(GLsizei, GLuint*) { std::abort(); }
void glGetIntegerv(GLenum, GLint*) { std::abort(); }
void glPixelStorei(GLenum, GLint) { std::abort(); }
void glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*) {
    std::abort();
}
void glTexParameteri(GLenum, GLenum, GLint) { std::abort(); }

namespace {

const char* const kFiles[] = {"_ground.txt", "a.bmp", "a_alpha.bmp", "b.cbm", "c.bmp"};
const int kMaxRecords = 256;

// Takes a 16-bit length and that many bytes (cut to what is there).
bool NextBlock(const uint8_t*& data, size_t& size, const uint8_t** block, size_t* length) {
    if (size < 2) return false;
    size_t want = size_t(data[0]) | size_t(data[1]) << 8;
    data += 2;
    size -= 2;
    *length = want < size ? want : size;
    *block = data;
    data += *length;
    size -= *length;
    return true;
}

TextureRecord gRecords[kMaxRecords];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string folder = fuzzscratch::ScratchFolder("groundfuzz", kFiles);
    for (const char* name : kFiles) {
        std::remove((folder + name).c_str());
        const uint8_t* block = nullptr;
        size_t length = 0;
        if (!NextBlock(data, size, &block, &length)) continue;
        std::FILE* file = std::fopen((folder + name).c_str(), "wb");
        if (!file) std::abort();
        if (length > 0 && std::fwrite(block, 1, length, file) != length) std::abort();
        if (std::fclose(file) != 0) std::abort();
    }

    OpenGLFullscreen window(1280, 1024);
    int count = -1;
    const bool listed =
        window.LoadTextureList(gRecords, count, folder.c_str(), "_ground.txt", kMaxRecords);
    if (count < 0 || count > kMaxRecords || (!listed && count != 0)) std::abort();
    unsigned sum = 0;
    for (int i = 0; i < count; ++i) {
        const TextureRecord& record = gRecords[i];
        if (!record.name) std::abort();
        if (!record.pixels) continue;
        // An empty picture (a .cbm may declare 0 x n) gives no tiles.
        if (record.width <= 0 || record.height <= 0) {
            if (record.tileColumns * record.tileRows != 0) std::abort();
            continue;
        }
        const size_t bytes = size_t(record.width) * size_t(record.height) * 3;
        for (size_t k = 0; k < bytes; ++k) sum += record.pixels[k];
        if (record.alphaPixels)
            for (size_t k = 0; k < bytes; ++k) sum += record.alphaPixels[k];
        if (record.tileColumns <= 0 || record.tileRows <= 0 || !record.tiles) std::abort();
    }
    volatile unsigned sink = sum;
    (void)sink;
    return 0;
}
