// Save and load of the editor's 256 x 256 map (4,491,340 bytes) against
// `cp` of the same file on the same disk. The save is measured with and
// without its sync to the disk; the sync is compared with `cp` followed by
// one fsync of the copy, so that both sides pay for the disk once. Times are
// wall-clock (the copy runs in a child process, and the sync waits for the
// disk); after the runs the program prints the ratios measured in this same
// run. Both the copy and the save go over the file of the previous
// iteration, as a user's repeated saves do. Files live in a scratch folder below the working directory, so run it
// from the folder whose disk is to be measured. Build with
// CMAKE_BUILD_TYPE=Release to measure.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/MapFile.h"
#include "terrain/TerrainModel.h"

extern char** environ;

namespace {

std::string gFolder;
TerrainModel* gMap = nullptr;

std::string Source() { return gFolder + "/source.map"; }
std::string Target() { return gFolder + "/target.map"; }

bool RunCp(const std::string& from, const std::string& to) {
    const char* argv[] = {"cp", from.c_str(), to.c_str(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, "cp", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return false;
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool SyncFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
}

void Cp(benchmark::State& state) {
    for (auto _ : state)
        if (!RunCp(Source(), Target())) state.SkipWithError("cp failed");
}

void CpAndFsync(benchmark::State& state) {
    for (auto _ : state)
        if (!RunCp(Source(), Target()) || !SyncFile(Target())) state.SkipWithError("cp failed");
}

void Save(benchmark::State& state, bool sync) {
    for (auto _ : state)
        if (!WriteMapFile(Target().c_str(), *gMap, sync)) state.SkipWithError("save failed");
}

void Load(benchmark::State& state) {
    TerrainModel loaded(nullptr, 1, 1);
    for (auto _ : state)
        if (!ReadMapFile(Source().c_str(), loaded)) state.SkipWithError("load failed");
}

BENCHMARK(Cp)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(CpAndFsync)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK_CAPTURE(Save, NoSync, false)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK_CAPTURE(Save, Sync, true)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(Load)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Console output as usual, plus the wall time per iteration of every run,
// kept by name for the ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0 || run.error_occurred)
                continue;
            // "Save/Sync/min_time:2.000/real_time" is kept as "Save/Sync".
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find("/min_time"));
            seconds[name] = run.real_accumulated_time / double(run.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
    std::string pattern = (std::filesystem::current_path() / "mapbench-XXXXXX").string();
    if (!mkdtemp(&pattern[0])) {
        std::fprintf(stderr, "no scratch folder in the working directory\n");
        return 1;
    }
    gFolder = pattern;
    // A map with varied content, saved once as the file that cp copies and
    // load reads.
    TerrainModel map(nullptr, 256, 256);
    std::mt19937 rng(7);
    for (int x = 0; x <= map.width; ++x)
        for (int y = 0; y <= map.height; ++y) map.columns[x][y].height = float(rng() % 1000) / 10.0f;
    gMap = &map;
    if (!WriteMapFile(Source().c_str(), map) ||
        std::filesystem::file_size(Source()) != 4491340u) {
        std::fprintf(stderr, "the source map could not be written\n");
        return 1;
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(gFolder, ignored);

    std::printf("\nRatios (same run, same disk, 4,491,340 bytes):\n");
    const struct {
        const char* what;
        const char* ours;
        const char* base;
    } ratios[] = {{"load / cp", "Load", "Cp"},
                  {"save without sync / cp", "Save/NoSync", "Cp"},
                  {"save with sync / (cp + fsync)", "Save/Sync", "CpAndFsync"},
                  {"save with sync / cp", "Save/Sync", "Cp"}};
    for (const auto& r : ratios) {
        auto ours = reporter.seconds.find(r.ours);
        auto base = reporter.seconds.find(r.base);
        if (ours == reporter.seconds.end() || base == reporter.seconds.end()) continue;
        std::printf("  %-30s %.2fx  (%.2f ms against %.2f ms)\n", r.what, ours->second / base->second,
                    ours->second * 1e3, base->second * 1e3);
    }
    return 0;
}
