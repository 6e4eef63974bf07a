// File-system calls that differ between POSIX and Windows: opening a file
// for reading only when it is a regular file, and replacing a file's whole
// content in one step.
//
// Conventions: paths are UTF-8, zero-terminated (the Windows implementation
// turns them into UTF-16 and uses the wide-character API, so any name the
// system accepts works). Streams handed out are std::FILE* opened in binary
// mode; the caller closes a stream from OpenRegularFile with std::fclose.
// This part is built as its own small library (platform_files), linked into
// every program that links the portable code, whatever window backend it has.
//
// Replacing a file keeps what the user had:
// - a symbolic link is followed (as far as links chain) and the file it
//   points to is replaced; the link itself stays a link;
// - the new content appears at the path in one step (a temporary file in the
//   target's own folder, with a short name that cannot collide, is written,
//   flushed to the disk and then renamed over the target), so the path holds
//   either the old or the new content, never a part of it;
// - an existing file's permission bits are kept, and its owner and group as
//   far as the process may set them (on Windows: its attributes and security
//   by the system's file replacement);
// - an existing file that is not a regular file (a folder, FIFO, device),
//   that has no write permission bit at all, or that the user may not write,
//   is not replaced: the replacement fails and the file stays as it was;
// - a file with more than one hard link is replaced like any other: the
//   chosen name gets the new content and the other names keep the old one.
//   Writing in place would keep the links together but could leave a
//   half-written file behind on a failed write, which is worse than a
//   second name keeping the previous version;
// - the temporary is locked by its writer for as long as it exists (an
//   advisory flock on POSIX, an exclusive open on Windows). A writer that
//   is killed leaves its temporary behind, of the full size of the file it
//   was writing; every replacement first removes the temporaries in the
//   target's folder that nobody holds, and never one that another running
//   program is writing (on Windows, where a writer has to let go of its
//   temporary just before the system's replacement takes it, only one that
//   is a minute old);
// - a call the system interrupts (EINTR) is made again, so a signal or a
//   network file system never fails a write that would have succeeded.
//
// A failure leaves errno telling why: the failing system call's own code,
// or 0 when the writer returned false for a reason of its own.
#pragma once

#include <cstdio>
#include <memory>

namespace plat {

// A stream that closes itself: the owner of what OpenRegularFile returns.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens path for reading ("r" or "rb") when it names a regular file (a
// symbolic link to one counts). Folders, FIFOs, devices and sockets are
// refused without blocking and without reading from them. Null on refusal
// or when the file does not open; *notRegular (when given) tells whether
// something that is not a regular file was found there.
std::FILE* OpenRegularFile(const char* path, const char* mode, bool* notRegular);

// Writes the new content of a file into the stream it is given; false when a
// write failed.
using ContentWriter = bool (*)(std::FILE* file, const void* user);

// Replaces the content of path with what write puts into its stream, under
// the rules above. With syncToDisk the data and the rename reach the disk
// before the call returns (fsync of the file and of its folder; write-through
// on Windows). Returns false and leaves path as it was when anything fails;
// no temporary file is left behind then.
bool ReplaceFileContent(const char* path, ContentWriter write, const void* user,
                        bool syncToDisk);

// The same replacement in two steps, for outputs that must appear together
// (all of them or none): PrepareFileContent does all the writing into a
// locked temporary beside path, so a program writes every output before it
// commits the first; CommitFileContent then puts one in place in one step.
// A prepared file ends with exactly one commit or discard.
struct PreparedFile;

// Null on failure (errno set; path as it was, no temporary left).
PreparedFile* PrepareFileContent(const char* path, ContentWriter write, const void* user,
                                 bool syncToDisk);

// Moves the prepared content over its target and ends prepared. False when
// that fails: the target stays as it was and the temporary is removed.
bool CommitFileContent(PreparedFile* prepared);

// Removes the temporary and ends prepared; the target stays as it was.
void DiscardFileContent(PreparedFile* prepared);

}  // namespace plat
