// Windows bitmap decoding (see DibImage.h for the accepted formats).
//
// Conventions: the input buffer is trusted for nothing. Every field is read
// through the little-endian helpers below at an offset that has been checked
// against the buffer size first; all size arithmetic is done in 64 bits on
// values that cannot overflow it (dimensions below 2^32, bit counts below
// 2^6). The whole geometry of the file (header, colour table, pixel offset,
// every row of uncompressed data) is validated before the output block is
// allocated, so the conversion loops run without per-pixel checks. Run-length
// streams cannot be validated in advance; their decoder checks each command
// against the remaining stream and the picture's bounds instead.
//
// File rows are stored bottom row first unless the height is negative; row r
// of the file (counting in file order) lands in output row
// (topDown ? height - 1 - r : r).
#include "gl/DibImage.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "gl/FileBytes.h"
#include "gl/LittleEndian.h"
#include "platform/Platform.h"

const char* const kDibOutOfMemory = "Out of memory.";
const char* const kDibUnknownFormat = "Unknown DIB file format.";
const char* const kDibConversionError = "Image file conversion error.";

namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr size_t kFileHeaderSize = 14;

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitfields = 3;

// One colour channel of a 16- or 32-bit pixel: (pixel & mask) >> shift gives
// a value of 0..max, scaled to 0..255 with rounding.
struct Channel {
    uint32_t mask = 0;
    uint32_t shift = 0;
    uint32_t max = 0;

    uint8_t Get(uint32_t pixel) const {
        if (max == 0) return 0;
        uint32_t v = (pixel & mask) >> shift;
        return uint8_t((uint64_t(v) * 255 + max / 2) / max);
    }
};

// False for a mask whose set bits are not one contiguous run.
bool MakeChannel(uint32_t mask, Channel* channel) {
    channel->mask = mask;
    if (mask == 0) return true;
    uint32_t shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    uint32_t bits = mask >> shift;
    if (bits & (bits + 1)) return false;
    channel->shift = shift;
    channel->max = bits;
    return true;
}

// Everything the conversion needs, gathered and checked up front.
struct Layout {
    uint32_t width = 0;
    uint32_t height = 0;  // absolute
    bool topDown = false;
    uint32_t bitCount = 0;
    uint32_t compression = 0;
    Channel channels[3];  // red, green, blue for 16 and 32 bits
    // Palette as R, G, B, 0, padded to 256 entries with black so that any
    // index of any bit count is a valid lookup.
    uint8_t palette[256][4] = {};
    const uint8_t* bits = nullptr;  // first byte of the pixel data
    size_t bitsSize = 0;            // bytes from there to the end of the file
};

uint8_t* OutputRow(const Layout& layout, uint8_t* pixels, uint32_t fileRow) {
    uint32_t row = layout.topDown ? layout.height - 1 - fileRow : fileRow;
    return pixels + uint64_t(row) * layout.width * 3;
}

// ---- Header parsing --------------------------------------------------------

const char* ParseLayout(const uint8_t* data, size_t size, Layout* layout) {
    size_t headerAt = 0;
    bool hasFileHeader = false;
    uint32_t fileBitsOffset = 0;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
        if (size < kFileHeaderSize) return kDibUnknownFormat;
        fileBitsOffset = ReadLe32(data + 10);
        headerAt = kFileHeaderSize;
        hasFileHeader = true;
    }
    if (size - headerAt < 4) return kDibUnknownFormat;
    const uint8_t* header = data + headerAt;
    uint32_t headerSize = ReadLe32(header);
    if (headerSize != kCoreHeaderSize && headerSize != kInfoHeaderSize) return kDibUnknownFormat;
    if (size - headerAt < headerSize) return kDibUnknownFormat;

    int64_t width, height;
    uint32_t colorsUsed = 0;
    size_t entrySize;
    size_t tableAt = headerAt + headerSize;
    if (headerSize == kCoreHeaderSize) {
        width = ReadLe16(header + 4);
        height = ReadLe16(header + 6);
        layout->bitCount = ReadLe16(header + 10);
        layout->compression = kCompressionNone;
        entrySize = 3;
    } else {
        width = ReadLeS32(header + 4);
        height = ReadLeS32(header + 8);
        layout->bitCount = ReadLe16(header + 14);
        layout->compression = ReadLe32(header + 16);
        colorsUsed = ReadLe32(header + 32);
        entrySize = 4;
        if (layout->compression == kCompressionBitfields) {
            // Three masks (red, green, blue) follow the header.
            if (size - tableAt < 12) return kDibConversionError;
            for (int c = 0; c < 3; ++c) {
                if (!MakeChannel(ReadLe32(data + tableAt + 4 * c), &layout->channels[c]))
                    return kDibConversionError;
            }
            tableAt += 12;
        }
    }

    // Pixel format: which bit counts go with which compression.
    const uint32_t bitCount = layout->bitCount;
    switch (layout->compression) {
    case kCompressionNone:
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 &&
            bitCount != 24 && bitCount != 32)
            return kDibConversionError;
        break;
    case kCompressionRle8:
        if (bitCount != 8) return kDibConversionError;
        break;
    case kCompressionRle4:
        if (bitCount != 4) return kDibConversionError;
        break;
    case kCompressionBitfields:
        if (bitCount != 16 && bitCount != 32) return kDibConversionError;
        break;
    default:
        return kDibConversionError;
    }
    if (layout->compression == kCompressionNone && bitCount == 16) {
        MakeChannel(0x7C00, &layout->channels[0]);
        MakeChannel(0x03E0, &layout->channels[1]);
        MakeChannel(0x001F, &layout->channels[2]);
    } else if (layout->compression == kCompressionNone && bitCount == 32) {
        MakeChannel(0x00FF0000, &layout->channels[0]);
        MakeChannel(0x0000FF00, &layout->channels[1]);
        MakeChannel(0x000000FF, &layout->channels[2]);
    }

    // Geometry. A top-down picture cannot be run-length compressed.
    if (width <= 0 || height == 0 || height < -int64_t(INT32_MAX)) return kDibConversionError;
    layout->topDown = height < 0;
    if (layout->topDown) {
        height = -height;
        if (layout->compression == kCompressionRle8 || layout->compression == kCompressionRle4)
            return kDibConversionError;
    }
    layout->width = uint32_t(width);
    layout->height = uint32_t(height);

    // Colour table: the colours-used count of a 40-byte header, otherwise one
    // entry per value of a palette bit count. It must lie inside the file.
    uint64_t entries = colorsUsed;
    if (entries == 0) {
        entries = bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
    }
    uint64_t tableBytes = entries * entrySize;
    if (tableBytes > size - tableAt) return kDibConversionError;
    if (bitCount <= 8) {
        uint64_t used = entries < (uint64_t(1) << bitCount) ? entries : (uint64_t(1) << bitCount);
        for (uint64_t i = 0; i < used; ++i) {
            const uint8_t* entry = data + tableAt + i * entrySize;
            layout->palette[i][0] = entry[2];
            layout->palette[i][1] = entry[1];
            layout->palette[i][2] = entry[0];
        }
    }

    uint64_t bitsOffset = hasFileHeader ? fileBitsOffset : tableAt + tableBytes;
    if (bitsOffset > size) return kDibConversionError;
    layout->bits = data + bitsOffset;
    layout->bitsSize = size - size_t(bitsOffset);
    return nullptr;
}

// ---- Uncompressed rows -----------------------------------------------------

void ConvertRow24(const uint8_t* src, uint8_t* dst, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        src += 3;
        dst += 3;
    }
}

void ConvertRow8(const uint8_t* src, uint8_t* dst, uint32_t width, const uint8_t (*palette)[4]) {
    // Four-byte stores that overlap the next pixel; the last pixel is written
    // with three bytes so nothing lands past the row.
    uint32_t x = 0;
    for (; x + 1 < width; ++x) {
        std::memcpy(dst, palette[src[x]], 4);
        dst += 3;
    }
    std::memcpy(dst, palette[src[x]], 3);
}

void ConvertRowPacked(const uint8_t* src, uint8_t* dst, uint32_t width, uint32_t bitCount,
                      const uint8_t (*palette)[4]) {
    const uint32_t perByte = 8 / bitCount;
    const uint32_t valueMask = (1u << bitCount) - 1;
    for (uint32_t x = 0; x < width; ++x) {
        uint32_t shift = 8 - bitCount * (x % perByte + 1);
        uint32_t index = (src[x / perByte] >> shift) & valueMask;
        std::memcpy(dst, palette[index], 3);
        dst += 3;
    }
}

void ConvertRowMasked(const uint8_t* src, uint8_t* dst, uint32_t width, uint32_t bytesPerPixel,
                      const Channel* channels) {
    for (uint32_t x = 0; x < width; ++x) {
        uint32_t pixel = bytesPerPixel == 2 ? ReadLe16(src) : ReadLe32(src);
        dst[0] = channels[0].Get(pixel);
        dst[1] = channels[1].Get(pixel);
        dst[2] = channels[2].Get(pixel);
        src += bytesPerPixel;
        dst += 3;
    }
}

void ConvertUncompressed(const Layout& layout, uint64_t stride, uint8_t* pixels) {
    const uint8_t* src = layout.bits;
    for (uint32_t row = 0; row < layout.height; ++row, src += stride) {
        uint8_t* dst = OutputRow(layout, pixels, row);
        switch (layout.bitCount) {
        case 24: ConvertRow24(src, dst, layout.width); break;
        case 8: ConvertRow8(src, dst, layout.width, layout.palette); break;
        case 1:
        case 4: ConvertRowPacked(src, dst, layout.width, layout.bitCount, layout.palette); break;
        default:
            ConvertRowMasked(src, dst, layout.width, layout.bitCount / 8, layout.channels);
            break;
        }
    }
}

// ---- Run-length streams ----------------------------------------------------

// Decodes an RLE8 or RLE4 stream into the zero-filled (black) output.
// Writers may encode a row's padding as well (ImageMagick does), so a row
// runs to its 4-byte-aligned length: 4 pixels for RLE8, 8 for RLE4; pixels
// past the picture's width are dropped. A run or literal that would cross
// that padded end, a move outside the picture, a command cut off by the end
// of the file, or a stream that ends before its last row without an
// end-of-bitmap mark is an error.
bool DecodeRunLength(const Layout& layout, uint8_t* pixels) {
    const bool four = layout.compression == kCompressionRle4;
    const uint8_t* p = layout.bits;
    const uint8_t* end = p + layout.bitsSize;
    const uint64_t width = layout.width;
    const uint64_t rowEnd = four ? (width + 7) / 8 * 8 : (width + 3) / 4 * 4;
    const uint32_t height = layout.height;
    uint64_t x = 0;
    uint32_t y = 0;
    // Pixels of a command starting at x that land inside the picture.
    auto visible = [&](uint64_t count) { return x >= width ? 0 : std::min(count, width - x); };
    while (end - p >= 2) {
        uint32_t count = p[0];
        uint32_t value = p[1];
        p += 2;
        if (count > 0) {
            // Encoded run: one index (RLE8) or two alternating nibbles (RLE4).
            if (y >= height || count > rowEnd - x) return false;
            const uint8_t* first = layout.palette[four ? value >> 4 : value];
            const uint8_t* second = layout.palette[four ? value & 15 : value];
            const uint64_t shown = visible(count);
            uint8_t* dst = shown ? OutputRow(layout, pixels, y) + x * 3 : nullptr;
            for (uint64_t i = 0; i < shown; ++i, dst += 3)
                std::memcpy(dst, (i & 1) ? second : first, 3);
            x += count;
            continue;
        }
        switch (value) {
        case 0:  // end of line
            if (y >= height) return false;
            x = 0;
            ++y;
            break;
        case 1:  // end of bitmap
            return true;
        case 2: {  // move right and up
            if (end - p < 2) return false;
            uint32_t dx = p[0], dy = p[1];
            p += 2;
            if (dx > rowEnd - x || dy >= height - y) return false;
            x += dx;
            y += dy;
            break;
        }
        default: {  // literal run of `value` indices, padded to 16 bits
            uint32_t n = value;
            size_t bytes = four ? (n + 1) / 2 : n;
            if (size_t(end - p) < bytes) return false;
            if (y >= height || n > rowEnd - x) return false;
            const uint64_t shown = visible(n);
            uint8_t* dst = shown ? OutputRow(layout, pixels, y) + x * 3 : nullptr;
            for (uint32_t i = 0; i < shown; ++i, dst += 3) {
                uint32_t index = four ? (p[i / 2] >> ((i & 1) ? 0 : 4)) & 15 : p[i];
                std::memcpy(dst, layout.palette[index], 3);
            }
            x += n;
            p += bytes;
            if ((bytes & 1) && p < end) ++p;
            break;
        }
        }
    }
    // No end-of-bitmap mark: complete only if every row was closed.
    return y >= height;
}

}  // namespace

RgbImage* DecodeDib(const uint8_t* data, size_t size, std::string* error,
                    const DibLimits& limits) {
    auto fail = [error](const char* text) -> RgbImage* {
        if (error) *error = text;
        return nullptr;
    };
    if (!data) return fail(kDibUnknownFormat);
    Layout layout;
    if (const char* problem = ParseLayout(data, size, &layout)) return fail(problem);

    const bool runLength =
        layout.compression == kCompressionRle8 || layout.compression == kCompressionRle4;
    uint64_t stride = 0;
    if (!runLength) {
        // Every row must be in the file; the last row's padding may be cut.
        uint64_t rowBits = uint64_t(layout.width) * layout.bitCount;
        stride = (rowBits + 31) / 32 * 4;
        uint64_t lastRow = (rowBits + 7) / 8;
        uint64_t available = layout.bitsSize;
        if (lastRow > available) return fail(kDibConversionError);
        if (layout.height - 1 > (available - lastRow) / stride) return fail(kDibConversionError);
    }
    uint64_t outBytes = uint64_t(layout.width) * layout.height * 3;
    if (layout.width > limits.maxSide || layout.height > limits.maxSide) return fail(kDibOutOfMemory);
    if (outBytes > std::min(kDibMaxOutputBytes, limits.maxOutputBytes) || outBytes > SIZE_MAX)
        return fail(kDibOutOfMemory);

    uint8_t* pixels = new (std::nothrow) uint8_t[size_t(outBytes)];
    if (!pixels) return fail(kDibOutOfMemory);
    if (runLength) {
        std::memset(pixels, 0, size_t(outBytes));
        if (!DecodeRunLength(layout, pixels)) {
            delete[] pixels;
            return fail(kDibConversionError);
        }
    } else {
        ConvertUncompressed(layout, stride, pixels);
    }
    RgbImage* image = new (std::nothrow) RgbImage;
    if (!image) {
        delete[] pixels;
        return fail(kDibOutOfMemory);
    }
    image->width = int32_t(layout.width);
    image->height = int32_t(layout.height);
    image->pixels = pixels;
    return image;
}

std::string DibOpenFailedMessage(const char* fileName) {
    return std::string("Failed to open DIB file ") + (fileName ? fileName : "") + ".\n";
}

RgbImage* LoadDibImage(const char* fileName, const DibLimits& limits) {
    std::string message;
    RgbImage* image = nullptr;
    FileBytes file;
    const uint64_t fileLimit =
        DibFileBytesFor(std::min(kDibMaxOutputBytes, limits.maxOutputBytes));
    switch (ReadFileBytes(fileName, size_t(fileLimit), &file)) {
    case FileReadStatus::Ok:
        // An empty file cannot be mapped: it counts as not opened.
        if (file.size == 0)
            message = DibOpenFailedMessage(fileName);
        else
            image = DecodeDib(file.data.get(), file.size, &message, limits);
        break;
    case FileReadStatus::OpenFailed:
        message = DibOpenFailedMessage(fileName);
        break;
    case FileReadStatus::TooLarge:
    case FileReadStatus::OutOfMemory:
        message = kDibOutOfMemory;
        break;
    }
    if (!image) plat::MessageBox(plat::GetFocus(), message.c_str(), "Error", 0);
    return image;
}
