// The remembered folder is read back only when it names a folder that is
// there; a file longer than any path is not a remembered folder.
#include "gl/DialogFolder.h"

#include <cstdio>
#include <filesystem>

#include "gl/DataFiles.h"
#include "platform/Platform.h"
#include "platform/PlatformStore.h"

namespace fs = std::filesystem;

namespace {

// Longer than the longest path either system accepts.
constexpr size_t kMaxFolderBytes = 65536;

std::string RememberedFolder(const char* stateFolder) {
    if (stateFolder == nullptr) return std::string();
    const std::string file = std::string(stateFolder) + kDialogFolderFile;
    std::FILE* in = plat::OpenRegularFile(file.c_str(), "rb", nullptr);
    if (in == nullptr) return std::string();
    std::string folder(kMaxFolderBytes + 1, '\0');
    folder.resize(std::fread(&folder[0], 1, folder.size(), in));
    std::fclose(in);
    if (folder.empty() || folder.size() > kMaxFolderBytes || !plat::IsFolder(folder))
        return std::string();
    return folder;
}

bool WriteText(std::FILE* file, const void* user) {
    const std::string& text = *static_cast<const std::string*>(user);
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

}  // namespace

std::string DialogStartPath(const char* stateFolder) {
    const std::string remembered = RememberedFolder(stateFolder);
    if (!remembered.empty()) return remembered;
    const std::string program = plat::ProgramPath();
    const std::string programFolder = fs::u8path(program).parent_path().u8string();
    if (!programFolder.empty() && HoldsTexturePack(programFolder)) return program;
    const std::string user = plat::UserFolder();
    return !user.empty() ? user : program;
}

bool RememberMapFolder(const char* stateFolder, const std::string& mapPath) {
    if (stateFolder == nullptr) return false;
    const std::string folder = fs::u8path(mapPath).parent_path().u8string();
    if (folder.empty() || folder == RememberedFolder(stateFolder)) return !folder.empty();
    if (!plat::MakeFolders(stateFolder)) return false;
    const std::string file = std::string(stateFolder) + kDialogFolderFile;
    return plat::ReplaceFileContent(file.c_str(), &WriteText, &folder, false);
}
