// The output files of a command, written through the platform's one file
// replacement (plat::ReplaceFileContent and its prepare / commit pair): each
// file appears complete or not at all, keeps its links, mode and owner, and
// reaches the disk before the command ends.
//
// Conventions: a content writer that fails without a system error leaves
// its own reason in *failure; error lines name the file and the system's
// reason (strerror of errno) or, failing that, the writer's own.
#pragma once

#include <string>
#include <vector>

#include "platform/PlatformFiles.h"

struct OutputFile {
    std::string path;
    plat::ContentWriter write = nullptr;
    const void* content = nullptr;
    const std::string* failure = nullptr;  // may be null
};

// Writes every file of outputs completely before the first one replaces
// anything, then puts them in place one after the other, so that a failure
// while writing leaves no output of this run behind. Each commit is one
// rename of a complete, synced file.
bool WriteOutputs(const std::vector<OutputFile>& outputs, std::string* error);

// The error line of a failed write of path, read from errno (the system's
// reason) right after the failure, else own.
std::string WriteFailure(const std::string& path, const std::string& own);

// True when a file can be created at path (its folder exists and may be
// written, and path names no folder, FIFO or device); otherwise false with
// the reason. Lets a command refuse an unwritable target before the long
// work.
bool CanCreateFile(const std::string& path, std::string* error);
