// Undo and redo of strokes, and the editor's Ctrl shortcuts.
//
// Conventions: see EditHistory.h. Records are copied with memcpy, so padding
// bytes come and go with the rest and a restored vertex is the same 68 bytes
// it was. The before copy is taken once per vertex and stroke (the bitmap
// makes every later touch a one-byte test), so recording costs a few hundred
// byte tests per frame and one copy per newly reached vertex.
#include "terrain/EditHistory.h"

#include <algorithm>
#include <cstring>

#include "gl/PressEdge.h"
#include "platform/Platform.h"
#include "terrain/FrameState.h"
#include "terrain/TerrainTools.h"
#include "terrain/ToolModes.h"

EditHistory gEditHistory;

EditHistory::EditHistory(size_t maxStrokes, size_t maxBytes)
    : maxStrokes_(maxStrokes), maxBytes_(maxBytes) {}

bool EditHistory::SameGrid(const TerrainModel& terrain) const {
    return terrain.columns != nullptr && terrain.width == gridWidth_ &&
           terrain.height == gridHeight_;
}

void EditHistory::DropOpen() {
    for (uint32_t i : current_.index) touched_[i] = 0;
    current_ = Stroke();
    open_ = false;
}

void EditHistory::Clear() {
    if (open_) DropOpen();
    strokes_.clear();
    done_ = 0;
    bytes_ = 0;
    gridWidth_ = gridHeight_ = -1;
    savedAt_ = 0;
    savedReachable_ = true;
}

void EditHistory::MarkSaved() {
    savedAt_ = done_;
    savedReachable_ = !open_;
}

void EditHistory::SetChangeSink(ChangeSink sink, void* user) {
    sink_ = sink;
    sinkUser_ = user;
}

void EditHistory::Tell(const TerrainModel& terrain, const Stroke& stroke, bool after) const {
    if (sink_ == nullptr) return;
    const GridChange change{stroke.index.data(), (after ? stroke.after : stroke.before).data(),
                            stroke.index.size(), terrain.width, terrain.height};
    sink_(sinkUser_, change);
}

void EditHistory::Touch(const TerrainModel& terrain, int64_t x0, int64_t x1, int64_t y0,
                        int64_t y1) {
    if (terrain.columns == nullptr || terrain.width < 0 || terrain.height < 0) return;
    // Steps recorded on another grid cannot be applied to this one.
    if (!SameGrid(terrain)) Clear();
    gridWidth_ = terrain.width;
    gridHeight_ = terrain.height;
    const size_t rows = size_t(terrain.height) + 1;
    const size_t vertices = (size_t(terrain.width) + 1) * rows;
    if (!open_) {
        if (touched_.size() != vertices) touched_.assign(vertices, 0);
        open_ = true;
    }
    x0 = std::max<int64_t>(x0, 0);
    y0 = std::max<int64_t>(y0, 0);
    x1 = std::min<int64_t>(x1, terrain.width);
    y1 = std::min<int64_t>(y1, terrain.height);
    for (int64_t x = x0; x <= x1; ++x) {
        const TerrainVertex* column = terrain.columns[x];
        for (int64_t y = y0; y <= y1; ++y) {
            const size_t i = size_t(x) * rows + size_t(y);
            if (touched_[i]) continue;
            touched_[i] = 1;
            current_.index.push_back(uint32_t(i));
            current_.before.push_back(column[y]);
        }
    }
}

void EditHistory::EndStroke(const TerrainModel& terrain) {
    if (!open_) return;
    if (!SameGrid(terrain)) {  // the grid was replaced under the stroke
        Clear();
        return;
    }
    Stroke& s = current_;
    const size_t rows = size_t(terrain.height) + 1;
    // Keep only the vertices whose bytes changed, with their after records.
    size_t kept = 0;
    for (size_t k = 0; k < s.index.size(); ++k) {
        const uint32_t i = s.index[k];
        touched_[i] = 0;
        const TerrainVertex& now = terrain.columns[i / rows][i % rows];
        if (std::memcmp(&now, &s.before[k], sizeof(TerrainVertex)) == 0) continue;
        s.index[kept] = i;
        std::memcpy(&s.before[kept], &s.before[k], sizeof(TerrainVertex));
        s.after.push_back(now);
        ++kept;
    }
    open_ = false;
    if (kept == 0) {  // nothing changed: no stroke, and the redo steps stay
        current_ = Stroke();
        return;
    }
    s.index.resize(kept);
    s.before.resize(kept);
    s.index.shrink_to_fit();
    s.before.shrink_to_fit();
    s.after.shrink_to_fit();
    s.bytes = sizeof(Stroke) + kept * (sizeof(uint32_t) + 2 * sizeof(TerrainVertex));

    // A new stroke after an undo drops what could be redone, and with it
    // the way back to a saved map that lay among those steps.
    if (savedAt_ > done_) savedReachable_ = false;
    while (strokes_.size() > done_) {
        bytes_ -= strokes_.back().bytes;
        strokes_.pop_back();
    }
    bytes_ += s.bytes;
    strokes_.push_back(std::move(s));
    current_ = Stroke();
    ++done_;
    Tell(terrain, strokes_.back(), true);
    while (!strokes_.empty() && (strokes_.size() > maxStrokes_ || bytes_ > maxBytes_)) {
        bytes_ -= strokes_.front().bytes;
        strokes_.pop_front();
        --done_;
        if (savedAt_ == 0) savedReachable_ = false;
        else --savedAt_;
    }
}

void EditHistory::Write(TerrainModel& terrain, const Stroke& stroke, bool after) {
    const size_t rows = size_t(terrain.height) + 1;
    const std::vector<TerrainVertex>& records = after ? stroke.after : stroke.before;
    for (size_t k = 0; k < stroke.index.size(); ++k) {
        const uint32_t i = stroke.index[k];
        std::memcpy(&terrain.columns[i / rows][i % rows], &records[k], sizeof(TerrainVertex));
    }
}

bool EditHistory::Undo(TerrainModel& terrain) {
    if (open_ || done_ == 0) return false;
    if (!SameGrid(terrain)) {
        Clear();
        return false;
    }
    --done_;
    Write(terrain, strokes_[done_], false);
    Tell(terrain, strokes_[done_], false);
    return true;
}

bool EditHistory::Redo(TerrainModel& terrain) {
    if (open_ || done_ == strokes_.size()) return false;
    if (!SameGrid(terrain)) {
        Clear();
        return false;
    }
    Write(terrain, strokes_[done_], true);
    Tell(terrain, strokes_[done_], true);
    ++done_;
    return true;
}

namespace {

constexpr unsigned kKeyO = 'O';
constexpr unsigned kKeyS = 'S';
constexpr unsigned kKeyY = 'Y';
constexpr unsigned kKeyZ = 'Z';

// Presses beyond this many, while a stroke keeps them waiting, are dropped.
constexpr size_t kMaxWaiting = 256;

// The shortcuts' memory: letter levels of the previous frame (a press acts
// once, however long held) and the undo (false) and redo (true) presses
// waiting for the stroke to end.
struct ShortcutMemory {
    PressEdge o, s, y, z;
    std::vector<bool> waiting;
};
ShortcutMemory sShortcuts;

}  // namespace

void RecordToolWork(EditHistory& history, const TerrainModel& terrain, const FrameState& frame) {
    // Over the menu rows no tool acts (the frame has no cells there), so a
    // press there (on the save icon, say) opens no stroke: a save served
    // while a stroke is open could not count the map as saved. The brush
    // windows are the height tools' re-light windows; the vertex painting
    // writes at a cell (or its mirror image, one column or row further) and
    // the 2 x 2 cell block it re-tiles lie inside them.
    if ((!frame.input.left && !frame.input.right) || FindToolMode(frame.settings.mode) == nullptr)
        return;
    for (int i = 0; i < frame.cellCount; ++i) {
        const BrushWindow& w = frame.windows[i];
        history.Touch(terrain, w.x0, w.x1, w.y0, w.y1);
    }
}

void RecordToolWork(EditHistory& history, const TerrainModel& terrain, int cellId,
                    const ToolInput& in) {
    RecordToolWork(history, terrain, ToolFrameState(terrain, cellId, in, false));
}

void RecordStroke(const FrameState& frame) {
    if (gTerrain == nullptr) return;
    RecordToolWork(gEditHistory, *gTerrain, frame);
}

void EditKeys(const FrameState& frame) {
    if (gTerrain == nullptr || frame.input.keys == nullptr) return;
    const bool* keys = frame.input.keys;
    const bool ctrl = keys[plat::VK_CONTROL];
    const bool shift = keys[plat::VK_SHIFT];
    ShortcutMemory& m = sShortcuts;
    const bool o = m.o.Pressed(keys[kKeyO]);
    const bool s = m.s.Pressed(keys[kKeyS]);
    const bool y = m.y.Pressed(keys[kKeyY]);
    const bool z = m.z.Pressed(keys[kKeyZ]);
    if (ctrl && m.waiting.size() < kMaxWaiting) {
        if (z && !shift) m.waiting.push_back(false);
        if ((z && shift) || (y && !shift)) m.waiting.push_back(true);
    }
    if (ctrl && !shift && (s || o)) {
        SetEditMode(s ? kModeSave : kModeLoad);
        // The dialog the request opens takes the key's release (and clears
        // its flag), so the next key-down here is a new press.
        m.s = m.o = PressEdge();
    }

    // Undo and redo wait while a button is held: the stroke is not over.
    if (frame.input.left || frame.input.right) return;
    gEditHistory.EndStroke(*gTerrain);
    for (bool redo : m.waiting) {
        if (redo)
            gEditHistory.Redo(*gTerrain);
        else
            gEditHistory.Undo(*gTerrain);
    }
    m.waiting.clear();
}
