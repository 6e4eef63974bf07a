// Painting of the program's icon and writing of its files. The light comes
// from the upper left: the left face of the slab and the mountain's left
// flanks are the lit ones.
#include "AppIcon.h"

#include "BmpWriter.h"
#include "IconFile.h"
#include "Noise.h"
#include "Paint.h"
#include "StbWrite.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tg {

namespace {

constexpr float kUnits = 256.0f;  // the layout square
const Rgb kInk = MakeRgb(38, 30, 24);

// Layout in units: the slab's top face (a diamond), its two side faces and
// the mountain standing on the back half of the top.
const std::vector<Vec2> kTop = {{14, 140}, {128, 84}, {242, 140}, {128, 196}};
const std::vector<Vec2> kLeftFace = {{14, 140}, {128, 84}, {128, 40}, {14, 96}};
const std::vector<Vec2> kRightFace = {{128, 84}, {242, 140}, {242, 96}, {128, 40}};
const std::vector<Vec2> kMountain = {{30, 146}, {104, 240}, {136, 202}, {160, 220},
                                     {214, 154}, {178, 136}, {86, 132}};
const Vec2 kPeak{104, 240};
const Vec2 kRidgeFoot{132, 132};  // the main ridge runs from the peak down to here
const Vec2 kLakeCentre{152, 114};
const float kLakeRadiusX = 34.0f, kLakeRadiusY = 13.0f;

// One icon being painted: the canvas and the scale from units to pixels.
struct Painter {
    Canvas canvas;
    float scale;

    Vec2 Pixel(Vec2 unit) const { return {unit.x * scale, unit.y * scale}; }
    Vec2 Unit(int x, int y) const { return {(x + 0.5f) / scale, (y + 0.5f) / scale}; }
    std::vector<Vec2> Pixels(const std::vector<Vec2>& units) const {
        std::vector<Vec2> out;
        for (Vec2 u : units) out.push_back(Pixel(u));
        return out;
    }
    // Line width in pixels for a width in units, never thinner than `least`.
    float Width(float units, float least) const { return std::fmax(units * scale, least); }
};

// Signed distance of an axis-aligned ellipse, close enough near its edge.
float SdEllipse(Vec2 p, Vec2 centre, float rx, float ry) {
    float dx = (p.x - centre.x) / rx, dy = (p.y - centre.y) / ry;
    float r = std::sqrt(dx * dx + dy * dy);
    return (r - 1.0f) * std::fmin(rx, ry);
}

// Which side of the line a -> b the point lies on (> 0: left of it).
float Side(Vec2 p, Vec2 a, Vec2 b) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); }

void PaintOutline(Painter& pt) {
    const float w = pt.Width(4.0f, 1.0f);
    const std::vector<Vec2> slab = pt.Pixels({{14, 140}, {128, 196}, {242, 140}, {242, 96},
                                              {128, 40}, {14, 96}});
    const std::vector<Vec2> mountain = pt.Pixels(kMountain);
    FillShape(pt.canvas, [&](Vec2 p) { return SdPolygon(p, slab) - w; }, kInk);
    FillShape(pt.canvas, [&](Vec2 p) { return SdPolygon(p, mountain) - w; }, kInk);
}

// The side faces: earth with a darker layer across the middle; the left
// face lit, the right one in shade.
void PaintSides(Painter& pt) {
    for (int side = 0; side < 2; ++side) {
        const std::vector<Vec2> face = pt.Pixels(side == 0 ? kLeftFace : kRightFace);
        const float light = side == 0 ? 1.0f : 0.72f;
        ShadeShape(pt.canvas, [&](Vec2 p) { return SdPolygon(p, face); }, [&](int x, int y) {
            Vec2 u = pt.Unit(x, y);
            // Depth below the top edge of the face, 0..1 over its 44 units.
            float topEdge = side == 0 ? 140.0f - (u.x - 14.0f) * 56.0f / 114.0f
                                      : 84.0f + (u.x - 128.0f) * 56.0f / 114.0f;
            float depth = Clamp01((topEdge - u.y) / 44.0f);
            Rgb earth = Mix(MakeRgb(168, 116, 70), MakeRgb(120, 80, 50), depth);
            if (depth > 0.42f && depth < 0.62f) earth = Scale(earth, 0.78f);
            if (depth < 0.12f) earth = MakeRgb(74, 122, 48);  // the turf's edge
            earth = Scale(earth, 1.0f + 0.06f * Fbm(u.x / 12.0f, u.y / 6.0f, 811u, 2));
            return Scale(earth, light);
        });
    }
    // The edge between the faces.
    FillShape(pt.canvas, [&](Vec2 p) {
        return SdSegment(p, pt.Pixel({128, 84}), pt.Pixel({128, 40}), pt.Width(1.2f, 0.45f));
    }, kInk, 0.8f);
}

// The meadow on top, brighter towards the light, with the lake.
void PaintTop(Painter& pt) {
    const std::vector<Vec2> top = pt.Pixels(kTop);
    ShadeShape(pt.canvas, [&](Vec2 p) { return SdPolygon(p, top); }, [&](int x, int y) {
        Vec2 u = pt.Unit(x, y);
        float toLight = Clamp01((u.y - u.x * 0.3f - 60.0f) / 140.0f);
        Rgb grass = Mix(MakeRgb(70, 128, 44), MakeRgb(128, 178, 70), toLight);
        return Scale(grass, 1.0f + 0.10f * Fbm(u.x / 16.0f, u.y / 8.0f, 733u, 3));
    });
    const Vec2 c = pt.Pixel(kLakeCentre);
    const float rx = kLakeRadiusX * pt.scale, ry = kLakeRadiusY * pt.scale;
    const float shore = pt.Width(3.0f, 0.8f);
    FillShape(pt.canvas, [&](Vec2 p) { return SdEllipse(p, c, rx + shore, ry + shore); },
              MakeRgb(196, 176, 120));
    ShadeShape(pt.canvas, [&](Vec2 p) { return SdEllipse(p, c, rx, ry); }, [&](int x, int y) {
        Vec2 u = pt.Unit(x, y);
        float t = Clamp01((u.y - (kLakeCentre.y - kLakeRadiusY)) / (2.0f * kLakeRadiusY));
        return Mix(MakeRgb(40, 96, 176), MakeRgb(92, 156, 214), t);
    });
    // A glint on the water.
    FillShape(pt.canvas, [&](Vec2 p) {
        return SdSegment(p, pt.Pixel({140, 118}), pt.Pixel({160, 118}), pt.Width(2.0f, 0.5f));
    }, MakeRgb(220, 238, 250), 0.8f);
}

// The mountain: rock, lit left of the main ridge, with snow above a wavy line.
void PaintMountain(Painter& pt) {
    const std::vector<Vec2> mountain = pt.Pixels(kMountain);
    ShadeShape(pt.canvas, [&](Vec2 p) { return SdPolygon(p, mountain); }, [&](int x, int y) {
        Vec2 u = pt.Unit(x, y);
        bool lit = Side(u, kRidgeFoot, kPeak) > 0.0f && !(u.x > 146.0f && u.x < 160.0f && u.y > 190.0f);
        float snowLine = 192.0f + 7.0f * std::sin(u.x * 0.16f) + 4.0f * std::sin(u.x * 0.41f);
        Rgb rock = lit ? MakeRgb(150, 138, 126) : MakeRgb(96, 88, 84);
        Rgb snow = lit ? MakeRgb(246, 248, 252) : MakeRgb(184, 198, 224);
        Rgb colour = u.y > snowLine ? snow : rock;
        return Scale(colour, 1.0f + 0.07f * Fbm(u.x / 10.0f, u.y / 10.0f, 907u, 2));
    });
    // The ridge line, drawn in the rock only.
    FillShape(pt.canvas, [&](Vec2 p) {
        return std::fmax(SdSegment(p, pt.Pixel(kPeak), pt.Pixel(kRidgeFoot), pt.Width(1.2f, 0.4f)),
                         SdPolygon(p, mountain));
    }, kInk, 0.45f);
}

// A conifer on the front left of the meadow: a trunk and three tiers.
void PaintTree(Painter& pt) {
    const float x = 62.0f, y = 122.0f;
    FillShape(pt.canvas, [&](Vec2 p) {
        return SdBox(p, pt.Pixel({x - 3, y - 4}), pt.Pixel({x + 3, y + 6}));
    }, MakeRgb(96, 62, 36));
    for (int tier = 0; tier < 3; ++tier) {
        const float base = y + 4.0f + tier * 10.0f, half = 15.0f - tier * 3.5f;
        const std::vector<Vec2> cone = pt.Pixels({{x - half, base}, {x + half, base}, {x, base + 18.0f}});
        FillShape(pt.canvas, [&](Vec2 p) { return SdPolygon(p, cone) - pt.Width(1.5f, 0.5f); }, kInk);
        FillShape(pt.canvas, [&](Vec2 p) { return SdPolygon(p, cone); },
                  Mix(MakeRgb(30, 84, 42), MakeRgb(52, 118, 56), tier / 2.0f));
    }
}

bool MakeFolder(const std::filesystem::path& folder) {
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    if (code) std::fprintf(stderr, "texturegen: cannot make %s: %s\n", folder.string().c_str(),
                           code.message().c_str());
    return !code;
}

}  // namespace

Canvas PaintAppIcon(int size) {
    Painter pt{Canvas(size, size, Rgb{}), size / kUnits};
    pt.canvas.EnableAlpha(0.0f);
    PaintOutline(pt);
    PaintSides(pt);
    PaintTop(pt);
    PaintMountain(pt);
    PaintTree(pt);
    return pt.canvas;
}

bool WriteAppIcons(const std::string& outDir, const std::string& name) {
    namespace fs = std::filesystem;
    bool ok = true;
    for (int size : {48, 128, 256}) {
        const std::string dim = std::to_string(size) + "x" + std::to_string(size);
        const fs::path folder = fs::path(outDir) / "hicolor" / dim / "apps";
        ok = MakeFolder(folder) &&
             WriteFileBytes((folder / (name + ".png")).string(), EncodePngRgba(PaintAppIcon(size))) && ok;
    }
    std::vector<Canvas> sizes;
    for (int size : {16, 32, 48, 256}) sizes.push_back(PaintAppIcon(size));
    return MakeFolder(outDir) &&
           WriteFileBytes((fs::path(outDir) / (name + ".ico")).string(), EncodeIco(sizes)) && ok;
}

}  // namespace tg
