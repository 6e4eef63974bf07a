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

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "platform/PlatformFiles.h"
#include "gl/PngFiles.h"

extern char** environ;

namespace {

const int kRuns = 5;
const int kSides[] = {256, 4096};

// Wall-clock seconds of one run of words, standard output to /dev/null; a
// negative value when it fails.
double RunSeconds(const std::vector<std::string>& words) {
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    int status = -1;
    const bool ran = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
                     waitpid(child, &status, 0) == child;
    posix_spawn_file_actions_destroy(&actions);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return ran && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1.0;
}

double Median(const std::vector<std::string>& words) {
    if (RunSeconds(words) < 0) return -1.0;
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) times.push_back(RunSeconds(words));
    std::sort(times.begin(), times.end());
    return times.front() < 0 ? -1.0 : times[times.size() / 2];
}

// A map of side x side cells at path, imported from a heightmap made here.
bool MakeMap(const std::string& folder, int side, const std::string& path) {
    GreyPicture picture;
    picture.width = picture.height = side + 1;
    picture.samples.resize(size_t(side + 1) * size_t(side + 1));
    for (int y = 0; y <= side; ++y)
        for (int x = 0; x <= side; ++x) {
            const double u = 40.0 * x / side, v = 40.0 * y / side;
            const double h = 0.45 + 0.3 * std::sin(u) * std::cos(v * 0.8) + 0.1 * std::sin(u * 5 + v * 3);
            picture.samples[size_t(y) * size_t(side + 1) + size_t(x)] = uint16_t(h * 65535.0);
        }
    const std::string heights = folder + "/heights.png";
    std::string failure;
    const PngTexts noTexts;
    const PngContent png = GreyPngContent(picture, noTexts, &failure);
    return plat::ReplaceFileContent(heights.c_str(), WritePng, &png, false) &&
           RunSeconds({MAPCONVERT, "import", heights, path, "--seed", "1"}) >= 0;
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
        if (!MakeMap(folder, side, map)) {
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
