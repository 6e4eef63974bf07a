// The stamp step (see StampFile.h). The file is read into a model of its
// own, with the editor's map reader or mapconvert import's PNG reader, so
// the map on screen is untouched until the copy is placed. A heightmap
// holds no ground: its copy is earth.
#include "app/StampFile.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>

#include "app/MapFile.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/Platform.h"
#include "terrain/RegionTool.h"
#include "terrain/TerrainModel.h"
#ifdef TERRAIN_PNG_STAMPS
#include "terrain/Heightmap.h"
#endif

namespace {

const char* const kStampTitle = "Stempel laden";
#ifdef TERRAIN_PNG_STAMPS
const char* const kStampFilter = "Karte oder Höhenbild (*.map, *.png)|*.map;*.png";
#else
const char* const kStampFilter = "Karte (*.map)|*.map";
#endif
const char* const kNoStamp = "Der Stempel kann nicht geladen werden.";

bool IsPng(const std::string& path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    for (char& c : end) c = char(std::tolower(static_cast<unsigned char>(c)));
    return end == ".png";
}

// The stamp's grid from the file, or false with the reason.
bool ReadStamp(const std::string& path, TerrainModel& stamp, std::string* reason) {
#ifdef TERRAIN_PNG_STAMPS
    if (IsPng(path)) {
        GreyPicture heights;
        bool inColour = false;
        return ReadPngAsGrey(path, &heights, &inColour, reason) &&
               FillTerrain(heights, nullptr, stamp, reason);
    }
#else
    (void)IsPng;
#endif
    errno = 0;
    if (ReadMapFile(path.c_str(), stamp)) return true;
    *reason = path + ": " + (errno ? std::strerror(errno) : "keine Karte");
    return false;
}

}  // namespace

void ServeStampRequest(RegionTool& regions, int32_t& mode) {
    if (!regions.stampRequested) return;
    regions.stampRequested = false;
    if (gWindow == nullptr) return;
    char* path = gWindow->OpenFileDialog(kStampTitle, "map", kStampFilter);
    if (path == nullptr) return;
    const std::string chosen = path;
    plat::FreeString(path);
    TerrainModel stamp(nullptr, 0, 0);
    std::string reason;
    if (!ReadStamp(chosen, stamp, &reason)) {
        const std::string text = std::string(kNoStamp) + "\n" + reason;
        plat::MessageBox(nullptr, text.c_str(), "Fehler", 0x30);
        return;
    }
    StartPasting(regions, CopyVertices(stamp, 0, 0, stamp.width, stamp.height), mode);
}
