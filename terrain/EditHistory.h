// Undo and redo of strokes, and the editor's Ctrl shortcuts.
//
// Conventions: a stroke is everything the tools change from the frame a
// mouse button goes down over a picked cell until no button is held. While
// it is open, the 68-byte record of each vertex is copied ("before") the
// first time the stroke may touch it; a per-grid bitmap says which are
// copied. When the stroke ends, only the vertices whose bytes changed are
// kept, each with its "after" record; a stroke that changed nothing is no
// stroke. A vertex is named by its column-major index x * (height + 1) + y.
// Undo writes the before records back, redo the after records, byte for
// byte. The history holds at most kMaxStrokes strokes and kMaxBytes bytes of
// them; the oldest go first. Strokes belong to the grid they were recorded
// on: a history whose grid size no longer matches the model is cleared
// instead of applied. One program-wide history, gEditHistory, serves the
// editor; one thread.
//
// Unsaved state: the history remembers the step at which the grid equals
// the map last loaded or saved (or the one the editor started with). The map
// is unsaved whenever the steps done differ from that mark, so undoing back
// to it makes the map saved again; once the steps that lead back to it are
// dropped (a new stroke after undoing past it, or the oldest steps going)
// nothing can, until the next save or load.
//
// Change sink: every finished stroke, undo and redo hands the records it
// left in the grid (vertex index and the record now there) to one sink, so
// that whoever keeps a copy of the map elsewhere can follow each change as
// it happens.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "terrain/TerrainModel.h"

// The records a step left in the grid: count vertex indices (column-major, as
// above) and the record each vertex now holds, on a grid of the given size.
struct GridChange {
    const uint32_t* index;
    const TerrainVertex* records;
    size_t count;
    int32_t gridWidth, gridHeight;
};
using ChangeSink = void (*)(void* user, const GridChange& change);

class EditHistory {
public:
    static constexpr size_t kMaxStrokes = 100;
    static constexpr size_t kMaxBytes = size_t(64) << 20;  // 64 MiB

    explicit EditHistory(size_t maxStrokes = kMaxStrokes, size_t maxBytes = kMaxBytes);

    // Copies the before record of every vertex in columns x0..x1, rows
    // y0..y1 (clipped to the grid) that the open stroke has not copied yet,
    // opening a stroke if none is open. Call it before the vertices change.
    void Touch(const TerrainModel& terrain, int64_t x0, int64_t x1, int64_t y0, int64_t y1);
    // Closes the open stroke (if any). One that changed something drops what
    // could be redone and becomes the newest undo step; then the oldest steps
    // go until both bounds hold.
    void EndStroke(const TerrainModel& terrain);
    bool StrokeOpen() const { return open_; }

    // Take back the newest step / put back the newest undone one. False (and
    // nothing changes) while a stroke is open or when there is no such step.
    bool Undo(TerrainModel& terrain);
    bool Redo(TerrainModel& terrain);

    // Forgets every step and the open stroke (a loaded map starts afresh).
    // The grid as it is counts as saved afterwards.
    void Clear();

    // The grid as it is now is the map on disk (a save or load has just
    // succeeded). While a stroke is open the grid is between two steps, so
    // no step can bring the saved map back and it stays unsaved.
    void MarkSaved();
    // True when the grid differs from the map last loaded or saved, as far as
    // the steps tell.
    bool Unsaved() const { return !savedReachable_ || savedAt_ != done_; }

    // One sink (null for none) for the changes of every later step.
    void SetChangeSink(ChangeSink sink, void* user);

    size_t UndoSteps() const { return done_; }
    size_t RedoSteps() const { return strokes_.size() - done_; }
    // Memory held by the recorded steps, in bytes.
    size_t Bytes() const { return bytes_; }

private:
    struct Stroke {
        std::vector<uint32_t> index;
        std::vector<TerrainVertex> before;
        std::vector<TerrainVertex> after;
        size_t bytes = 0;
    };

    bool SameGrid(const TerrainModel& terrain) const;
    void DropOpen();
    void Write(TerrainModel& terrain, const Stroke& stroke, bool after);
    void Tell(const TerrainModel& terrain, const Stroke& stroke, bool after) const;

    size_t maxStrokes_, maxBytes_;
    std::deque<Stroke> strokes_;  // [0, done_) undoable, [done_, size) redoable
    size_t done_ = 0;
    size_t bytes_ = 0;
    size_t savedAt_ = 0;           // done_ at the last save or load
    bool savedReachable_ = true;   // the steps up to savedAt_ still exist
    ChangeSink sink_ = nullptr;
    void* sinkUser_ = nullptr;
    int32_t gridWidth_ = -1, gridHeight_ = -1;  // grid the steps belong to

    bool open_ = false;
    Stroke current_;                // before records of the open stroke
    std::vector<uint8_t> touched_;  // 1 for each vertex the open stroke copied
};

extern EditHistory gEditHistory;

struct FrameState;
struct ToolInput;

// While a mouse button is held and a tool is selected, copies into `history`
// the before records of every brush window of `frame` (FrameState.h), the
// widest any tool may change this frame, before the tools run.
void RecordToolWork(EditHistory& history, const TerrainModel& terrain, const FrameState& frame);
// The same with the tools' short input (TerrainTools.h).
void RecordToolWork(EditHistory& history, const TerrainModel& terrain, int cellId,
                    const ToolInput& in);

// Frame hooks around the tools, for gTerrain and gEditHistory.
// RecordStroke: RecordToolWork with the frame's state.
void RecordStroke(const FrameState& frame);
// EditKeys: new presses of Ctrl+Z (undo), Ctrl+Y or Ctrl+Shift+Z (redo),
// Ctrl+S (save request) and Ctrl+O (load request), read from the frame's
// key flags (Windows virtual-key codes); a held key acts once. Once no
// button is held the stroke ends, then the undo and redo presses that
// waited for it run, in order.
void EditKeys(const FrameState& frame);
