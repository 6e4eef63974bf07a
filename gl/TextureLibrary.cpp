// The texture library of OpenGLFullscreen: loading bitmap files into tiled
// texture records, the registry of loaded records, the one-pass upload to
// OpenGL and the lookup by name.
//
// Conventions: image coordinates are pixels from the image's lower-left
// corner; pixel blocks are R, G, B bytes, bottom row first, no row padding
// (RgbImage layout), allocated with new[]. Tiles are powers of two no larger
// than maxTileSize, row-major with row 0 at the bottom. Work happens in two
// phases: loads read pixels and register records (no OpenGL calls), then one
// UploadTextures creates every texture object and frees the pixels.
//
// Ownership: records belong to their callers; the registry only points to
// them. The heap blocks the library hands to records (name and path copies,
// tile arrays, pixel blocks) belong to the window. Besides the record fields
// the library keeps its own list of those blocks, and teardown frees them from
// that list instead of through the records: the records' storage may be gone
// by then (the terrain, which holds the ground records, is destroyed before
// the window), and a record that was loaded twice must neither leak nor be
// freed twice.
//
// Pictures cost what the editor can show of them: one larger than
// kMaxTextureSide, or one that would take the window's pictures past
// kMaxCataloguePixelBytes, is refused before its pixels are allocated, with
// the decoder's "Out of memory." box, and the texture counts as missing.
//
// File names are built in buffers of kFileNameBuffer characters. A base path
// whose colour or alpha file name would not fit is refused: the record stays
// registered with its name and path but gets no image, the same as a missing
// file. Names are never truncated, because a truncated name could open some
// other file.
//
// Every file is opened through DataFilePath (gl/DataFiles.h), which finds
// the pack's folder; the names the library stores and compares (a record's
// path, the ".cbm" form of a name) stay the names it was given.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "gl/CbmImage.h"
#include "gl/DataFiles.h"
#include "gl/DibImage.h"
#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"

namespace {

constexpr size_t kFileNameBuffer = 1024;

// The largest picture the editor has use for, a side. Terrain and scene
// textures are drawn as one tile (at most maxTileSize, 256); pictures drawn
// in screen pixels show at most the fixed 1280 x 1024 screen. The pack's
// largest is the 1280 x 280 menu. A bitmap can declare any size in a few
// bytes of run-length data (18918 x 18918, 1 GB of pixels, in 68 bytes).
constexpr uint32_t kMaxTextureSide = 2048;
// All pictures one window loads together: 256 ground textures at the
// largest size they can use (256 x 256 with an alpha picture, 96 MiB) and
// the catalogue's 25 pictures (the pack's take 3 MiB), with room to spare.
constexpr uint64_t kMaxCataloguePixelBytes = uint64_t(128) << 20;
constexpr const char* kColourSuffix = ".bmp";
constexpr const char* kAlphaSuffix = "_alpha.bmp";

// Heap blocks handed to records, per window (one window per editor run; a
// map keeps test programs that create several windows correct).
struct OwnedBlocks {
    std::vector<char*> strings;
    std::vector<TextureTile*> tileArrays;
    std::vector<uint8_t*> pixelBlocks;  // until the upload frees them
    uint64_t loadedPixelBytes = 0;      // of every picture loaded, counted against the bound
};
std::map<const OpenGLFullscreen*, OwnedBlocks> gOwnedBlocks;

char* CopyString(const OpenGLFullscreen* owner, const char* text) {
    if (!text) return nullptr;
    size_t length = std::strlen(text);
    char* copy = new (std::nothrow) char[length + 1];
    if (!copy) return nullptr;
    std::memcpy(copy, text, length + 1);
    gOwnedBlocks[owner].strings.push_back(copy);
    return copy;
}

void AdoptPixels(const OpenGLFullscreen* owner, uint8_t* pixels) {
    if (pixels) gOwnedBlocks[owner].pixelBlocks.push_back(pixels);
}

void FreePixels(const OpenGLFullscreen* owner, uint8_t*& pixels) {
    if (!pixels) return;
    std::vector<uint8_t*>& blocks = gOwnedBlocks[owner].pixelBlocks;
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (blocks[i] == pixels) {
            blocks.erase(blocks.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    delete[] pixels;
    pixels = nullptr;
}

// Writes a + b into buffer (kFileNameBuffer characters with the terminator).
// False, and nothing usable in buffer, when it does not fit.
bool JoinName(char* buffer, const char* a, const char* b) {
    size_t lengthA = std::strlen(a);
    size_t lengthB = std::strlen(b);
    if (lengthA >= kFileNameBuffer || lengthB >= kFileNameBuffer - lengthA) return false;
    std::memcpy(buffer, a, lengthA);
    std::memcpy(buffer + lengthA, b, lengthB + 1);
    return true;
}

// Cuts a length into falling powers of two: each piece is the largest power
// of two not above maxTile that fits into what remains. 600 gives 256, 256,
// 64, 16, 8. Lengths of 0 or less give no pieces.
std::vector<int32_t> SplitIntoTiles(int32_t length, int32_t maxTile) {
    std::vector<int32_t> pieces;
    int32_t remaining = length;
    while (remaining > 0) {
        int32_t t = maxTile > 0 ? maxTile : 1;
        while (t > remaining && t > 1) t /= 2;
        pieces.push_back(t);
        remaining -= t;
    }
    return pieces;
}

bool SameImage(const RgbImage* a, const RgbImage* b) {
    return a->width == b->width && a->height == b->height;
}

// Reads one line of a list file into line (kFileNameBuffer characters with
// the terminator), without its line feed and a carriage return before it.
// Characters beyond the first kFileNameBuffer - 1 are read and dropped. False
// at the end of the file when no character was left.
bool ReadListLine(FILE* file, char* line) {
    size_t length = 0;
    bool any = false;
    bool pendingReturn = false;  // a carriage return not yet known to end the line
    int c;
    auto put = [&](char ch) {
        if (length + 1 < kFileNameBuffer) line[length++] = ch;
    };
    while ((c = std::fgetc(file)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (pendingReturn) put('\r');
        pendingReturn = c == '\r';
        if (!pendingReturn) put(static_cast<char>(c));
    }
    // A carriage return before the end of the file (no line feed) is kept,
    // as text-mode reading would keep it.
    if (pendingReturn && c == EOF) put('\r');
    line[length] = '\0';
    return any;
}

}  // namespace

RgbImage* OpenGLFullscreen::LoadImageFile(char* fileName) {
    if (!fileName) return nullptr;
    uint64_t& loaded = gOwnedBlocks[this].loadedPixelBytes;
    const uint64_t largest = uint64_t(kMaxTextureSide) * kMaxTextureSide * 3;
    const DibLimits limits = {kMaxTextureSide,
                              std::min(largest, kMaxCataloguePixelBytes - loaded)};
    RgbImage* image = nullptr;
    // Only a regular file counts as there: a folder, FIFO or device under a
    // texture's name is treated as missing and never read.
    const std::string found = DataFilePath(fileName);
    if (FILE* file = plat::OpenRegularFile(found.c_str(), "r", nullptr)) {
        std::fclose(file);
        image = LoadDibImage(found.c_str(), limits);
    } else if (char* extension = std::strstr(fileName, ".bmp")) {
        // No bitmap: try the scrambled form under the same name, with ".cbm"
        // in place of the first ".bmp" and the name ended right after it.
        // Its pixels are all in the file, so it costs what the file is long;
        // it is held to the same bound once read.
        std::memcpy(extension, ".cbm", 5);
        image = ReadCbmFile(DataFilePath(fileName).c_str());
        const uint64_t bytes = image ? uint64_t(image->width) * uint64_t(image->height) * 3 : 0;
        if (image && (uint32_t(image->width) > limits.maxSide ||
                      uint32_t(image->height) > limits.maxSide || bytes > limits.maxOutputBytes)) {
            FreeRgbImage(image);
            image = nullptr;
            plat::MessageBox(plat::GetFocus(), kDibOutOfMemory, "Error", 0);
        }
    }
    if (image) loaded += uint64_t(image->width) * uint64_t(image->height) * 3;
    return image;
}

void OpenGLFullscreen::LoadTexture(TextureRecord* record, const char* path, uint32_t minFilter,
                                   uint32_t magFilter, uint32_t wrap, const char* name) {
    if (!record) return;

    // Registration: one more entry, the new record last.
    TextureRecord** grown = new (std::nothrow) TextureRecord*[static_cast<size_t>(textureCount) + 1];
    if (grown) {
        for (int32_t i = 0; i < textureCount; ++i) grown[i] = textures[i];
        grown[textureCount] = record;
        delete[] textures;
        textures = grown;
        ++textureCount;
    }

    // A load starts from an empty record; whatever it held before is not
    // released here (its storage may never have been initialised).
    *record = TextureRecord{};
    record->minFilter = minFilter;
    record->magFilter = magFilter;
    record->wrap = wrap;
    record->name = CopyString(this, name);
    if (!path) return;

    // Same file with the same filters already read: reuse its tiles (and so
    // its OpenGL textures and wrap mode). Sharing records are never sources,
    // so a chain of shares always ends at a record that read the file.
    for (int32_t i = 0; i + 1 < textureCount; ++i) {
        const TextureRecord* earlier = textures[i];
        if (earlier == record || earlier->sharedFrom || !earlier->path) continue;
        if (std::strcmp(earlier->path, path) != 0) continue;
        if (earlier->minFilter != minFilter || earlier->magFilter != magFilter) continue;
        record->format = earlier->format;
        record->width = earlier->width;
        record->height = earlier->height;
        record->tileColumns = earlier->tileColumns;
        record->tileRows = earlier->tileRows;
        record->tiles = earlier->tiles;
        record->sharedFrom = const_cast<TextureRecord*>(earlier);
        return;
    }

    record->path = CopyString(this, path);
    record->format = GL_RGB;
    char colourName[kFileNameBuffer];
    char alphaName[kFileNameBuffer];
    if (!JoinName(colourName, path, kColourSuffix) || !JoinName(alphaName, path, kAlphaSuffix)) {
        return;  // too long for the file-name buffers: no image
    }

    RgbImage* colour = LoadImageFile(colourName);
    if (!colour) return;
    if (!colour->pixels && colour->width > 0 && colour->height > 0) {
        FreeRgbImage(colour);  // an image without its pixels counts as missing
        return;
    }
    RgbImage* alpha = LoadImageFile(alphaName);
    if (alpha && (!alpha->pixels || !SameImage(alpha, colour))) {
        // A mask of another size than the picture does not say which pixel
        // it covers; it is ignored, so nothing outside either image is read.
        FreeRgbImage(alpha);
        alpha = nullptr;
    }
    if (alpha) record->format = GL_RGBA;

    record->width = colour->width;
    record->height = colour->height;
    record->pixels = colour->pixels;
    record->alphaPixels = alpha ? alpha->pixels : nullptr;
    AdoptPixels(this, record->pixels);
    AdoptPixels(this, record->alphaPixels);
    delete colour;
    delete alpha;

    std::vector<int32_t> columnWidths = SplitIntoTiles(record->width, maxTileSize);
    std::vector<int32_t> rowHeights = SplitIntoTiles(record->height, maxTileSize);
    int64_t tiles = static_cast<int64_t>(columnWidths.size()) * static_cast<int64_t>(rowHeights.size());
    if (tiles == 0 || tiles > INT32_MAX - static_cast<int64_t>(tileCount)) return;
    TextureTile* tileArray = new (std::nothrow) TextureTile[static_cast<size_t>(tiles)];
    if (!tileArray) return;
    gOwnedBlocks[this].tileArrays.push_back(tileArray);

    int32_t y = 0;
    size_t index = 0;
    for (int32_t rowHeight : rowHeights) {
        int32_t x = 0;
        for (int32_t columnWidth : columnWidths) {
            tileArray[index++] = TextureTile{x, y, columnWidth, rowHeight, 0};
            x += columnWidth;
        }
        y += rowHeight;
    }
    record->tileColumns = static_cast<int32_t>(columnWidths.size());
    record->tileRows = static_cast<int32_t>(rowHeights.size());
    record->tiles = tileArray;
    tileCount += static_cast<int32_t>(tiles);
}

void OpenGLFullscreen::LoadTextureRegion(TextureRecord* record, const char* path,
                                         uint32_t minFilter, uint32_t magFilter, uint32_t wrap,
                                         const char* name, int regionX, int regionY,
                                         int regionWidth, int regionHeight) {
    LoadTexture(record, path, minFilter, magFilter, wrap, name);
    if (!record) return;
    record->regionX = regionX;
    record->regionY = regionY;
    record->regionWidth = regionWidth;
    record->regionHeight = regionHeight;
}

// Every line is one entry, also an empty one; a line ends at a line feed, and
// a carriage return right before it belongs to the line ending. A line longer
// than 1023 characters is still one entry, so the entries after it keep their
// positions: its first 1023 characters become the name, its file name cannot
// fit the file-name buffer and so no image is read, and the rest of the line
// is skipped rather than read as further entries.
bool OpenGLFullscreen::LoadTextureList(TextureRecord* records, int& count, const char* directory,
                                       const char* listFile, int maximumCount) {
    count = 0;
    char listName[kFileNameBuffer];
    FILE* file = nullptr;
    if (directory && listFile && JoinName(listName, directory, listFile)) {
        file = plat::OpenRegularFile(DataFilePath(listName).c_str(), "r", nullptr);
    }
    if (!file) {
        plat::MessageBox(nullptr, "TexturFile kann nicht geöffnet werden.", "Fehler",
                         plat::MB_ICONEXCLAMATION);
        return false;
    }

    char line[kFileNameBuffer];
    std::string path;
    while (count < maximumCount && records && ReadListLine(file, line)) {
        path.assign(directory);
        path.append(line);
        LoadTexture(&records[count], path.c_str(), GL_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, line);
        ++count;
    }
    std::fclose(file);
    return true;
}

// Creates the OpenGL textures of every registered record in one pass. Names
// come from one glGenTextures call and are handed out in registration order
// and tile order, so record k's tiles get consecutive names. A tile is
// stored with an alpha channel only when its part of the alpha image has a
// non-black pixel (the mask is inverted: black opaque, white transparent).
void OpenGLFullscreen::UploadTextures() {
    delete[] tileNames;
    tileNames = nullptr;
    if (tileCount > 0) {
        tileNames = new (std::nothrow) uint32_t[static_cast<size_t>(tileCount)]();
        if (tileNames) glGenTextures(tileCount, tileNames);
    }
    const size_t edge = maxTileSize > 0 ? static_cast<size_t>(maxTileSize) : 0;
    uint8_t* scratch = new (std::nothrow) uint8_t[edge * edge * 4 + 1];

    // Tight rows: a 3-byte texel row need not be a multiple of 4 bytes.
    GLint savedAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &savedAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    int32_t k = 0;
    for (int32_t i = 0; i < textureCount; ++i) {
        TextureRecord* record = textures[i];
        if (record->sharedFrom) {
            record->glName = record->sharedFrom->glName;
            continue;
        }
        const int64_t tilesHere = static_cast<int64_t>(record->tileColumns) * record->tileRows;
        // Only a record that still holds its pixels is uploaded; one that is
        // registered twice is uploaded at its first entry. Names are never
        // taken beyond those that were generated.
        const bool upload = record->pixels && record->tiles && tilesHere > 0 && tileNames &&
                            scratch && tilesHere <= static_cast<int64_t>(tileCount) - k;
        if (upload) {
            const size_t imageWidth = static_cast<size_t>(record->width);
            for (int64_t t = 0; t < tilesHere; ++t) {
                TextureTile& tile = record->tiles[t];
                tile.glName = tileNames[k++];
                glBindTexture(GL_TEXTURE_2D, tile.glName);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(record->magFilter));
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(record->minFilter));
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(record->wrap));
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(record->wrap));

                const size_t tx = static_cast<size_t>(tile.x);
                const size_t ty = static_cast<size_t>(tile.y);
                const size_t tw = static_cast<size_t>(tile.width);
                const size_t th = static_cast<size_t>(tile.height);
                bool needsAlpha = false;
                if (record->alphaPixels) {
                    for (size_t row = 0; row < th && !needsAlpha; ++row) {
                        const uint8_t* mask = record->alphaPixels + ((ty + row) * imageWidth + tx) * 3;
                        for (size_t column = 0; column < tw; ++column) {
                            if (mask[column * 3] != 0) {
                                needsAlpha = true;
                                break;
                            }
                        }
                    }
                }

                uint8_t* out = scratch;
                for (size_t row = 0; row < th; ++row) {
                    const size_t start = ((ty + row) * imageWidth + tx) * 3;
                    const uint8_t* colour = record->pixels + start;
                    if (needsAlpha) {
                        const uint8_t* mask = record->alphaPixels + start;
                        for (size_t column = 0; column < tw; ++column) {
                            *out++ = colour[column * 3];
                            *out++ = colour[column * 3 + 1];
                            *out++ = colour[column * 3 + 2];
                            *out++ = static_cast<uint8_t>(255 - mask[column * 3]);
                        }
                    } else {
                        std::memcpy(out, colour, tw * 3);
                        out += tw * 3;
                    }
                }
                const GLenum format = needsAlpha ? GL_RGBA : GL_RGB;
                glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), tile.width, tile.height,
                             0, format, GL_UNSIGNED_BYTE, scratch);
            }
        }
        record->glName =
            (record->tileColumns == 1 && record->tileRows == 1 && record->tiles) ? record->tiles[0].glName : 0;
        FreePixels(this, record->pixels);
        FreePixels(this, record->alphaPixels);
    }

    glPixelStorei(GL_UNPACK_ALIGNMENT, savedAlignment);
    delete[] scratch;
    // Pixel blocks of records that were loaded again before the upload have
    // no record left to upload them; they end here.
    std::vector<uint8_t*>& orphans = gOwnedBlocks[this].pixelBlocks;
    for (uint8_t* block : orphans) delete[] block;
    orphans.clear();
}

TextureRecord* OpenGLFullscreen::FindTexture(const char* name) const {
    if (!name) return nullptr;
    for (int32_t i = 0; i < textureCount; ++i) {
        if (textures[i]->name && std::strcmp(textures[i]->name, name) == 0) return textures[i];
    }
    return nullptr;
}

// Frees every block the library handed out: names, paths, tile arrays, and
// the pixels of records that were loaded but never uploaded; then the
// registry and the name array. The records themselves are not touched (their
// storage may already be gone), and the OpenGL texture objects end with the
// rendering context. Safe to call more than once.
void OpenGLFullscreen::FreeTextureRegistry() {
    auto owned = gOwnedBlocks.find(this);
    if (owned != gOwnedBlocks.end()) {
        for (char* text : owned->second.strings) delete[] text;
        for (TextureTile* tiles : owned->second.tileArrays) delete[] tiles;
        for (uint8_t* block : owned->second.pixelBlocks) delete[] block;
        gOwnedBlocks.erase(owned);
    }
    delete[] textures;
    textures = nullptr;
    textureCount = 0;
    delete[] tileNames;
    tileNames = nullptr;
    tileCount = 0;
}
