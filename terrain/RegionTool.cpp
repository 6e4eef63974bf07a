// The region tools' frame (see RegionTool.h). Keys are read as the other
// shortcuts read them: Windows virtual-key codes, each acting once per
// press. The copy file is read with a bound of the largest copy's length
// before anything is allocated for it.
#include "terrain/RegionTool.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/Platform.h"
#include "platform/PlatformFiles.h"
#include "terrain/BrushFootprint.h"
#include "terrain/EditHistory.h"
#include "terrain/FrameState.h"
#include "terrain/TerrainModel.h"
#include "terrain/ToolModes.h"
#include "terrain/TriangleSelection.h"

RegionTool gRegionTool;

namespace {

constexpr unsigned kKeySelect = 'B';
constexpr unsigned kKeyCopy = 'C';
constexpr unsigned kKeyPaste = 'V';
constexpr unsigned kKeyTurn = 'T';
constexpr unsigned kKeyFlip = 'F';
constexpr const char* kCopyFileName = "ablage.ground";
constexpr uint64_t kMaxCopyFileBytes = 16 + 5 * uint64_t(kMaxCopySide) * kMaxCopySide;

bool WriteBytes(std::FILE* file, const void* user) {
    const auto& bytes = *static_cast<const std::vector<uint8_t>*>(user);
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

void WriteCopyFile(const std::string& path, const GroundCopy& copy) {
    if (path.empty()) return;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::u8path(path).parent_path(), ignored);
    const std::vector<uint8_t> bytes = EncodeCopy(copy);
    // A copy that cannot be kept still pastes in this editor.
    plat::ReplaceFileContent(path.c_str(), WriteBytes, &bytes, true);
}

// The copy in the file, when the file holds one.
bool ReadCopyFile(const std::string& path, GroundCopy* copy) {
    if (path.empty()) return false;
    plat::FilePtr file(plat::OpenRegularFile(path.c_str(), "rb", nullptr));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return false;
    const long length = std::ftell(file.get());
    if (length < 0 || uint64_t(length) > kMaxCopyFileBytes || std::fseek(file.get(), 0, SEEK_SET))
        return false;
    std::vector<uint8_t> bytes(size_t(length) + 1);  // one more: a file that grew is refused
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    std::string reason;
    return got == size_t(length) && DecodeCopy(bytes.data(), got, copy, &reason);
}

void Select(RegionTool& r, const FrameState& f) {
    if (!f.input.left) r.dragging = false;
    if (f.picked == kNoCell || !f.overView) return;
    const int x = CellIdX(f.picked), y = CellIdY(f.picked);
    if (f.leftPressed) {
        r.dragging = r.selected = true;
        r.anchorX = x;
        r.anchorY = y;
    }
    if (!r.dragging) return;
    r.x0 = std::min(r.anchorX, x), r.x1 = std::max(r.anchorX, x);
    r.y0 = std::min(r.anchorY, y), r.y1 = std::max(r.anchorY, y);
}

// One click's placements, all of them one step of the history.
void Place(RegionTool& r, TerrainModel& t, EditHistory& history, const FrameState& f,
           bool stamp) {
    int ox = 0, oy = 0;
    PasteOrigin(r.copy, f.picked, &ox, &oy);
    const std::vector<PlacementSpot> spots =
        MirroredSpots(t, r.copy, ox, oy, f.settings.symmetry);
    for (const PlacementSpot& p : spots) {
        const VertexBox box = PlacementReach(t, r.copy, p.originX, p.originY);
        if (box.x0 <= box.x1 && box.y0 <= box.y1) history.Touch(t, box.x0, box.x1, box.y0, box.y1);
    }
    for (const PlacementSpot& p : spots)
        PlaceCopy(t, CopyAt(r.copy, p), p.originX, p.originY, stamp);
    history.EndStroke(t);
}

void Paste(RegionTool& r, TerrainModel& t, EditHistory& history, const FrameState& f,
           int32_t& mode) {
    const bool* keys = f.input.keys;
    const bool ctrl = keys && keys[plat::VK_CONTROL], shift = keys && keys[plat::VK_SHIFT];
    if (keys && r.keyT.Pressed(keys[kKeyTurn]) && !ctrl) r.copy = Turned(r.copy);
    if (keys && r.keyF.Pressed(keys[kKeyFlip]) && !ctrl)
        r.copy = shift ? FlippedTopBottom(r.copy) : FlippedLeftRight(r.copy);
    if (r.right.Pressed(f.input.right)) {
        mode = kModeNone;
        return;
    }
    if (f.leftPressed && f.picked != kNoCell && f.overView && !r.copy.Empty())
        Place(r, t, history, f, shift);
}

}  // namespace

std::string CopyFileIn(const char* stateFolder) {
    return stateFolder == nullptr ? std::string() : std::string(stateFolder) + kCopyFileName;
}

void PasteOrigin(const GroundCopy& copy, int picked, int* originX, int* originY) {
    *originX = CellIdX(picked) - (copy.width - 1) / 2;
    *originY = CellIdY(picked) - (copy.height - 1) / 2;
}

void StartPasting(RegionTool& r, GroundCopy copy, int32_t& mode) {
    if (copy.Empty()) return;
    r.copy = std::move(copy);
    mode = kModePaste;
    r.modeBefore = mode;
}

void RegionFrame(RegionTool& r, TerrainModel& t, EditHistory& history, const FrameState& f,
                 int32_t& mode) {
    const bool* keys = f.input.keys;
    const bool ctrl = keys && keys[plat::VK_CONTROL], shift = keys && keys[plat::VK_SHIFT];
    const bool b = keys && r.keyB.Pressed(keys[kKeySelect]);
    const bool c = keys && r.keyC.Pressed(keys[kKeyCopy]);
    const bool v = keys && r.keyV.Pressed(keys[kKeyPaste]);
    // A map loaded since may be smaller than the selection.
    if (r.selected && (r.x1 >= t.width || r.y1 >= t.height)) r.selected = r.dragging = false;
    // The mode keys have already chosen Select for B; B again ends it.
    if (b && !ctrl && r.modeBefore == kModeSelect) mode = kModeNone;
    if (c && ctrl && r.selected) {
        r.copy = CopyVertices(t, r.x0, r.y0, r.x1 + 1, r.y1 + 1);
        WriteCopyFile(r.copyFile, r.copy);
    }
    if (v && ctrl && shift) r.stampRequested = true;
    if (v && ctrl && !shift) {
        GroundCopy kept;
        StartPasting(r, ReadCopyFile(r.copyFile, &kept) ? std::move(kept) : r.copy, mode);
    }
    if (mode == kModeSelect) Select(r, f);
    if (mode == kModePaste && r.modeBefore == kModePaste) Paste(r, t, history, f, mode);
    if (mode != kModePaste) r.right.Pressed(f.input.right);
    r.modeBefore = mode;
}

void DrawRegionOutlines(const TerrainModel& t, const RegionTool& r, const FrameState& f,
                        float viewOffsetX, float viewOffsetY) {
    if (t.columns == nullptr) return;
    if (r.selected)
        DrawGroundOutline(t, r.x0, r.y0, r.x1 + 1, r.y1 + 1, viewOffsetX, viewOffsetY);
    if (f.settings.mode != kModePaste || r.copy.Empty() || f.picked == kNoCell || !f.overView)
        return;
    int ox = 0, oy = 0;
    PasteOrigin(r.copy, f.picked, &ox, &oy);
    for (const PlacementSpot& p : MirroredSpots(t, r.copy, ox, oy, f.settings.symmetry))
        DrawGroundOutline(t, p.originX, p.originY, p.originX + r.copy.width - 1,
                          p.originY + r.copy.height - 1, viewOffsetX, viewOffsetY);
}
