// `mapconvert scale` of a 4096 x 4096 map to 2048 x 2048 and `mapconvert
// resize` of a 2048 x 2048 map to 4096 x 4096, each against loading its
// input and saving its output with the editor's own reader and writer in
// this process (synced, as mapconvert saves), same run; and the command's
// peak memory (the child's largest resident size) against the sizes of its
// input and output files. Best of two after one warm-up, the command and
// its baseline taking turns. Run from the build folder (the texture pack);
// the maps go to a scratch folder below it (about 3 GB while it runs).
#include <sys/resource.h>
#include <sys/wait.h>
#include <spawn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/MapFile.h"
#include "terrain/TerrainModel.h"

extern char** environ;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct ChildRun {
    double seconds = -1;
    double peakBytes = 0;
};

ChildRun RunMapconvert(std::vector<std::string> words) {
    words.insert(words.begin(), MAPCONVERT);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    ChildRun run;
    const auto start = Clock::now();
    pid_t child = 0;
    int status = 0;
    rusage usage{};
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0 ||
        wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status))
        return run;
    run.seconds = SecondsSince(start);
    run.peakBytes = double(usage.ru_maxrss) * 1024.0;
    return run;
}

// Loading in and saving out with the editor's reader and writer.
double LoadAndSave(const std::string& in, const std::string& out, const std::string& scratch) {
    TerrainModel input(nullptr, 0, 0), output(nullptr, 0, 0);
    if (!ReadMapFile(out.c_str(), output)) return -1;  // untimed: the output's grid
    const auto start = Clock::now();
    if (!ReadMapFile(in.c_str(), input)) return -1;
    if (!WriteMapFile(scratch.c_str(), output)) return -1;
    return SecondsSince(start);
}

void Compare(const char* what, const std::vector<std::string>& command, const std::string& in,
             const std::string& out, const std::string& scratch) {
    ChildRun best;
    double baseline = 1e30;
    for (int run = 0; run < 3; ++run) {
        const ChildRun r = RunMapconvert(command);
        const double b = LoadAndSave(in, out, scratch);
        if (r.seconds < 0 || b < 0) {
            std::printf("%s: failed\n", what);
            return;
        }
        if (run == 0) continue;  // warm-up
        if (best.seconds < 0 || r.seconds < best.seconds) best = r;
        baseline = std::min(baseline, b);
    }
    const double files = double(fs::file_size(in) + fs::file_size(out));
    std::printf("%-34s %7.2f s   load + save %7.2f s   ratio %.2f (at most 2)\n", what,
                best.seconds, baseline, best.seconds / baseline);
    std::printf("%-34s peak %7.0f MB   input + output %7.0f MB   ratio %.3f (at most 1.10)\n", "",
                best.peakBytes / 1e6, files / 1e6, best.peakBytes / files);
}

}  // namespace

int main() {
    const fs::path dir = fs::current_path() / "mapsizes-bench";
    fs::create_directories(dir);
    const std::string big = (dir / "big.map").string(), half = (dir / "half.map").string();
    const std::string scaled = (dir / "scaled.map").string(), grown = (dir / "grown.map").string();
    const std::string scratch = (dir / "scratch.map").string();
    // Flat maps: resampling, tiling and lighting cost the same on any ground.
    if (RunMapconvert({"new", "--size", "4096x4096", "--seed", "1", big}).seconds < 0 ||
        RunMapconvert({"new", "--size", "2048x2048", "--height", "0.4", "--seed", "1", half})
                .seconds < 0) {
        std::printf("cannot make the maps (run from the build folder)\n");
        return 1;
    }
    Compare("scale 4096 x 4096 -> 2048 x 2048",
            {"scale", "--size", "2048x2048", "--seed", "2", big, scaled}, big, scaled, scratch);
    Compare("resize 2048 x 2048 -> 4096 x 4096",
            {"resize", "--size", "4096x4096", "--seed", "2", half, grown}, half, grown, scratch);
    fs::remove_all(dir);
    return 0;
}
