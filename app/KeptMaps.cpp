// The old map is found through its real path (symbolic links followed), so
// the kept name holds the file's content and not a second link to a link.
// The keep comes before the save: ReplaceFileContent puts a new file in
// place, so the kept hard link goes on naming the old content.
#include "app/KeptMaps.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>

#include "app/MapFile.h"
#include "platform/PlatformFiles.h"
#include "platform/PlatformStore.h"

namespace {

const char* const kReplacedPrefix = "Ersetzt ";
const char* const kMapSuffix = ".map";
const size_t kStampLength = 16;  // "YYYY-MM-DD HH-MM"

bool Taken(const std::string& path) {
    plat::FileIdentity identity;
    return plat::GetFileIdentity(path, &identity) || plat::IsFolder(path);
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Copies the open source into the new file, a chunk at a time.
bool CopyFrom(std::FILE* out, const void* user) {
    std::FILE* in = static_cast<std::FILE*>(const_cast<void*>(user));
    std::vector<char> chunk(size_t(1) << 16);
    for (;;) {
        const size_t got = std::fread(chunk.data(), 1, chunk.size(), in);
        if (got > 0 && std::fwrite(chunk.data(), 1, got, out) != got) return false;
        if (got < chunk.size()) return std::ferror(in) == 0;
    }
}

// The kept name of the map at path, or empty when there is none to keep.
std::string KeepReplaced(const std::string& stateFolder, const std::string& path) {
    std::error_code error;
    const std::filesystem::path real =
        std::filesystem::canonical(std::filesystem::u8path(path), error);
    plat::FileIdentity identity;
    if (error || stateFolder.empty() || !plat::GetFileIdentity(real.u8string(), &identity) ||
        !plat::MakeFolders(stateFolder))
        return std::string();
    std::string stem = real.stem().u8string();
    const std::string kept =
        NewDatedMapPath(stateFolder, kReplacedPrefix, " " + stem, int64_t(std::time(nullptr)));
    if (plat::LinkFile(real.u8string(), kept)) return kept;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(
        plat::OpenRegularFile(real.u8string().c_str(), "rb", nullptr), &std::fclose);
    if (in && plat::ReplaceFileContent(kept.c_str(), &CopyFrom, in.get(), true)) return kept;
    return std::string();
}

}  // namespace

std::string NewDatedMapPath(const std::string& folder, const std::string& prefix,
                            const std::string& tail, int64_t secondsSince1970) {
    const std::time_t when = std::time_t(secondsSince1970);
    char stamp[32] = "";
    if (const std::tm* local = std::localtime(&when))
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H-%M", local);
    const std::string stem = folder + prefix + stamp + tail;
    std::string path = stem + kMapSuffix;
    for (int n = 2; Taken(path); ++n) path = stem + " (" + std::to_string(n) + ")" + kMapSuffix;
    return path;
}

void PruneDatedMaps(const std::string& folder, const std::string& prefix,
                    const std::vector<std::string>& spared) {
    // Newest by the time in the name, then by the time last written: a
    // kept hard link still carries the old content's own time.
    struct Kept {
        std::string stamp;
        int64_t modified;
        std::string path;
    };
    std::vector<Kept> maps;
    for (const std::string& name : plat::ListFolder(folder)) {
        plat::FileIdentity identity;
        if (name.compare(0, prefix.size(), prefix) == 0 && EndsWith(name, kMapSuffix) &&
            plat::GetFileIdentity(folder + name, &identity))
            maps.push_back(
                {name.substr(prefix.size(), kStampLength), identity.modified, folder + name});
    }
    std::sort(maps.begin(), maps.end(), [](const Kept& a, const Kept& b) {
        return a.stamp != b.stamp ? a.stamp > b.stamp : a.modified > b.modified;
    });
    for (size_t i = kKeptMaps; i < maps.size(); ++i)
        if (std::find(spared.begin(), spared.end(), maps[i].path) == spared.end())
            plat::RemoveFile(maps[i].path);
}

bool SaveKeepingReplaced(const char* stateFolderOrNull, const char* path,
                         const TerrainModel& terrain) {
    const std::string stateFolder = stateFolderOrNull != nullptr ? stateFolderOrNull : "";
    const std::string kept = KeepReplaced(stateFolder, path);
    if (!WriteMapFile(path, terrain)) {
        if (!kept.empty()) plat::RemoveFile(kept);
        return false;
    }
    if (!kept.empty()) PruneDatedMaps(stateFolder, kReplacedPrefix, {kept});
    return true;
}
