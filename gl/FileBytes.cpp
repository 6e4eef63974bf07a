// Whole-file reading into one bounded heap buffer (see FileBytes.h).
//
// The size comes from seeking to the end; the read must then deliver exactly
// that many bytes and nothing more, so a file that changes while it is read
// is reported as unreadable rather than half-read. Only regular files are
// opened: a folder, FIFO or device counts as a file that does not open, and
// is never read (a FIFO would block the editor, a folder has no content).
#include "gl/FileBytes.h"

#include <cstdio>
#include <new>

#include "platform/Platform.h"

FileReadStatus ReadFileBytes(const char* path, size_t maxBytes, FileBytes* out) {
    out->data.reset();
    out->size = 0;
    if (!path) return FileReadStatus::OpenFailed;
    plat::FilePtr file(plat::OpenRegularFile(path, "rb", nullptr));
    if (!file) return FileReadStatus::OpenFailed;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return FileReadStatus::OpenFailed;
    long end = std::ftell(file.get());
    if (end < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return FileReadStatus::OpenFailed;
    if (static_cast<unsigned long>(end) > maxBytes) return FileReadStatus::TooLarge;
    size_t size = static_cast<size_t>(end);

    // One spare byte so an empty file still gets a valid (unused) block.
    std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[size + 1]);
    if (!data) return FileReadStatus::OutOfMemory;
    if (size > 0 && std::fread(data.get(), 1, size, file.get()) != size)
        return FileReadStatus::OpenFailed;
    // The file must end where its size said it would.
    if (std::fgetc(file.get()) != EOF || std::ferror(file.get()))
        return FileReadStatus::OpenFailed;
    out->data = std::move(data);
    out->size = size;
    return FileReadStatus::Ok;
}
