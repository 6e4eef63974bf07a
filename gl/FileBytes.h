// Whole-file reading into one bounded heap buffer, for the image decoders.
//
// Conventions: the file is read in binary mode in one piece; a file larger
// than the caller's limit is refused before anything is allocated, so a
// hostile or mistaken path can never make the program reserve more memory
// than the limit. The buffer belongs to the FileBytes value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct FileBytes {
    std::unique_ptr<uint8_t[]> data;
    size_t size = 0;
};

enum class FileReadStatus {
    Ok,
    OpenFailed,   // missing, unreadable, not a regular file, or a read error
    TooLarge,     // longer than the limit
    OutOfMemory,  // the buffer could not be allocated
};

// Reads the whole of path into out (replacing what was there). An empty file
// reads as Ok with size 0.
FileReadStatus ReadFileBytes(const char* path, size_t maxBytes, FileBytes* out);
