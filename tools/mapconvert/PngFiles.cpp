// PNG reading and writing for mapconvert (see PngFiles.h).
//
// libpng reports errors by longjmp back to the setjmp of the function that
// drives it. Those functions therefore create no object with a destructor
// after their setjmp: every buffer lives in the caller's frame and is only
// resized inside, so a jump leaks nothing and skips no destructor.
#include "tools/mapconvert/PngFiles.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "gl/FileBytes.h"

namespace {

// Far above any picture of at most kMaxPngSide pixels a side even when it
// is stored without compression; a larger file is no heightmap of ours.
const size_t kMaxPngFileBytes = size_t(256) << 20;
// Ancillary chunks (text, profiles) are not needed; a few megabytes each is
// plenty and keeps a hostile chunk from reserving much memory.
const png_alloc_size_t kMaxChunkBytes = png_alloc_size_t(8) << 20;

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
    if (count > context->size - context->offset) png_error(png, "the file is cut short");
    std::memcpy(out, context->data + context->offset, count);
    context->offset += count;
}

std::string Reason(const PngContext& context) {
    std::string reason = context.message;
    if (context.warning[0] != '\0') reason += std::string(" (") + context.warning + ")";
    return reason;
}

// Decodes context's buffer into picture. raw and rows belong to the caller.
bool DecodeGrey(PngContext& context, GreyPicture* picture, std::vector<uint8_t>* raw,
                std::vector<png_bytep>* rows) {
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
    png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colourType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    if (colourType != PNG_COLOR_TYPE_GRAY || (bitDepth != 8 && bitDepth != 16)) {
        const char* kind = colourType == PNG_COLOR_TYPE_GRAY ? "greyscale"
                           : colourType == PNG_COLOR_TYPE_GRAY_ALPHA ? "greyscale with alpha"
                           : colourType == PNG_COLOR_TYPE_PALETTE ? "palette"
                                                                   : "colour";
        char text[160];
        std::snprintf(text, sizeof text,
                      "the picture is %d-bit %s; only 8- or 16-bit greyscale is read", bitDepth, kind);
        png_error(png, text);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    if (rowBytes != size_t(width) * size_t(bitDepth / 8)) png_error(png, "unexpected row size");

    raw->resize(rowBytes * height);
    rows->resize(height);
    for (png_uint_32 y = 0; y < height; ++y) (*rows)[y] = raw->data() + size_t(y) * rowBytes;
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
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

struct EncodeJob {
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    int colourType = PNG_COLOR_TYPE_GRAY;
    const uint16_t* grey = nullptr;  // grey samples, or
    const uint8_t* rgb = nullptr;    // RGB bytes
    const PngTexts* texts = nullptr;
};

// Encodes job into file. row and textRecords belong to the caller.
bool Encode(PngContext& context, std::FILE* file, const EncodeJob& job, std::vector<uint8_t>* row,
            std::vector<png_text>* textRecords) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &context, OnError, OnWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(context.jump)) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(job.width), png_uint_32(job.height), job.bitDepth,
                 job.colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!textRecords->empty())
        png_set_text(png, info, textRecords->data(), int(textRecords->size()));
    png_write_info(png, info);
    const size_t channels = job.colourType == PNG_COLOR_TYPE_RGB ? 3 : 1;
    const size_t bytesPerRow = size_t(job.width) * channels * size_t(job.bitDepth / 8);
    row->resize(bytesPerRow);
    for (int y = 0; y < job.height; ++y) {
        const size_t first = size_t(y) * size_t(job.width);
        if (job.rgb) {
            std::memcpy(row->data(), job.rgb + first * 3, bytesPerRow);
        } else {
            for (int x = 0; x < job.width; ++x) {
                const uint16_t sample = job.grey[first + size_t(x)];
                if (job.bitDepth == 16) {
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

bool EncodeToFile(void* file, const void* job) {
    PngContext context;
    std::vector<uint8_t> row;
    std::vector<png_text> textRecords;
    const EncodeJob& encodeJob = *static_cast<const EncodeJob*>(job);
    if (encodeJob.texts) {
        for (const auto& text : *encodeJob.texts) {
            png_text record = {};
            record.compression = PNG_TEXT_COMPRESSION_NONE;
            record.key = const_cast<char*>(text.first.c_str());
            record.text = const_cast<char*>(text.second.c_str());
            record.text_length = text.second.size();
            textRecords.push_back(record);
        }
    }
    return Encode(context, static_cast<std::FILE*>(file), encodeJob, &row, &textRecords);
}

}  // namespace

bool ReadGreyPng(const std::string& path, GreyPicture* picture, std::string* error) {
    FileBytes bytes;
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
    if (!DecodeGrey(context, picture, &raw, &rows)) {
        *error = path + ": " + Reason(context);
        return false;
    }
    return true;
}

bool WriteGreyPngTemporary(const std::string& path, const GreyPicture& picture,
                           const PngTexts& texts, std::string* temp, std::string* error) {
    EncodeJob job;
    job.width = picture.width;
    job.height = picture.height;
    job.bitDepth = picture.bitDepth;
    job.grey = picture.samples.data();
    job.texts = &texts;
    return WriteTemporaryFile(path, EncodeToFile, &job, temp, error);
}

bool WriteGreyPng(const std::string& path, const GreyPicture& picture, const PngTexts& texts,
                  std::string* error) {
    std::string temp;
    return WriteGreyPngTemporary(path, picture, texts, &temp, error) &&
           ReplaceWithTemporary(temp, path, error);
}

bool WriteRgbPng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
                 std::string* error) {
    EncodeJob job;
    job.width = width;
    job.height = height;
    job.colourType = PNG_COLOR_TYPE_RGB;
    job.rgb = rgb.data();
    return WriteFileSafely(path, EncodeToFile, &job, error);
}

bool WriteTemporaryFile(const std::string& path, bool (*write)(void* file, const void* context),
                        const void* context, std::string* temp, std::string* error) {
    if (!CanCreateFile(path, error)) return false;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        *temp = path + ".tmp" + std::to_string(attempt);
        file = std::fopen(temp->c_str(), "wbx");  // only a file that did not exist
        if (!file && errno != EEXIST) break;
    }
    if (!file) {
        *error = path + ": cannot write a temporary file beside it: " + std::strerror(errno);
        return false;
    }
    const bool written = write(file, context);
    const bool flushed = std::fflush(file) == 0 && !std::ferror(file);
    const int savedErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !flushed || !closed) {
        std::remove(temp->c_str());
        *error = path + ": writing failed" +
                 (savedErrno ? std::string(": ") + std::strerror(savedErrno) : std::string());
        return false;
    }
    return true;
}

bool ReplaceWithTemporary(const std::string& temp, const std::string& path, std::string* error) {
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        *error = path + ": cannot replace the file: " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

bool WriteFileSafely(const std::string& path, bool (*write)(void* file, const void* context),
                     const void* context, std::string* error) {
    std::string temp;
    return WriteTemporaryFile(path, write, context, &temp, error) &&
           ReplaceWithTemporary(temp, path, error);
}

bool CanCreateFile(const std::string& path, std::string* error) {
    namespace fs = std::filesystem;
    std::error_code code;
    if (path.empty()) {
        *error = "an empty output file name";
        return false;
    }
    if (fs::is_directory(fs::path(path), code)) {
        *error = path + ": is a folder";
        return false;
    }
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty()) folder = ".";
    if (!fs::is_directory(folder, code)) {
        *error = path + ": the folder " + folder.string() + " does not exist";
        return false;
    }
    if (::access(folder.c_str(), W_OK) != 0) {
        *error = path + ": cannot write in " + folder.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
