// Output files through the platform layer (see OutputFiles.h).
#include "tools/mapconvert/OutputFiles.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

bool WriteOutputs(const std::vector<OutputFile>& outputs, std::string* error) {
    std::vector<plat::PreparedFile*> prepared;
    for (const OutputFile& output : outputs) {
        plat::PreparedFile* file =
            plat::PrepareFileContent(output.path.c_str(), output.write, output.content, true);
        if (file == nullptr) {
            *error = WriteFailure(output.path, output.failure ? *output.failure : std::string());
            for (plat::PreparedFile* other : prepared) plat::DiscardFileContent(other);
            return false;
        }
        prepared.push_back(file);
    }
    for (size_t i = 0; i < prepared.size(); ++i) {
        if (!plat::CommitFileContent(prepared[i])) {
            *error = WriteFailure(outputs[i].path, std::string());
            for (size_t j = i + 1; j < prepared.size(); ++j) plat::DiscardFileContent(prepared[j]);
            return false;
        }
    }
    return true;
}

std::string WriteFailure(const std::string& path, const std::string& own) {
    const int code = errno;
    if (code != 0) return path + ": cannot write the file: " + std::strerror(code);
    if (!own.empty()) return path + ": " + own;
    return path + ": cannot write the file";
}

bool CanCreateFile(const std::string& path, std::string* error) {
    namespace fs = std::filesystem;
    std::error_code code;
    if (path.empty()) {
        *error = "an empty output file name";
        return false;
    }
    const fs::file_status status = fs::status(fs::path(path), code);
    if (fs::is_directory(status)) {
        *error = path + ": is a folder";
        return false;
    }
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        *error = path + ": is not a regular file (a FIFO, device or socket)";
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
