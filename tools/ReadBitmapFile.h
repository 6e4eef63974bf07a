// Reading a bitmap for the command-line converters: the whole file through
// the bounded reader, then the editor's own decoder. On failure the
// decoder's message goes to standard error and the result is null.
#pragma once

#include <cstdio>
#include <string>

#include "gl/DibImage.h"
#include "gl/FileBytes.h"

inline RgbImage* ReadBitmapFileOrReport(const char* path) {
    FileBytes file;
    const FileReadStatus status = ReadFileBytes(path, size_t(kDibMaxFileBytes), &file);
    if (status != FileReadStatus::Ok || file.size == 0) {
        const bool tooBig =
            status == FileReadStatus::TooLarge || status == FileReadStatus::OutOfMemory;
        std::fputs(tooBig ? (std::string(kDibOutOfMemory) + "\n").c_str()
                          : DibOpenFailedMessage(path).c_str(),
                   stderr);
        return nullptr;
    }
    std::string error;
    RgbImage* image = DecodeDib(file.data.get(), file.size, &error);
    if (!image) std::fprintf(stderr, "%s: %s\n", path, error.c_str());
    return image;
}
