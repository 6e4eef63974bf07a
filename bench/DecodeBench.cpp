// Decode throughput of the bitmap decoder (DecodeDib) against stb_image's
// BMP reader on the same in-memory 1024 x 1024 files: 24-bit and 8-bit with
// a 256-entry palette; 8-bit run-length for our decoder alone (stb_image
// does not read run-length bitmaps). Throughput is counted in decoded
// output bytes (width * height * 3) per second; after the runs the program
// prints, per format, the ratio ours / stb measured in this same run.
// Build with CMAKE_BUILD_TYPE=Release to measure.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include "gl/DibImage.h"

namespace {

constexpr int kSize = 1024;

void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    v[at] = uint8_t(x);
    v[at + 1] = uint8_t(x >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    Put16(v, at, x & 0xFFFF);
    Put16(v, at + 2, x >> 16);
}

// A picture with some structure (smooth gradients plus a hashed texture),
// so neither decoder meets a trivially uniform input.
uint8_t Sample(int x, int y, int channel) {
    uint32_t h = uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u ^ uint32_t(channel) * 83492791u;
    return uint8_t((x * (channel + 1) + y * (3 - channel)) / 8 + (h >> 28));
}

std::vector<uint8_t> MakeFile(uint16_t bitCount, uint32_t compression, uint32_t entries,
                              const std::vector<uint8_t>& bits) {
    size_t offset = 14 + 40 + size_t(entries) * 4;
    std::vector<uint8_t> file(offset, 0);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, uint32_t(offset + bits.size()));
    Put32(file, 10, uint32_t(offset));
    Put32(file, 14, 40);
    Put32(file, 18, kSize);
    Put32(file, 22, kSize);
    Put16(file, 26, 1);
    Put16(file, 28, bitCount);
    Put32(file, 30, compression);
    Put32(file, 34, uint32_t(bits.size()));
    Put32(file, 46, entries);
    for (uint32_t i = 0; i < entries; ++i) {
        file[54 + i * 4] = uint8_t(i * 7);
        file[54 + i * 4 + 1] = uint8_t(255 - i);
        file[54 + i * 4 + 2] = uint8_t(i * 13);
    }
    file.insert(file.end(), bits.begin(), bits.end());
    return file;
}

const std::vector<uint8_t>& File24() {
    static const std::vector<uint8_t> file = [] {
        std::vector<uint8_t> bits;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                for (int c = 2; c >= 0; --c) bits.push_back(Sample(x, y, c));
        return MakeFile(24, 0, 0, bits);
    }();
    return file;
}

const std::vector<uint8_t>& File8() {
    static const std::vector<uint8_t> file = [] {
        std::vector<uint8_t> bits;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) bits.push_back(Sample(x, y, 1));
        return MakeFile(8, 0, 256, bits);
    }();
    return file;
}

// Runs of 1..16 pixels, row by row, each row closed by an end-of-line mark.
const std::vector<uint8_t>& FileRle8() {
    static const std::vector<uint8_t> file = [] {
        std::vector<uint8_t> bits;
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize;) {
                int run = 1 + (Sample(x, y, 0) & 15);
                if (run > kSize - x) run = kSize - x;
                bits.push_back(uint8_t(run));
                bits.push_back(Sample(x, y, 1));
                x += run;
            }
            bits.push_back(0);
            bits.push_back(0);
        }
        bits.push_back(0);
        bits.push_back(1);
        return MakeFile(8, 1, 256, bits);
    }();
    return file;
}

void Ours(benchmark::State& state, const std::vector<uint8_t>& (*file)()) {
    const std::vector<uint8_t>& bytes = file();
    for (auto _ : state) {
        RgbImage* image = DecodeDib(bytes.data(), bytes.size(), nullptr);
        if (!image) {
            state.SkipWithError("DecodeDib refused the file");
            break;
        }
        benchmark::DoNotOptimize(image->pixels);
        FreeRgbImage(image);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kSize * kSize * 3);
}

void Stb(benchmark::State& state, const std::vector<uint8_t>& (*file)()) {
    const std::vector<uint8_t>& bytes = file();
    for (auto _ : state) {
        int w, h, n;
        stbi_uc* pixels = stbi_load_from_memory(bytes.data(), int(bytes.size()), &w, &h, &n, 3);
        if (!pixels) {
            state.SkipWithError("stb_image refused the file");
            break;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kSize * kSize * 3);
}

BENCHMARK_CAPTURE(Ours, Rgb24, File24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Stb, Rgb24, File24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Ours, Palette8, File8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Stb, Palette8, File8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Ours, Rle8, FileRle8)->Unit(benchmark::kMillisecond);

// Console output as usual, plus the CPU time per decode of every run (less
// disturbed by other processes on a shared machine than wall time) kept by
// name ("Ours/Rgb24") for the ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !run.error_occurred)
                seconds[run.benchmark_name()] = run.cpu_accumulated_time / double(run.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

// Both decoders must produce the same picture (stb's rows top first, ours
// bottom first) before their speeds mean anything.
bool SamePicture(const std::vector<uint8_t>& bytes) {
    RgbImage* ours = DecodeDib(bytes.data(), bytes.size(), nullptr);
    int w = 0, h = 0, n = 0;
    stbi_uc* stb = stbi_load_from_memory(bytes.data(), int(bytes.size()), &w, &h, &n, 3);
    bool same = ours && stb && w == ours->width && h == ours->height;
    for (int y = 0; same && y < h; ++y) {
        const uint8_t* a = ours->pixels + size_t(y) * w * 3;
        const uint8_t* b = stb + size_t(h - 1 - y) * w * 3;
        same = std::equal(a, a + size_t(w) * 3, b);
    }
    FreeRgbImage(ours);
    stbi_image_free(stb);
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    if (!SamePicture(File24()) || !SamePicture(File8())) {
        std::fprintf(stderr, "DecodeDib and stb_image disagree on a benchmark file\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\nThroughput ratio ours / stb_image (same run, same files):\n");
    for (const char* format : {"Rgb24", "Palette8"}) {
        auto ours = reporter.seconds.find(std::string("Ours/") + format);
        auto stb = reporter.seconds.find(std::string("Stb/") + format);
        if (ours == reporter.seconds.end() || stb == reporter.seconds.end()) continue;
        std::printf("  %-9s %.2fx  (ours %.3f ms, stb %.3f ms per decode)\n", format,
                    stb->second / ours->second, ours->second * 1e3, stb->second * 1e3);
    }
    return 0;
}
