// Droplet erosion (see Erosion.h).
//
// One step of a droplet at position p in cell (cx, cy), offsets (u, v):
//   g   = gradient of the bilinear surface at p
//   d   = d * inertia - g * (1 - inertia), then made a unit vector (a random
//         one when it is zero: the droplet sits on a flat)
//   p  += d; the droplet ends when its new cell leaves the region
//   dh  = height(new p) - height(old p)
//   c   = max(-dh * speed * water * sedimentCapacityFactor, minSedimentCapacity)
//   uphill (dh > 0): drop min(dh, sediment) to fill the pit behind it;
//   carrying more than c: drop (sediment - c) * depositSpeed;
//   both bilinearly onto the four corners of the old cell;
//   else: take min((c - sediment) * erodeSpeed, -dh) from the vertices within
//         erosionRadius of vertex (cx, cy), weighted by radius - distance
//   speed = sqrt(max(0, speed^2 - dh * gravity)): a droplet gains speed as
//         it falls and loses it climbing, as falling water does (the sign
//         taken so that the height lost speeds it up; never the root of a
//         negative number)
//   water *= 1 - evaporateSpeed
// Where the erosion brush reaches past the region or the grid, its weights
// are shared among the vertices inside, so a droplet near the edge takes as
// much as anywhere else.
#include "terrain/Erosion.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "math/Matrixvector.h"
#include "terrain/TerrainModel.h"

int ErosionBrushDroplets(int brush, bool strong) {
    const double b = std::max(1, brush);
    const double area = kPi * b * b;
    const double perVertex = strong ? kErosionDropletsPerVertexStrong : kErosionDropletsPerVertexGentle;
    return std::max(1, int(area * perVertex + 0.5));
}

ErosionRandom::ErosionRandom(uint64_t seed) : state(0) {
    Next();
    state += seed;
    Next();
}

uint32_t ErosionRandom::Next() {
    const uint64_t old = state;
    state = old * 6364136223846793005ull + 1442695040888963407ull;
    const uint32_t xorshifted = uint32_t(((old >> 18) ^ old) >> 27);
    const uint32_t rot = uint32_t(old >> 59);
    return (xorshifted >> rot) | (xorshifted << ((32 - rot) & 31));
}

double ErosionRandom::Unit() { return double(Next()) * (1.0 / 4294967296.0); }

namespace {

// The vertices closer than the radius to a vertex, weighted by radius minus
// distance, the weights summing to 1, column by column (the order the grid
// lies in memory). A radius below 1 erodes the vertex alone.
struct ErosionBrush {
    struct Column {
        int dx, dy0, count;
        size_t first;  // of its weights
    };
    std::vector<Column> columns;
    std::vector<double> weights;
    int reach = 0;  // largest |dx| or |dy| of a vertex

    explicit ErosionBrush(int radius) {
        const int r = std::max(1, radius);
        double sum = 0.0;
        for (int dx = 1 - r; dx <= r - 1; ++dx) {
            Column column{dx, 0, 0, weights.size()};
            for (int dy = 1 - r; dy <= r - 1; ++dy) {
                const double d = std::sqrt(double(dx * dx + dy * dy));
                if (d >= r) continue;
                if (column.count++ == 0) column.dy0 = dy;
                weights.push_back(double(r) - d);
                sum += double(r) - d;
                reach = std::max(reach, std::abs(dx));
            }
            if (column.count > 0) columns.push_back(column);
        }
        for (double& weight : weights) weight /= sum;
    }
};

struct Surface {
    double height, gx, gy;
};

struct Droplet {
    double x, y, dirX = 0.0, dirY = 0.0, speed, water, sediment = 0.0;
};

// One call of ErodeRegion: the model, its limits and what changed.
class ErosionRun {
public:
    ErosionRun(TerrainModel& t, const LandRegion& region, ErosionRandom& rng,
               const ErosionParams& p)
        : t(t), region(region), rng(rng), p(p), brush(p.erosionRadius) {}

    void RunDroplet();
    VertexRect Changed() const { return changed; }

private:
    float& H(int x, int y) { return t.columns[x][y].height; }
    Surface Sample(int cx, int cy, double u, double v);
    bool Start(Droplet& d);
    void RandomDirection(Droplet& d);
    void Write(int x, int y, double h);
    double Deposit(int cx, int cy, double u, double v, double amount);
    double Erode(int cx, int cy, double amount);

    TerrainModel& t;
    const LandRegion& region;
    ErosionRandom& rng;
    const ErosionParams& p;
    const ErosionBrush brush;
    VertexRect changed;
    std::vector<double> cut;  // the brush's weights where the region cuts it
};

Surface ErosionRun::Sample(int cx, int cy, double u, double v) {
    const double h00 = H(cx, cy), h10 = H(cx + 1, cy);
    const double h01 = H(cx, cy + 1), h11 = H(cx + 1, cy + 1);
    Surface s;
    s.gx = (h10 - h00) * (1.0 - v) + (h11 - h01) * v;
    s.gy = (h01 - h00) * (1.0 - u) + (h11 - h10) * u;
    s.height = h00 * (1.0 - u) * (1.0 - v) + h10 * u * (1.0 - v) + h01 * (1.0 - u) * v +
               h11 * u * v;
    return s;
}

// A uniform point of the region: of the map's cells, or of the brush disc.
bool ErosionRun::Start(Droplet& d) {
    if (region.wholeMap) {
        d.x = rng.Unit() * double(t.width);
        d.y = rng.Unit() * double(t.height);
        return true;
    }
    for (int attempt = 0; attempt < 64; ++attempt) {
        const double u = 2.0 * rng.Unit() - 1.0, v = 2.0 * rng.Unit() - 1.0;
        if (u * u + v * v > 1.0) continue;
        d.x = double(region.px) + 0.5 + u * double(region.brush);
        d.y = double(region.py) + 0.5 + v * double(region.brush);
        return true;
    }
    return false;
}

void ErosionRun::RandomDirection(Droplet& d) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        const double u = 2.0 * rng.Unit() - 1.0, v = 2.0 * rng.Unit() - 1.0;
        const double length = std::sqrt(u * u + v * v);
        if (length == 0.0 || length > 1.0) continue;
        d.dirX = u / length;
        d.dirY = v / length;
        return;
    }
    d.dirX = 1.0;
    d.dirY = 0.0;
}

void ErosionRun::Write(int x, int y, double h) {
    float& stored = H(x, y);
    const float now = float(h);
    if (now == stored) return;
    stored = now;
    changed.Add(x, y);
}

// Drops amount onto the corners of cell (cx, cy) by their bilinear weights,
// no corner above maxHeight; returns what was dropped.
double ErosionRun::Deposit(int cx, int cy, double u, double v, double amount) {
    const int xs[4] = {cx, cx + 1, cx, cx + 1}, ys[4] = {cy, cy, cy + 1, cy + 1};
    const double w[4] = {(1.0 - u) * (1.0 - v), u * (1.0 - v), (1.0 - u) * v, u * v};
    double dropped = 0.0;
    for (int i = 0; i < 4; ++i) {
        const double h = H(xs[i], ys[i]);
        const double add = std::min(amount * w[i], std::max(0.0, double(t.maxHeight) - h));
        if (add <= 0.0) continue;
        Write(xs[i], ys[i], h + add);
        dropped += add;
    }
    return dropped;
}

// Takes amount from the brush around vertex (cx, cy), no vertex below
// minHeight; returns what was taken.
double ErosionRun::Erode(int cx, int cy, double amount) {
    const int e = brush.reach;
    const bool whole = region.Contains(t, cx - e, cy - e) && region.Contains(t, cx + e, cy - e) &&
                       region.Contains(t, cx - e, cy + e) && region.Contains(t, cx + e, cy + e);
    const std::vector<double>* weights = &brush.weights;
    if (!whole) {
        // The brush cut by the region, its weights made to sum to 1 again.
        cut.assign(brush.weights.size(), 0.0);
        double sum = 0.0;
        for (const ErosionBrush::Column& c : brush.columns)
            for (int k = 0; k < c.count; ++k)
                if (region.Contains(t, cx + c.dx, cy + c.dy0 + k)) {
                    cut[c.first + size_t(k)] = brush.weights[c.first + size_t(k)];
                    sum += cut[c.first + size_t(k)];
                }
        if (sum <= 0.0) return 0.0;
        for (double& weight : cut) weight /= sum;
        weights = &cut;
    }
    const double floor = t.minHeight;
    double taken = 0.0;
    for (const ErosionBrush::Column& c : brush.columns) {
        const int x = cx + c.dx;
        for (int k = 0; k < c.count; ++k) {
            const double weight = (*weights)[c.first + size_t(k)];
            if (weight == 0.0) continue;
            const int y = cy + c.dy0 + k;
            const double h = H(x, y);
            const double take = std::min(amount * weight, std::max(0.0, h - floor));
            if (take <= 0.0) continue;
            Write(x, y, h - take);
            taken += take;
        }
    }
    return taken;
}

void ErosionRun::RunDroplet() {
    Droplet d;
    if (!Start(d)) return;
    d.speed = p.initialSpeed;
    d.water = p.initialWater;
    for (int life = 0; life < p.maxDropletLifetime; ++life) {
        const int cx = int(std::floor(d.x)), cy = int(std::floor(d.y));
        if (!region.HoldsCell(t, cx, cy)) return;
        const double u = d.x - cx, v = d.y - cy;
        const Surface here = Sample(cx, cy, u, v);
        // A height that is no number (from a damaged map) ends the droplet
        // before it can spread to its neighbours.
        if (!std::isfinite(here.height) || !std::isfinite(here.gx) || !std::isfinite(here.gy)) return;
        d.dirX = d.dirX * p.inertia - here.gx * (1.0 - p.inertia);
        d.dirY = d.dirY * p.inertia - here.gy * (1.0 - p.inertia);
        const double length = std::sqrt(d.dirX * d.dirX + d.dirY * d.dirY);
        if (length > 0.0) {
            d.dirX /= length;
            d.dirY /= length;
        } else {
            RandomDirection(d);
        }
        d.x += d.dirX;
        d.y += d.dirY;
        const int nx = int(std::floor(d.x)), ny = int(std::floor(d.y));
        if (!region.HoldsCell(t, nx, ny)) return;
        const double dh = Sample(nx, ny, d.x - nx, d.y - ny).height - here.height;
        if (!std::isfinite(dh)) return;
        const double capacity = std::max(-dh * d.speed * d.water * p.sedimentCapacityFactor,
                                         p.minSedimentCapacity);
        if (dh > 0.0 || d.sediment > capacity) {
            const double drop =
                dh > 0.0 ? std::min(dh, d.sediment) : (d.sediment - capacity) * p.depositSpeed;
            d.sediment -= Deposit(cx, cy, u, v, drop);
        } else {
            const double take = std::min((capacity - d.sediment) * p.erodeSpeed, -dh);
            d.sediment += Erode(cx, cy, take);
        }
        d.speed = std::sqrt(std::max(0.0, d.speed * d.speed - dh * p.gravity));
        d.water *= 1.0 - p.evaporateSpeed;
    }
}

}  // namespace

VertexRect ErodeRegion(TerrainModel& t, const LandRegion& region, int droplets, ErosionRandom& rng,
                       const ErosionParams& params) {
    if (t.columns == nullptr || t.width < 1 || t.height < 1) return VertexRect();
    ErosionRun run(t, region, rng, params);
    for (int i = 0; i < droplets; ++i) run.RunDroplet();
    return run.Changed();
}

void RelightAfterErosion(TerrainModel& t, const VertexRect& changed) {
    if (changed.Empty()) return;
    const int x0 = std::max(0, changed.x0 - 1), y0 = std::max(0, changed.y0 - 1);
    const int x1 = std::min(t.width, changed.x1), y1 = std::min(t.height, changed.y1);
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y) t.RelightVertex(x, y);
}
