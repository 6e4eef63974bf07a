// PNG reading and writing for mapconvert (see PngFiles.h).
//
// libpng reports errors by longjmp back to the setjmp of the function that
// drives it. Those functions therefore create no object with a destructor
// after their setjmp: every buffer lives in the caller's frame and is only
// resized inside, so a jump leaks nothing and skips no destructor.
#include "gl/PngFiles.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>

#include "gl/FileBytes.h"

namespace {

// Far above any picture of at most kMaxPictureSide pixels a side even when
// it is stored without compression; a larger file is no heightmap of ours.
const size_t kMaxPngFileBytes = size_t(256) << 20;
// Ancillary chunks (text, profiles) are not needed; a few megabytes each is
// plenty and keeps a hostile chunk from reserving much memory.
const png_alloc_size_t kMaxChunkBytes = png_alloc_size_t(8) << 20;
// zlib's fastest level (Z_BEST_SPEED), for previews.
const int kPreviewCompressionLevel = 1;

struct PngContext {
    const uint8_t* data = nullptr;  // reading: the whole file
    size_t size = 0;
    size_t offset = 0;
    char message[256] = {};
    char warning[256] = {};
    std::jmp_buf jump;
};

void OnError(png_structp png, png_const_charp text) {
    PngContext* context = static_cast<PngContext*>(png_get_error_ptr(png));
    std::snprintf(context->message, sizeof context->message, "%s", text ? text : "PNG error");
    std::longjmp(context->jump, 1);
}

void OnWarning(png_structp png, png_const_charp text) {
    PngContext* context = static_cast<PngContext*>(png_get_error_ptr(png));
    if (context->warning[0] == '\0')
        std::snprintf(context->warning, sizeof context->warning, "%s", text ? text : "");
}

void ReadFromBuffer(png_structp png, png_bytep out, size_t count) {
    PngContext* context = static_cast<PngContext*>(png_get_io_ptr(png));
    if (count > context->size - context->offset) png_error(png, "unexpected end of the file");
    std::memcpy(out, context->data + context->offset, count);
    context->offset += count;
}

// libpng's first complaint is the cause: a chunk it found too large is
// skipped, and skipping it is what then runs past the end of the file.
std::string Reason(const PngContext& context) {
    if (context.warning[0] == '\0') return context.message;
    return std::string(context.warning) + "; " + context.message;
}

// Asks libpng for one grey channel of 8 or 16 bits, whatever the file holds.
void RequestGrey(png_structp png, png_infop info) {
    const int colourType = png_get_color_type(png, info);
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (colourType & PNG_COLOR_MASK_COLOR || colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_rgb_to_gray_fixed(png, PNG_ERROR_ACTION_NONE, -1, -1);
    png_set_strip_alpha(png);  // also the alpha a palette's transparency adds
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// Decodes context's buffer into picture. raw and rows belong to the caller.
bool DecodeGrey(PngContext& context, GreyPicture* picture, bool* inColour,
                std::vector<uint8_t>* raw, std::vector<png_bytep>* rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, OnError, OnWarning);
    if (!png) {
        std::snprintf(context.message, sizeof context.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(context.jump)) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        if (context.message[0] == '\0')
            std::snprintf(context.message, sizeof context.message, "out of memory");
        return false;
    }
    png_set_read_fn(png, &context, ReadFromBuffer);
    png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_read_info(png, info);
    RequestGrey(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    if (png_get_channels(png, info) != 1 || (bitDepth != 8 && bitDepth != 16) ||
        rowBytes != size_t(width) * size_t(bitDepth / 8))
        png_error(png, "libpng gives no grey rows for this picture");

    raw->resize(rowBytes * height);
    rows->resize(height);
    for (png_uint_32 y = 0; y < height; ++y) (*rows)[y] = raw->data() + size_t(y) * rowBytes;
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
    *inColour = png_get_rgb_to_gray_status(png) != 0;
    png_destroy_read_struct(&png, &info, nullptr);

    picture->width = int(width);
    picture->height = int(height);
    picture->bitDepth = bitDepth;
    picture->samples.resize(size_t(width) * height);
    const uint8_t* in = raw->data();
    for (size_t i = 0; i < picture->samples.size(); ++i) {
        // PNG stores 16-bit samples most significant byte first.
        picture->samples[i] = bitDepth == 16 ? uint16_t(in[2 * i] << 8 | in[2 * i + 1]) : in[i];
    }
    return true;
}

// Encodes content into file. row and textRecords belong to the caller.
bool Encode(PngContext& context, std::FILE* file, const PngContent& content,
            std::vector<uint8_t>* row, std::vector<png_text>* textRecords) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &context, OnError, OnWarning);
    if (!png) {
        std::snprintf(context.message, sizeof context.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(context.jump)) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(content.width), png_uint_32(content.height),
                 content.bitDepth, content.rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!textRecords->empty())
        png_set_text(png, info, textRecords->data(), int(textRecords->size()));
    if (content.compressionLevel >= 0) png_set_compression_level(png, content.compressionLevel);
    png_write_info(png, info);
    const size_t channels = content.rgb ? 3 : 1;
    const size_t bytesPerRow = size_t(content.width) * channels * size_t(content.bitDepth / 8);
    row->resize(bytesPerRow);
    for (int y = 0; y < content.height; ++y) {
        const size_t first = size_t(y) * size_t(content.width);
        if (content.rgb) {
            std::memcpy(row->data(), content.rgbBytes + first * 3, bytesPerRow);
        } else {
            for (int x = 0; x < content.width; ++x) {
                const uint16_t sample = content.grey[first + size_t(x)];
                if (content.bitDepth == 16) {
                    (*row)[2 * size_t(x)] = uint8_t(sample >> 8);
                    (*row)[2 * size_t(x) + 1] = uint8_t(sample);
                } else {
                    (*row)[size_t(x)] = uint8_t(sample);
                }
            }
        }
        png_write_row(png, row->data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool ReadPngAsGrey(const std::string& path, GreyPicture* picture, bool* inColour,
                   std::string* error) {
    FileBytes bytes;
    errno = 0;
    switch (ReadFileBytes(path.c_str(), kMaxPngFileBytes, &bytes)) {
        case FileReadStatus::Ok: break;
        case FileReadStatus::OpenFailed:
            *error = path + ": cannot read the file: " + std::strerror(errno ? errno : ENOENT);
            return false;
        case FileReadStatus::TooLarge:
            *error = path + ": larger than any heightmap this tool reads";
            return false;
        case FileReadStatus::OutOfMemory:
            *error = path + ": out of memory";
            return false;
    }
    if (bytes.size < 8 || png_sig_cmp(bytes.data.get(), 0, 8) != 0) {
        *error = path + ": not a PNG file";
        return false;
    }
    PngContext context;
    context.data = bytes.data.get();
    context.size = bytes.size;
    std::vector<uint8_t> raw;
    std::vector<png_bytep> rows;
    if (!DecodeGrey(context, picture, inColour, &raw, &rows)) {
        *error = path + ": " + Reason(context);
        return false;
    }
    return true;
}

PngContent GreyPngContent(const GreyPicture& picture, const PngTexts& texts, std::string* failure) {
    PngContent content;
    content.width = picture.width;
    content.height = picture.height;
    content.bitDepth = picture.bitDepth;
    content.grey = picture.samples.data();
    content.texts = &texts;
    content.failure = failure;
    return content;
}

PngContent RgbPngContent(int width, int height, const std::vector<uint8_t>& rgb,
                         std::string* failure) {
    PngContent content;
    content.width = width;
    content.height = height;
    content.rgb = true;
    content.rgbBytes = rgb.data();
    content.compressionLevel = kPreviewCompressionLevel;
    content.failure = failure;
    return content;
}

bool WritePng(std::FILE* file, const void* user) {
    const PngContent& content = *static_cast<const PngContent*>(user);
    PngContext context;
    std::vector<uint8_t> row;
    std::vector<png_text> textRecords;
    if (content.texts) {
        for (const auto& text : *content.texts) {
            png_text record = {};
            record.compression = PNG_TEXT_COMPRESSION_NONE;
            record.key = const_cast<char*>(text.first.c_str());
            record.text = const_cast<char*>(text.second.c_str());
            record.text_length = text.second.size();
            textRecords.push_back(record);
        }
    }
    const bool written = Encode(context, file, content, &row, &textRecords);
    if (!written && content.failure) *content.failure = Reason(context);
    return written;
}
