// Cost of keeping the map recoverable, a small harness printing figures.
//
// 1. Stroke end: strokes of the raise tool's reach at brush 8 (a window of
//    18 x 18 vertices per frame, 30 frames of a sweep, ~1,500 changed
//    vertices) on a 256 x 256 map and on a 4096 x 4096 map. Each stroke is
//    ended twice over, alternately on two histories of the same grid: the
//    plain stroke end (EndStroke) and the stroke end with recovery
//    (EndStroke handing the change to the keeper, then Flush: the journal
//    written and synced with fdatasync). Median and 90th percentile of
//    each, in the same run. The 256 x 256 map starts as the editor's start
//    map (its first change writes the grid whole, once); the 4096 x 4096
//    map is first saved, so the journal's base is a link to its file.
// 2. Quit with unsaved work on the 256 x 256 map: Finish writing the
//    recovered map (4,491,340 bytes, synced), against a clean quit.
// Times are wall-clock milliseconds; run from a folder on the disk to be
// measured (the state folder is made there and removed afterwards).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/MapFile.h"
#include "app/Recovery.h"
#include "platform/PlatformStore.h"
#include "terrain/EditHistory.h"
#include "terrain/TerrainModel.h"

namespace {

using Clock = std::chrono::steady_clock;

const int kStrokes = 41;
const int kFramesPerStroke = 30;
const int kBrush = 8;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[size_t(p * double(values.size() - 1) + 0.5)];
}

// One frame of a raise at (cx, cy): the tool's window recorded, then raised.
void RaiseFrame(TerrainModel& t, EditHistory& history, int cx, int cy) {
    history.Touch(t, cx - kBrush, cx + kBrush + 1, cy - kBrush, cy + kBrush + 1);
    for (int x = std::max(0, cx + 1 - kBrush); x <= std::min(t.width, cx + kBrush); ++x)
        for (int y = std::max(0, cy + 1 - kBrush); y <= std::min(t.height, cy + kBrush); ++y) {
            const double d = std::hypot(x - cx - 0.5, y - cy - 0.5);
            t.columns[x][y].height += float(std::max(std::cos(d / kBrush * 1.5707963), 0.0) * 0.005);
        }
}

void RemoveTree(const std::string& folder) {
    for (const std::string& name : plat::ListFolder(folder)) {
        const std::string path = folder + name;
        if (plat::IsFolder(path)) {
            RemoveTree(path + "/");
        } else {
            plat::RemoveFile(path);
        }
    }
    plat::RemoveFolder(folder);
}

void StrokeEnds(int cells, const std::string& state) {
    TerrainModel terrain(nullptr, cells, cells);
    EditHistory plain, kept;
    RecoveryKeeper keeper(state);
    kept.SetChangeSink(&RecoveryKeeper::Collect, &keeper);
    if (cells > 256) {
        const std::string map = state + "big.map";
        const Clock::time_point start = Clock::now();
        if (!WriteMapFile(map.c_str(), terrain)) {
            std::printf("cannot write %s\n", map.c_str());
            return;
        }
        const double saveMs = MsSince(start);
        const Clock::time_point rebase = Clock::now();
        keeper.Rebase(terrain, map);
        // The base is linked and its bytes summed for the journal's header.
        std::printf("  (the %d x %d map saved in %.0f ms, made the journal's base in %.0f ms)\n",
                    cells, cells, saveMs, MsSince(rebase));
    }
    std::vector<double> plainMs, keptMs;
    double first = 0.0;
    for (int s = 0; s < kStrokes; ++s) {
        EditHistory& history = s % 2 == 0 ? plain : kept;
        const int cy = cells / 2 + (s % 7) * 3 - 9;
        for (int f = 0; f < kFramesPerStroke; ++f)
            RaiseFrame(terrain, history, cells / 2 - 15 + f, cy);
        const Clock::time_point start = Clock::now();
        history.EndStroke(terrain);
        if (&history == &kept) keeper.Flush(terrain, true);
        const double ms = MsSince(start);
        if (s == 1) first = ms;
        (&history == &kept ? keptMs : plainMs).push_back(ms);
    }
    std::printf("%4d x %-4d  plain stroke end: median %.3f ms, p90 %.3f ms\n", cells, cells,
                Percentile(plainMs, 0.5), Percentile(plainMs, 0.9));
    std::printf("             with recovery:    median %.3f ms, p90 %.3f ms (first %.1f ms)%s\n",
                Percentile(keptMs, 0.5), Percentile(keptMs, 0.9), first,
                keeper.HasFailed() ? "  WRITE FAILED" : "");
    keeper.Finish(terrain, false);
    kept.SetChangeSink(nullptr, nullptr);
}

void Quits(const std::string& state) {
    TerrainModel terrain(nullptr, 256, 256);
    EditHistory history;
    double clean = 0.0, unsaved = 0.0;
    for (int run = 0; run < 2; ++run) {
        RecoveryKeeper keeper(state);
        history.SetChangeSink(&RecoveryKeeper::Collect, &keeper);
        RaiseFrame(terrain, history, 128, 128);
        history.EndStroke(terrain);
        keeper.Flush(terrain, true);
        const Clock::time_point start = Clock::now();
        keeper.Finish(terrain, run == 1);
        (run == 1 ? unsaved : clean) = MsSince(start);
        history.SetChangeSink(nullptr, nullptr);
    }
    std::printf("quit, 256 x 256: clean %.1f ms, with unsaved work %.1f ms (recovered map written)\n",
                clean, unsaved);
}

}  // namespace

int main() {
    const std::string state = "recovery-bench-state/";
    plat::MakeFolders(state);
    std::printf("Stroke ends of %d brush-%d raise strokes (%d frames each), alternating:\n",
                kStrokes, kBrush, kFramesPerStroke);
    StrokeEnds(256, state);
    StrokeEnds(4096, state);
    Quits(state);
    RemoveTree(state);
    return 0;
}
