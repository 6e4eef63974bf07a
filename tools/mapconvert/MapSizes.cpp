// The size commands (see MapSizes.h).
//
// The input map is read with the editor's reader into a model of its own
// and the output grid is allocated once at its new size, so a command holds
// the two grids and one row buffer of each file, nothing more. Resampling
// places the corner vertices of both grids on each other: output vertex i
// of W' cells samples the input at i * W / W'. Catmull-Rom keeps straight
// slopes straight; past the map's edge it continues the edge's slope, so a
// ramp stays a ramp up to its last vertex.
#include "tools/mapconvert/MapSizes.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/MapFile.h"
#include "terrain/TerrainModel.h"
#include "tools/mapconvert/EditorScene.h"
#include "tools/mapconvert/MapFacts.h"
#include "tools/mapconvert/OutputFiles.h"

namespace {

const int kWrongCall = 2;
const int kFileFailed = 1;

struct Anchor {
    const char* name;
    int column;  // 0 west, 1 centre, 2 east
    int row;     // 0 south, 1 centre, 2 north
};
const Anchor kAnchors[] = {
    {"nw", 0, 2}, {"n", 1, 2}, {"ne", 2, 2}, {"w", 0, 1}, {"c", 1, 1},
    {"e", 2, 1},  {"sw", 0, 0}, {"s", 1, 0}, {"se", 2, 0},
};

int Offset(int place, int oldCells, int newCells) {
    if (place == 0) return 0;
    if (place == 2) return newCells - oldCells;
    return (newCells - oldCells) / 2;  // toward zero, either way
}

// "WxH" in cells, each from 1 to the largest map the editor loads.
bool ParseSize(const std::string& text, int* width, int* height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    const std::string parts[2] = {text.substr(0, x), text.substr(x + 1)};
    long values[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        if (parts[i].empty() || parts[i].size() > 6 ||
            parts[i].find_first_not_of("0123456789") != std::string::npos)
            return false;
        values[i] = std::strtol(parts[i].c_str(), nullptr, 10);
        if (values[i] < 1 || values[i] > kMaxMapCellsPerSide) return false;
    }
    *width = int(values[0]);
    *height = int(values[1]);
    return true;
}

// The options every size command shares, checked before anything is read.
struct SizeOptions {
    int width = 0, height = 0;
    float flatHeight = 0.0f;
    char ground = 'e';
    unsigned seed = 0;
};

std::string SizeFault(const SizeCall& call, const TerrainModel& limits, SizeOptions* out) {
    if (call.size.empty()) return "--size WxH is needed";
    if (!ParseSize(call.size, &out->width, &out->height))
        return "--size " + call.size + ": not a size WxH of 1 to " +
               std::to_string(kMaxMapCellsPerSide) + " cells each way";
    if (!call.height.empty()) {
        char* end = nullptr;
        errno = 0;
        const double h = std::strtod(call.height.c_str(), &end);
        if (*end != '\0' || errno != 0 || !std::isfinite(h) || h < limits.minHeight ||
            h > limits.maxHeight)
            return "--height " + call.height + ": not a height from -2 to 1.5";
        out->flatHeight = float(h);
    }
    if (!call.ground.empty()) {
        if (call.ground != "e" && call.ground != "w" && call.ground != "s")
            return "--ground " + call.ground + ": not a ground letter e, w or s";
        out->ground = call.ground[0];
    }
    if (!call.seed.empty()) {
        if (call.seed.size() > 10 || call.seed.find_first_not_of("0123456789") != std::string::npos ||
            std::strtoull(call.seed.c_str(), nullptr, 10) > 0xFFFFFFFFull)
            return "--seed " + call.seed + ": not a whole number from 0 to 4294967295";
        out->seed = unsigned(std::strtoull(call.seed.c_str(), nullptr, 10));
    }
    const std::string& output = call.files.back();
    const size_t dot = output.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : output.substr(dot);
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".png" || extension == ".r16" || extension == ".raw")
        return "the output " + output + " is named as a picture, but this command writes a map";
    return std::string();
}

// Reads IN.map after checking its header (the editor's reader is silent
// about what it refuses), warning when it is cut short.
bool LoadInput(const std::string& path, TerrainModel& terrain, std::string* error) {
    MapFacts facts;
    if (!ReadMapHeader(path, &facts, error)) return false;
    if (facts.recordsHeld < facts.recordsNeeded)
        std::fprintf(stderr,
                     "mapconvert: warning: %s is cut short: %llu of %llu records missing; they "
                     "read as height 0, earth\n",
                     path.c_str(),
                     static_cast<unsigned long long>(facts.recordsNeeded - facts.recordsHeld),
                     static_cast<unsigned long long>(facts.recordsNeeded));
    errno = 0;
    if (ReadMapFile(path.c_str(), terrain)) return true;
    *error = path + ": cannot load the map: " +
             (errno ? std::strerror(errno) : "the editor's map reader refused it");
    return false;
}

// The scene whose terrain becomes the output, sized and seeded.
bool OpenOutput(const SizeCall& call, const SizeOptions& options, EditorScene& scene,
                std::string* line) {
    if (!CanCreateFile(call.files.back(), line) || !scene.Open(FindTexturePack(call.pack), line))
        return false;
    if (!scene.Terrain().Resize(options.width, options.height)) {
        *line = call.files.back() + ": no memory for a map of " + call.size + " cells";
        return false;
    }
    std::srand(call.seed.empty() ? static_cast<unsigned>(std::time(nullptr)) : options.seed);
    return true;
}

int Save(const std::string& path, const TerrainModel& terrain, std::string* line) {
    errno = 0;
    if (WriteMapFile(path.c_str(), terrain)) return 0;
    *line = WriteFailure(path, "the map could not be written");
    return kFileFailed;
}

// Catmull-Rom weights of the four samples around t in [0, 1).
void CubicWeights(double t, double w[4]) {
    const double t2 = t * t, t3 = t2 * t;
    w[0] = 0.5 * (-t3 + 2 * t2 - t);
    w[1] = 0.5 * (3 * t3 - 5 * t2 + 2);
    w[2] = 0.5 * (-3 * t3 + 4 * t2 + t);
    w[3] = 0.5 * (t3 - t2);
}

// Where output vertex i of `cells` lands on an input of `inCells`: the
// input vertex below it and the fraction past it.
void SamplePlace(int i, int cells, int inCells, int* base, double* t) {
    const int64_t scaled = int64_t(i) * inCells;
    *base = int(scaled / cells);
    *t = double(scaled % cells) / cells;
    if (*base >= inCells && inCells > 0) {
        *base = inCells - 1;
        *t = 1.0;
    }
}

// Height of input column x at row y, the edge's slope continued past it.
double HeightAt(const TerrainModel& in, int x, int y) {
    const int w = in.width, h = in.height;
    auto inside = [&](int cx, int cy) { return double(in.columns[cx][cy].height); };
    auto alongY = [&](int cx) {
        if (y < 0) return h >= 1 ? 2 * inside(cx, 0) - inside(cx, 1) : inside(cx, 0);
        if (y > h) return h >= 1 ? 2 * inside(cx, h) - inside(cx, h - 1) : inside(cx, h);
        return inside(cx, y);
    };
    if (x < 0) return w >= 1 ? 2 * alongY(0) - alongY(1) : alongY(0);
    if (x > w) return w >= 1 ? 2 * alongY(w) - alongY(w - 1) : alongY(w);
    return alongY(x);
}

}  // namespace

bool AnchorOffset(const std::string& anchor, int oldWidth, int oldHeight, int newWidth,
                  int newHeight, int* dx, int* dy) {
    for (const Anchor& a : kAnchors) {
        if (anchor != a.name) continue;
        *dx = Offset(a.column, oldWidth, newWidth);
        *dy = Offset(a.row, oldHeight, newHeight);
        return true;
    }
    return false;
}

void ResizeInto(const TerrainModel& in, int dx, int dy, float height, TerrainModel& out) {
    const int keptX0 = std::max(0, dx), keptX1 = std::min(out.width, in.width + dx);
    const int keptY0 = std::max(0, dy), keptY1 = std::min(out.height, in.height + dy);
    for (int x = 0; x <= out.width; ++x) {
        const bool keptColumn = x >= keptX0 && x <= keptX1;
        for (int y = 0; y <= out.height; ++y) {
            TerrainVertex& v = out.columns[x][y];
            if (keptColumn && y >= keptY0 && y <= keptY1) {
                v = in.columns[x - dx][y - dy];
            } else {
                v.ground = 'e';
                v.height = height;
            }
        }
    }
    // A block is tiled again when one of its cells has a corner that is new.
    std::vector<int32_t> blocks;
    for (int x0 = 0; x0 < out.width; x0 += 2)
        for (int y0 = 0; y0 < out.height; y0 += 2) {
            const int x1 = std::min(x0 + 2, out.width), y1 = std::min(y0 + 2, out.height);
            if (x0 < keptX0 || x1 > keptX1 || y0 < keptY0 || y1 > keptY1)
                blocks.push_back(int32_t((uint32_t(x0) << 16) | uint32_t(y0)));
        }
    out.RetileBlocks(blocks);
    for (int x = 0; x <= out.width; ++x)
        for (int y = 0; y <= out.height; ++y) out.RelightVertex(x, y);
}

void ScaleInto(const TerrainModel& in, TerrainModel& out) {
    std::vector<int> baseY(size_t(out.height) + 1), nearY(size_t(out.height) + 1);
    std::vector<double> weightsY(4 * (size_t(out.height) + 1));
    for (int y = 0; y <= out.height; ++y) {
        double t = 0;
        SamplePlace(y, out.height, in.height, &baseY[y], &t);
        CubicWeights(t, &weightsY[4 * size_t(y)]);
        nearY[y] = std::min(in.height, baseY[y] + (t >= 0.5 ? 1 : 0));
    }
    for (int x = 0; x <= out.width; ++x) {
        int bx = 0;
        double tx = 0, wx[4];
        SamplePlace(x, out.width, in.width, &bx, &tx);
        CubicWeights(tx, wx);
        const int nearX = std::min(in.width, bx + (tx >= 0.5 ? 1 : 0));
        for (int y = 0; y <= out.height; ++y) {
            const double* wy = &weightsY[4 * size_t(y)];
            double sum = 0;
            for (int i = 0; i < 4; ++i) {
                double row = 0;
                for (int j = 0; j < 4; ++j) row += wy[j] * HeightAt(in, bx - 1 + i, baseY[y] - 1 + j);
                sum += wx[i] * row;
            }
            TerrainVertex& v = out.columns[x][y];
            v.height = float(std::min<double>(out.maxHeight, std::max<double>(out.minHeight, sum)));
            v.ground = in.columns[nearX][nearY[y]].ground;
        }
    }
    out.ShadeAll();
}

int NewMapCommand(const SizeCall& call, std::string* line) {
    SizeOptions options;
    EditorScene scene;
    const TerrainModel limits(nullptr, 0, 0);
    *line = SizeFault(call, limits, &options);
    if (!line->empty()) return kWrongCall;
    if (!OpenOutput(call, options, scene, line)) return kFileFailed;
    TerrainModel& terrain = scene.Terrain();
    for (int x = 0; x <= terrain.width; ++x)
        for (int y = 0; y <= terrain.height; ++y) {
            terrain.columns[x][y].ground = options.ground;
            terrain.columns[x][y].height = options.flatHeight;
        }
    terrain.ShadeAll();
    return Save(call.files.back(), terrain, line);
}

int ResizeMapCommand(const SizeCall& call, std::string* line) {
    SizeOptions options;
    const std::string anchor = call.anchor.empty() ? "c" : call.anchor;
    int dx = 0, dy = 0;
    TerrainModel in(nullptr, 0, 0);
    *line = SizeFault(call, in, &options);
    if (line->empty() && !AnchorOffset(anchor, 0, 0, 0, 0, &dx, &dy))
        *line = "--anchor " + anchor + ": not one of nw, n, ne, w, c, e, sw, s, se";
    if (!line->empty()) return kWrongCall;
    EditorScene scene;
    if (!CanCreateFile(call.files.back(), line) || !LoadInput(call.files[0], in, line) ||
        !OpenOutput(call, options, scene, line))
        return kFileFailed;
    AnchorOffset(anchor, in.width, in.height, options.width, options.height, &dx, &dy);
    ResizeInto(in, dx, dy, options.flatHeight, scene.Terrain());
    return Save(call.files.back(), scene.Terrain(), line);
}

int ScaleMapCommand(const SizeCall& call, std::string* line) {
    SizeOptions options;
    TerrainModel in(nullptr, 0, 0);
    *line = SizeFault(call, in, &options);
    if (!line->empty()) return kWrongCall;
    EditorScene scene;
    if (!CanCreateFile(call.files.back(), line) || !LoadInput(call.files[0], in, line) ||
        !OpenOutput(call, options, scene, line))
        return kFileFailed;
    ScaleInto(in, scene.Terrain());
    return Save(call.files.back(), scene.Terrain(), line);
}
