// A scratch folder for the files a fuzz run writes and reads back.
//
// Conventions: one folder per process, made on first use under /dev/shm
// when it is writable (the runs then neither wear the disk nor wait for the
// syncs that saves make), else under $TMPDIR or /tmp. The path it returns
// ends in '/'. The files named at the first call, and the folder itself, are
// removed when the process ends.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstddef>
#include <string>
#include <vector>

namespace fuzzscratch {

inline std::string& Folder() {
    static std::string folder;
    return folder;
}

inline std::vector<std::string>& Files() {
    static std::vector<std::string> files;
    return files;
}

template <size_t N>
const std::string& ScratchFolder(const char* prefix, const char* const (&files)[N]) {
    std::string& folder = Folder();
    if (folder.empty()) {
        const char* base = "/dev/shm";
        if (access(base, W_OK) != 0) {
            const char* tmp = std::getenv("TMPDIR");
            base = tmp && *tmp ? tmp : "/tmp";
        }
        std::string pattern = std::string(base) + "/" + prefix + "-XXXXXX";
        if (!mkdtemp(&pattern[0])) std::abort();
        folder = pattern + "/";
        for (const char* name : files) Files().push_back(name);
        std::atexit([] {
            for (const std::string& name : Files()) std::remove((Folder() + name).c_str());
            rmdir(Folder().c_str());
        });
    }
    return folder;
}

}  // namespace fuzzscratch
