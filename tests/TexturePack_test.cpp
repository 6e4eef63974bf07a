// Tests of the generated texture pack in <build>/textures (made by the
// texture_pack target before this test is built): the ground list covers
// every corner pattern, ground tiles are single 24-bit power-of-two tiles
// whose outer edges show their corners' grounds and meet seamlessly, every
// catalogue file exists, repeat-wrapped textures tile, the cursor's hot spot
// and the menu's icon grid are opaque where the editor needs them, and the
// generator gives the same bytes on every run. Pictures are decoded with the
// editor's own decoders.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "gl/CbmImage.h"
#include "gl/DibImage.h"
#include "support/ImageFiles.h"

namespace {

namespace fs = std::filesystem;

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // bottom row first
    const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

// Decodes "<base>.bmp", or "<base>.cbm" when there is no ".bmp".
bool Load(const std::string& base, Picture* out, std::string* why) {
    RgbImage* image = nullptr;
    std::string error;
    if (fs::exists(base + ".bmp")) {
        std::vector<uint8_t> bytes = testimg::ReadAll(base + ".bmp");
        image = DecodeDib(bytes.data(), bytes.size(), &error);
    } else if (fs::exists(base + ".cbm")) {
        image = ReadCbmFile((base + ".cbm").c_str());
        if (!image) error = "unreadable .cbm";
    } else {
        error = "missing";
    }
    if (!image) {
        *why = base + ": " + error;
        return false;
    }
    out->width = image->width;
    out->height = image->height;
    out->rgb.assign(image->pixels, image->pixels + size_t(image->width) * image->height * 3);
    FreeRgbImage(image);
    return true;
}

Picture MustLoad(const std::string& base) {
    Picture p;
    std::string why;
    EXPECT_TRUE(Load(base, &p, &why)) << why;
    return p;
}

bool PowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

std::string Turn(const std::string& c) { return {c[2], c[0], c[3], c[1]}; }
std::string Flip(const std::string& c) { return {c[1], c[0], c[3], c[2]}; }
std::string Canonical(std::string c) {
    std::string best = c;
    for (int m = 0; m < 2; ++m, c = Flip(c))
        for (int r = 0; r < 4; ++r, c = Turn(c)) best = std::min(best, c);
    return best;
}

std::vector<std::string> GroundList() {
    std::vector<uint8_t> bytes = testimg::ReadAll("textures/ground/_ground.txt");
    std::string text(bytes.begin(), bytes.end());
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(text.substr(start, nl - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// Mean colour of a rectangle [x0, x1) x [y0, y1).
std::array<double, 3> Mean(const Picture& p, int x0, int y0, int x1, int y1) {
    std::array<double, 3> sum{0, 0, 0};
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            for (int k = 0; k < 3; ++k) sum[k] += p.At(x, y)[k];
    double n = double(x1 - x0) * (y1 - y0);
    return {sum[0] / n, sum[1] / n, sum[2] / n};
}

double Distance(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return std::max({std::fabs(a[0] - b[0]), std::fabs(a[1] - b[1]), std::fabs(a[2] - b[2])});
}

// The outermost pixels along one edge of a square tile, walked in the
// edge's own direction (edge 0 bottom, 1 right, 2 top, 3 left).
std::vector<const uint8_t*> EdgeRow(const Picture& p, int edge) {
    std::vector<const uint8_t*> row;
    int n = p.width;
    for (int s = 0; s < n; ++s) {
        switch (edge) {
            case 0: row.push_back(p.At(s, 0)); break;
            case 1: row.push_back(p.At(n - 1, s)); break;
            case 2: row.push_back(p.At(s, n - 1)); break;
            default: row.push_back(p.At(0, s)); break;
        }
    }
    return row;
}

class TexturePackTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists("textures/ground/_ground.txt"))
            << "no texture pack in the build folder: build the texture_pack target";
    }
};

TEST_F(TexturePackTest, GroundListCoversEveryCornerPatternWithVariants) {
    std::vector<std::string> names = GroundList();
    ASSERT_FALSE(names.empty());
    EXPECT_LE(names.size(), 256u);
    std::set<std::string> wanted, found, unique;
    const char letters[3] = {'e', 'w', 's'};
    for (int n = 0; n < 81; ++n)
        wanted.insert(Canonical({letters[n / 27], letters[n / 9 % 3], letters[n / 3 % 3], letters[n % 3]}));
    ASSERT_EQ(wanted.size(), 21u);
    std::map<std::string, int> perPattern;
    for (const std::string& name : names) {
        ASSERT_GE(name.size(), 4u) << name;
        EXPECT_EQ(name.find('\r'), std::string::npos) << "CR in list line " << name;
        for (int k = 0; k < 4; ++k) EXPECT_NE(std::string("ews").find(name[k]), std::string::npos) << name;
        found.insert(Canonical(name.substr(0, 4)));
        ++perPattern[Canonical(name.substr(0, 4))];
        EXPECT_TRUE(unique.insert(name).second) << "listed twice: " << name;
    }
    EXPECT_EQ(found, wanted);
    for (const char* uniform : {"eeee", "wwww", "ssss"}) EXPECT_GE(perPattern[uniform], 3) << uniform;
}

TEST_F(TexturePackTest, GroundTilesAreSingle24BitPowerOfTwoTiles) {
    for (const std::string& name : GroundList()) {
        std::string path = "textures/ground/" + name + ".bmp";
        ASSERT_TRUE(fs::exists(path)) << path;
        std::vector<uint8_t> bytes = testimg::ReadAll(path);
        ASSERT_GE(bytes.size(), 54u);
        EXPECT_EQ(testimg::GetLe16(bytes, 28), 24u) << path;
        EXPECT_EQ(testimg::GetLe32(bytes, 2), bytes.size()) << path;
        Picture p = MustLoad("textures/ground/" + name);
        EXPECT_EQ(p.width, p.height) << path;
        EXPECT_TRUE(PowerOfTwo(p.width) && p.width <= 256) << path << " " << p.width;
    }
}

// Every half edge shows the ground of its corner: its mean colour is close
// to that ground's and clearly nearer to it than to the other two.
TEST_F(TexturePackTest, GroundTileEdgesShowTheirCornersGround) {
    std::map<char, std::array<double, 3>> reference;
    for (char g : {'e', 'w', 's'}) {
        Picture p = MustLoad(std::string("textures/ground/") + std::string(4, g) + "_1");
        ASSERT_GT(p.width, 0);
        reference[g] = Mean(p, 0, 0, p.width, p.height);
    }
    for (const std::string& name : GroundList()) {
        Picture p = MustLoad("textures/ground/" + name);
        ASSERT_GT(p.width, 0);
        const int n = p.width, d = 4, lo = n * 2 / 5, hi = n - n * 2 / 5;
        // (x0, y0, x1, y1, code position) of the eight half-edge strips.
        const int strips[8][5] = {{0, 0, lo, d, 2},        {hi, 0, n, d, 3},        // bottom
                                  {0, n - d, lo, n, 0},    {hi, n - d, n, n, 1},    // top
                                  {0, 0, d, lo, 2},        {0, hi, d, n, 0},        // left
                                  {n - d, 0, n, lo, 3},    {n - d, hi, n, n, 1}};   // right
        for (const auto& s : strips) {
            char ground = name[s[4]];
            auto mean = Mean(p, s[0], s[1], s[2], s[3]);
            double own = Distance(mean, reference[ground]);
            EXPECT_LT(own, 30.0) << name << " strip at " << s[0] << "," << s[1];
            for (char other : {'e', 'w', 's'}) {
                if (other != ground) {
                    EXPECT_LT(own * 2.0, Distance(mean, reference[other])) << name;
                }
            }
        }
    }
}

// Neighbouring blocks are tiled independently and turned or mirrored at
// random, so every outer edge of every uniform tile of one ground must carry
// the same pixels, read in either direction.
TEST_F(TexturePackTest, UniformTilesMeetWithoutSeams) {
    std::vector<std::string> names = GroundList();
    for (char g : {'e', 'w', 's'}) {
        std::vector<Picture> tiles;
        for (const std::string& name : names)
            if (name.compare(0, 4, std::string(4, g)) == 0) tiles.push_back(MustLoad("textures/ground/" + name));
        ASSERT_GE(tiles.size(), 2u);
        std::vector<const uint8_t*> first = EdgeRow(tiles[0], 0);
        // For scale: how much neighbouring pixels differ inside the tile.
        double inner = 0.0;
        for (int s = 0; s + 1 < tiles[0].width; ++s)
            for (int k = 0; k < 3; ++k)
                inner += std::fabs(double(tiles[0].At(s, 128)[k]) - tiles[0].At(s + 1, 128)[k]);
        inner /= 3.0 * (tiles[0].width - 1);
        for (const Picture& t : tiles)
            for (int edge = 0; edge < 4; ++edge) {
                std::vector<const uint8_t*> row = EdgeRow(t, edge);
                double forward = 0.0, backward = 0.0;
                for (size_t s = 0; s < row.size(); ++s)
                    for (int k = 0; k < 3; ++k) {
                        forward += std::fabs(double(row[s][k]) - first[s][k]);
                        backward += std::fabs(double(row[row.size() - 1 - s][k]) - first[s][k]);
                    }
                forward /= 3.0 * row.size();
                backward /= 3.0 * row.size();
                EXPECT_LT(forward, inner * 0.5) << g << " edge " << edge;
                EXPECT_LT(backward, inner * 0.5) << g << " edge " << edge << " reversed";
            }
    }
}

TEST_F(TexturePackTest, EveryCatalogueFileExistsAndSceneTexturesAreSingleTiles) {
    const char* const all[] = {"menue/menue", "menue/groups", "water", "pflanze_klein", "nadelbaum",
                               "nadelbaum_stamm", "fachwerk_alt", "strohdach", "wasserturm_holzseite",
                               "wasserturm_dach", "wasserturm_holz", "bauer_kopf", "cursor/cursor_wood"};
    for (const char* path : all) {
        Picture p = MustLoad(std::string("textures/") + path);
        EXPECT_GT(p.width, 0) << path;
        std::string alpha = std::string("textures/") + path + "_alpha";
        if (fs::exists(alpha + ".bmp")) {
            Picture a = MustLoad(alpha);
            EXPECT_EQ(a.width, p.width) << alpha;
            EXPECT_EQ(a.height, p.height) << alpha;
        }
    }
    // The scene binds these through one texture name: one tile each.
    const char* const scene[] = {"water", "pflanze_klein", "nadelbaum", "nadelbaum_stamm", "fachwerk_alt",
                                 "strohdach", "wasserturm_holzseite", "wasserturm_dach", "wasserturm_holz",
                                 "bauer_kopf"};
    for (const char* path : scene) {
        Picture p = MustLoad(std::string("textures/") + path);
        EXPECT_EQ(p.width, p.height) << path;
        EXPECT_TRUE(PowerOfTwo(p.width) && p.width <= 256) << path;
    }
    // Two entries ship only scrambled, so the ".cbm" path is exercised.
    for (const char* path : {"pflanze_klein", "bauer_kopf"}) {
        EXPECT_FALSE(fs::exists(std::string("textures/") + path + ".bmp")) << path;
        EXPECT_TRUE(fs::exists(std::string("textures/") + path + ".cbm")) << path;
    }
    EXPECT_TRUE(fs::exists("textures/nadelbaum_alpha.bmp"));
    EXPECT_TRUE(fs::exists("textures/pflanze_klein_alpha.bmp"));
}

// Textures drawn with repeat wrap continue across their own edges: the
// step from the last column (row) to the first is like any step inside.
TEST_F(TexturePackTest, RepeatWrappedTexturesTile) {
    for (const char* path : {"water", "wasserturm_holzseite", "wasserturm_holz"}) {
        Picture p = MustLoad(std::string("textures/") + path);
        ASSERT_GT(p.width, 2) << path;
        auto step = [&](int x0, int y0, int x1, int y1) {
            double sum = 0.0;
            int n = 0;
            for (int s = 0; s < p.width; ++s) {
                bool columns = y0 < 0;
                const uint8_t* a = columns ? p.At(x0, s) : p.At(s, y0);
                const uint8_t* b = columns ? p.At(x1, s) : p.At(s, y1);
                for (int k = 0; k < 3; ++k, ++n) sum += std::fabs(double(a[k]) - b[k]);
            }
            return sum / n;
        };
        int w = p.width, h = p.height;
        EXPECT_LT(step(w - 1, -1, 0, -1), 2.0 * step(w / 2, -1, w / 2 + 1, -1) + 3.0) << path << " across x";
        EXPECT_LT(step(0, h - 1, 0, 0), 2.0 * step(0, h / 2, 0, h / 2 + 1) + 3.0) << path << " across y";
    }
}

TEST_F(TexturePackTest, CursorIsOpaqueAtItsHotSpotAndSoftAtItsEdge) {
    Picture colour = MustLoad("textures/cursor/cursor_wood");
    Picture mask = MustLoad("textures/cursor/cursor_wood_alpha");
    ASSERT_EQ(colour.width, 256);
    ASSERT_EQ(colour.height, 256);
    ASSERT_EQ(mask.width, 256);
    // The editor puts rectangle pixel (14, 52) of the 64 x 64 rectangle at
    // (0, 192) under the mouse; black in the mask is opaque.
    EXPECT_EQ(mask.At(14, 192 + 52)[0], 0);
    EXPECT_EQ(mask.At(20, 192 + 40)[0], 0) << "inside the arrow";
    EXPECT_EQ(mask.At(13, 192 + 54)[0], 255) << "above and left of the tip";
    EXPECT_EQ(mask.At(60, 250)[0], 255) << "top-right of the rectangle";
    EXPECT_EQ(mask.At(128, 64)[0], 255) << "outside the rectangle";
    int partial = 0;
    for (int y = 192; y < 256; ++y)
        for (int x = 0; x < 64; ++x)
            if (mask.At(x, y)[0] > 20 && mask.At(x, y)[0] < 235) ++partial;
    EXPECT_GT(partial, 50) << "soft edge and shadow";
}

TEST_F(TexturePackTest, MenuPanelIsOpaqueOverTheGridAndCutAboveItsTop) {
    Picture panel = MustLoad("textures/menue/menue");
    Picture mask = MustLoad("textures/menue/menue_alpha");
    ASSERT_EQ(panel.width, 1280);
    ASSERT_EQ(mask.width, 1280);
    ASSERT_EQ(mask.height, panel.height);
    ASSERT_GE(mask.height, 258);
    // The editor keeps pixels with alpha above 0.4, that is red below 153.
    auto kept = [&](int x, int y) { return mask.At(x, y)[0] < 153; };
    for (int y = 17; y < 257; ++y)
        for (int x = 1026; x < 1266; ++x) ASSERT_TRUE(kept(x, y)) << x << "," << y;
    for (int x = 0; x < 1280; x += 7)
        for (int y = 0; y < 228; y += 5) ASSERT_TRUE(kept(x, y)) << x << "," << y;
    for (int x = 0; x < 960; x += 3)
        for (int y = 233; y < mask.height; ++y) ASSERT_FALSE(kept(x, y)) << x << "," << y;
    for (int x = 1020; x < 1280; x += 3)
        for (int y = 275; y < mask.height; ++y) ASSERT_FALSE(kept(x, y)) << x << "," << y;
}

TEST_F(TexturePackTest, IconSheetHoldsThirteenDistinctIcons) {
    Picture sheet = MustLoad("textures/menue/groups");
    ASSERT_EQ(sheet.width, 256);
    ASSERT_EQ(sheet.height, 256);
    const int cells[13][2] = {{0, 16},   {48, 16},  {0, 112},  {48, 112},  {96, 112},
                              {144, 112}, {0, 160}, {48, 160}, {96, 160}, {144, 160},
                              {0, 208},  {48, 208}, {96, 208}};
    for (int a = 0; a < 13; ++a)
        for (int b = a + 1; b < 13; ++b) {
            double diff = 0.0;
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 48; ++x)
                    for (int k = 0; k < 3; ++k)
                        diff += std::fabs(double(sheet.At(cells[a][0] + x, cells[a][1] + y)[k]) -
                                          sheet.At(cells[b][0] + x, cells[b][1] + y)[k]);
            EXPECT_GT(diff / (48.0 * 48 * 3), 4.0) << "icons " << a << " and " << b << " look alike";
        }
    // Ground swatches: brown earth, green meadow, white snow.
    auto earth = Mean(sheet, 12, 220, 36, 244), meadow = Mean(sheet, 60, 220, 84, 244),
         snow = Mean(sheet, 108, 220, 132, 244);
    EXPECT_TRUE(earth[0] > earth[1] && earth[1] > earth[2]);
    EXPECT_TRUE(meadow[1] > meadow[0] && meadow[1] > meadow[2]);
    EXPECT_GT(std::min({snow[0], snow[1], snow[2]}), 180.0);
    EXPECT_GE(snow[2], snow[0]);
}

// Same seeds, same bytes: a second run of the generator reproduces every
// file of the pack.
TEST_F(TexturePackTest, GeneratorIsDeterministic) {
    ASSERT_TRUE(fs::exists("texturegen")) << "generator not found in the build folder";
    testimg::TempDir temp;
    std::string out = temp.File("textures"), raw = temp.File("raw");
    ASSERT_TRUE(testimg::Run("./texturegen '" + out + "' --raw '" + raw + "'"));
    int compared = 0;
    for (const auto& entry : fs::recursive_directory_iterator(out)) {
        if (!entry.is_regular_file()) continue;
        std::string rel = fs::relative(entry.path(), out).string();
        ASSERT_TRUE(fs::exists("textures/" + rel)) << rel;
        EXPECT_TRUE(testimg::ReadAll(entry.path().string()) == testimg::ReadAll("textures/" + rel)) << rel;
        ++compared;
    }
    EXPECT_GT(compared, 50);
    for (const char* name : {"pflanze_klein.bmp", "bauer_kopf.bmp"})
        EXPECT_TRUE(testimg::ReadAll(raw + "/" + name) == testimg::ReadAll(std::string("texturegen_raw/") + name))
            << name;
}

}  // namespace
