// Editor start with hostile textures against a normal start: RunEditor's
// set-up on the headless backend (window, terrain, the texture catalogue
// with the ground list and the upload, the GL state and the shading of the
// map) from a copy of the texture pack, and from the same copy with three
// ground textures replaced by 68-byte run-length bitmaps that declare
// 18918 x 18918 pixels (1 GB of pixels each). Every start runs in a child
// process of its own, so the peak memory (getrusage) is that start's; the
// figures are the median wall-clock time of kRuns starts and the largest
// peak. Run from the build folder (the texture pack).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/Editor.h"
#include "app/TextureCatalogue.h"
#include "gl/GLState.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "terrain/TerrainModel.h"

namespace fs = std::filesystem;

namespace {

const int kRuns = 9;
const int kHostileTextures = 3;

// A run-length bitmap of 18918 x 18918 pixels whose stream only ends the
// picture: file header, info header, a colour table of three entries and
// the two bytes of the end mark, 68 bytes in all.
std::vector<uint8_t> HostileBitmap() {
    std::vector<uint8_t> file(68, 0);
    auto put = [&file](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + size_t(i)] = uint8_t(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, 68, 4);
    put(10, 66, 4);     // pixel data after the colour table
    put(14, 40, 4);     // info header
    put(18, 18918, 4);  // width
    put(22, 18918, 4);  // height
    put(26, 1, 2);      // planes
    put(28, 8, 2);      // bits per pixel
    put(30, 1, 4);      // run-length, 8 bits
    put(46, 3, 4);      // colours used
    put(67, 1, 1);      // end of bitmap (0, 1)
    return file;
}

// One start in pack; seconds of the set-up through the pipe's write end.
[[noreturn]] void Start(const std::string& pack, int report) {
    if (chdir(pack.c_str()) != 0) _exit(1);
    headless::Reset();
    const auto begin = std::chrono::steady_clock::now();
    gWindow = new OpenGLFullscreen(1280, 1024);
    if (!gWindow->IsCreated()) _exit(1);
    gTerrain = new TerrainModel(gWindow, 256, 256);
    LoadTextureCatalogue();
    InitGLState();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    _exit(write(report, &seconds, sizeof seconds) == sizeof seconds ? 0 : 1);
}

// Median seconds and largest peak (KiB) of kRuns starts in pack.
bool Measure(const std::string& pack, double* seconds, long* peakKiB) {
    std::vector<double> times;
    *peakKiB = 0;
    for (int run = 0; run < kRuns; ++run) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) return false;
        const pid_t child = fork();
        if (child == 0) Start(pack, pipeEnds[1]);
        close(pipeEnds[1]);
        double time = -1.0;
        const bool reported = read(pipeEnds[0], &time, sizeof time) == sizeof time;
        close(pipeEnds[0]);
        int status = 0;
        struct rusage usage {};
        if (child < 0 || wait4(child, &status, 0, &usage) != child || !reported) return false;
        times.push_back(time);
        *peakKiB = std::max(*peakKiB, usage.ru_maxrss);
    }
    std::sort(times.begin(), times.end());
    *seconds = times[times.size() / 2];
    return true;
}

}  // namespace

int main() {
    std::error_code code;
    if (!fs::is_regular_file("textures/ground/_ground.txt", code)) {
        std::fprintf(stderr, "run from the build folder: no texture pack here\n");
        return 1;
    }
    std::string scratch = (fs::current_path() / "startbench-XXXXXX").string();
    if (!mkdtemp(&scratch[0])) return 1;
    const std::string normal = scratch + "/normal", hostile = scratch + "/hostile";
    for (const std::string& pack : {normal, hostile}) {
        fs::create_directories(pack, code);
        fs::copy("textures", pack + "/textures", fs::copy_options::recursive, code);
    }
    // The first ground textures of the list become hostile bitmaps.
    std::ifstream list("textures/ground/_ground.txt");
    const std::vector<uint8_t> bitmap = HostileBitmap();
    std::string name;
    for (int i = 0; i < kHostileTextures && std::getline(list, name); ++i) {
        std::ofstream out(hostile + "/textures/ground/" + name + ".bmp", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bitmap.data()), std::streamsize(bitmap.size()));
    }
    double normalSeconds = 0, hostileSeconds = 0;
    long normalPeak = 0, hostilePeak = 0;
    const bool measured = Measure(normal, &normalSeconds, &normalPeak) &&
                          Measure(hostile, &hostileSeconds, &hostilePeak);
    fs::remove_all(scratch, code);
    if (!measured) {
        std::fprintf(stderr, "an editor start failed\n");
        return 1;
    }
    std::printf("%-32s %10s %12s\n", "start", "time ms", "peak MiB");
    std::printf("%-32s %10.1f %12.1f\n", "normal pack", normalSeconds * 1e3, normalPeak / 1024.0);
    std::printf("%-32s %10.1f %12.1f\n", "3 hostile 68-byte textures", hostileSeconds * 1e3,
                hostilePeak / 1024.0);
    std::printf("hostile / normal: time %.2fx, peak memory %.2fx\n", hostileSeconds / normalSeconds,
                double(hostilePeak) / double(normalPeak));
    return 0;
}
