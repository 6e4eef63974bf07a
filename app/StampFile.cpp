// The stamp step (see StampFile.h). The map is read with the editor's own
// reader into a model of its own, so the map on screen is untouched until
// the copy is placed.
#include "app/StampFile.h"

#include <string>

#include "app/MapFile.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/Platform.h"
#include "terrain/RegionTool.h"
#include "terrain/TerrainModel.h"

namespace {

const char* const kStampTitle = "Stempel laden";
const char* const kStampFilter = "Karte (*.map)|*.map";
const char* const kNoStamp = "Der Stempel kann nicht geladen werden.";

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
    if (!ReadMapFile(chosen.c_str(), stamp)) {
        const std::string text = std::string(kNoStamp) + "\n" + chosen;
        plat::MessageBox(nullptr, text.c_str(), "Fehler", 0x30);
        return;
    }
    StartPasting(regions, CopyVertices(stamp, 0, 0, stamp.width, stamp.height), mode);
}
