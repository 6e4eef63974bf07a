// Windows bitmap (".bmp", device-independent bitmap) decoding into RgbImage.
//
// Conventions: input is a whole file in memory, little-endian, with or
// without the 14-byte "BM" file header. Output is a heap RgbImage (free with
// FreeRgbImage): width, height (always positive), R, G, B bytes, bottom row
// first, no row padding. Files stored top-down (negative height) come out
// bottom row first like every other file, with height = |stored height|.
//
// Accepted: 40-byte info headers and 12-byte core headers; uncompressed 1, 4,
// 8, 16, 24 and 32 bits per pixel; 16 and 32 bits with channel masks
// (compression 3, masks after the 40-byte header); run-length compressed
// 8-bit (compression 1) and 4-bit (compression 2) images. Pixels that a
// run-length stream skips are black. Palette entries beyond the file's
// colour table are black, so an out-of-range index reads black (the table is
// padded, not trusted). Newer, longer headers are refused.
//
// Every failure produces exactly one of the messages below and no image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "gl/RgbImage.h"

// The decoder's message texts.
extern const char* const kDibOutOfMemory;      // "Out of memory."
extern const char* const kDibUnknownFormat;    // "Unknown DIB file format."
extern const char* const kDibConversionError;  // "Image file conversion error."

// Largest decoded pixel block (width * height * 3) the decoder will allocate;
// anything larger is refused with kDibOutOfMemory before any allocation.
#ifndef DIB_MAX_OUTPUT_BYTES
#define DIB_MAX_OUTPUT_BYTES (uint64_t(1) << 30)
#endif
constexpr uint64_t kDibMaxOutputBytes = DIB_MAX_OUTPUT_BYTES;
// Largest file LoadDibImage reads for a picture of outputBytes: the largest
// uncompressed 32-bit file whose picture fits, with room for headers.
constexpr uint64_t DibFileBytesFor(uint64_t outputBytes) {
    return outputBytes / 3 * 4 + (uint64_t(1) << 20);
}
constexpr uint64_t kDibMaxFileBytes = DibFileBytesFor(kDibMaxOutputBytes);

// What a caller lets one picture cost: wider or taller than maxSide pixels,
// or a pixel block beyond maxOutputBytes, is refused with kDibOutOfMemory
// before anything is allocated, as a block the decoder cannot allocate.
struct DibLimits {
    uint32_t maxSide;
    uint64_t maxOutputBytes;  // at most kDibMaxOutputBytes counts
};
// The decoder's own: any side a file can declare, kDibMaxOutputBytes.
constexpr DibLimits kDibDecoderLimits = {UINT32_MAX, kDibMaxOutputBytes};

// Decodes a bitmap held in memory. Pure: shows nothing. On failure returns
// null and, when error is given, stores the message text in it.
RgbImage* DecodeDib(const uint8_t* data, size_t size, std::string* error,
                    const DibLimits& limits = kDibDecoderLimits);

// "Failed to open DIB file <name>.\n"
std::string DibOpenFailedMessage(const char* fileName);

// Reads and decodes a bitmap file within limits (the file itself at most
// DibFileBytesFor their block). On failure shows the one message of the
// failure in a message box titled "Error" (owner: the focus window) and
// returns null.
RgbImage* LoadDibImage(const char* fileName, const DibLimits& limits = kDibDecoderLimits);
