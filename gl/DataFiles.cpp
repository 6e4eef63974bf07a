// The pack's folder is decided by looking for the mark with the file
// system's own check; a failing check counts as "no pack there".
#include "gl/DataFiles.h"

#include <filesystem>
#include <system_error>

#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

// The module's memory: the folder a program named, empty for none.
struct DataFolderChoice {
    std::string given;
};
DataFolderChoice sDataFolder;

std::string Joined(const std::string& folder, const std::string& relative) {
    return (fs::u8path(folder) / fs::u8path(relative)).u8string();
}

}  // namespace

bool HoldsTexturePack(const std::string& folder) {
    std::error_code code;
    const std::string mark = folder.empty() ? kPackMark : Joined(folder, kPackMark);
    return fs::is_regular_file(fs::u8path(mark), code);
}

std::string DataFilePath(const std::string& relative) {
    const fs::path asGiven = fs::u8path(relative);
    if (asGiven.has_root_directory() || asGiven.has_root_name()) return relative;
    if (!sDataFolder.given.empty()) return Joined(sDataFolder.given, relative);
    if (HoldsTexturePack(std::string())) return relative;
    const std::string installed = plat::DataFolder();
    if (!installed.empty() && HoldsTexturePack(installed)) return Joined(installed, relative);
    return relative;
}

void UseDataFolder(const std::string& folder) { sDataFolder.given = folder; }
