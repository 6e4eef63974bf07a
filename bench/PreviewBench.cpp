// Preview speed against reading the map file: `mapconvert preview` of a
// 256 x 256 and a 4096 x 4096 map (4.5 MB and 1.1 GB) against `cat MAP >
// /dev/null` of the same file in the same run, as ratios, at the default
// size (512) and at the largest (1024). Both maps are imported by mapconvert
// itself from a heightmap made here (rolling hills, hollows below the water
// level), shaded with the pack's tiles, so a preview draws what a real map
// holds. Every command runs once to warm up (the file then lies in the page
// cache, as a map saved a moment ago does) and then kRuns times; the figures
// are medians of wall-clock times. Run from the build folder (the texture
// pack); the maps go to a scratch folder below it (about 1.2 GB). With an
// argument, that mapconvert draws the previews (an earlier build, say); the
// maps are always made by this build's.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "platform/PlatformFiles.h"
#include "gl/PngFiles.h"

extern char** environ;

namespace {

const int kRuns = 5;
const int kSides[] = {256, 4096};

double Median(const std::vector<std::string>& words) {
    if (RunSeconds(words) < 0) return -1.0;
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) times.push_back(RunSeconds(words));
    std::sort(times.begin(), times.end());
    return times.front() < 0 ? -1.0 : times[times.size() / 2];
}


}  // namespace

int main(int argc, char** argv) {
    const std::string previewer = argc > 1 ? argv[1] : MAPCONVERT;
    std::string folder = (std::filesystem::current_path() / "previewbench-XXXXXX").string();
    if (!mkdtemp(&folder[0])) {
        std::fprintf(stderr, "no scratch folder in the working directory\n");
        return 1;
    }
    std::printf("%-12s %10s %14s %8s %15s %8s\n", "map", "cat ms", "preview ms", "ratio",
                "preview 1024", "ratio");
    int status = 0;
    for (const int side : kSides) {
        const std::string map = folder + "/bench.map", out = folder + "/preview.png";
        if (!MakeHillMap(MAPCONVERT, folder, side, 0.45, map)) {
            std::fprintf(stderr, "the %d x %d map could not be made\n", side, side);
            status = 1;
            break;
        }
        const double cat = Median({"cat", map});
        const double preview = Median({previewer, "preview", map, out});
        const double large = Median({previewer, "preview", map, out, "--size", "1024"});
        std::printf("%4d x %-5d %10.1f %14.1f %7.2fx %15.1f %7.2fx\n", side, side, cat * 1e3,
                    preview * 1e3, preview / cat, large * 1e3, large / cat);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return status;
}
