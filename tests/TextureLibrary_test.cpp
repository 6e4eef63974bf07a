// Tests of the texture library: tile decomposition, sharing, registration
// and name order, per-tile alpha, the ".cbm" fallback, list files, lookup and
// teardown. Real OpenGL through the headless backend; every test works in its
// own scratch directory with pictures written by the test itself.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "gl/CbmImage.h"
#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "support/TextureTestFiles.h"
#include "tests/support/ImageFiles.h"

namespace {

// Distinct colour for every pixel of a picture up to 4096 x 4096.
PixelColour Gradient(int x, int y) {
    return {static_cast<uint8_t>(x & 255), static_cast<uint8_t>(y & 255),
            static_cast<uint8_t>(0x80 | ((x >> 8) & 7) | (((y >> 8) & 7) << 3))};
}

std::vector<int> ColumnWidths(const TextureRecord& record) {
    std::vector<int> widths;
    for (int c = 0; c < record.tileColumns; ++c) widths.push_back(record.tiles[c].width);
    return widths;
}

std::vector<int> RowHeights(const TextureRecord& record) {
    std::vector<int> heights;
    for (int r = 0; r < record.tileRows; ++r) {
        heights.push_back(record.tiles[r * record.tileColumns].height);
    }
    return heights;
}

GLint TexLevelParameter(uint32_t name, GLenum parameter) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
    return value;
}

// Level 0 of a texture as R, G, B, A bytes, bottom row first.
std::vector<uint8_t> ReadTexture(uint32_t name, int width, int height) {
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 4);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

// Compares every texel of a tile with the picture; alpha is expected 255.
void ExpectTileShowsPicture(const TextureTile& tile, const TestPicture& picture) {
    std::vector<uint8_t> texels = ReadTexture(tile.glName, tile.width, tile.height);
    int wrong = 0;
    for (int y = 0; y < tile.height; ++y) {
        for (int x = 0; x < tile.width; ++x) {
            const uint8_t* texel = &texels[(static_cast<size_t>(y) * tile.width + x) * 4];
            const uint8_t* pixel = picture.At(tile.x + x, tile.y + y);
            if (texel[0] != pixel[0] || texel[1] != pixel[1] || texel[2] != pixel[2] ||
                texel[3] != 255) {
                ++wrong;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "tile at " << tile.x << "," << tile.y;
}

void ExpectTilesShowPicture(const TextureRecord& record, const TestPicture& picture) {
    for (int t = 0; t < record.tileColumns * record.tileRows; ++t) {
        ExpectTileShowsPicture(record.tiles[t], picture);
    }
}

class TextureLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.Ok());
        headless::Reset();
        window = new OpenGLFullscreen(1280, 1024);
        ASSERT_TRUE(window->IsCreated());
    }
    void TearDown() override { delete window; }

    ScratchDirectory scratch;
    OpenGLFullscreen* window = nullptr;
    TextureRecord records[8] = {};
};

TEST_F(TextureLibraryTest, ImagesAreCutIntoFallingPowersOfTwo) {
    const TestPicture wide = MakePicture(600, 8, Gradient);
    const TestPicture odd = MakePicture(300, 200, Gradient);
    ASSERT_TRUE(WriteBmp24("wide.bmp", wide));
    ASSERT_TRUE(WriteBmp24("odd.bmp", odd));
    ASSERT_TRUE(WriteBmp24("square.bmp", SolidPicture(256, 256, {1, 2, 3})));
    ASSERT_TRUE(WriteBmp24("pair.bmp", SolidPicture(512, 256, {4, 5, 6})));

    window->LoadTexture(&records[0], "wide", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, "wide");
    EXPECT_EQ(ColumnWidths(records[0]), (std::vector<int>{256, 256, 64, 16, 8}));
    EXPECT_EQ(RowHeights(records[0]), (std::vector<int>{8}));

    window->LoadTexture(&records[1], "odd", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, "odd");
    const TextureRecord& r = records[1];
    EXPECT_EQ(r.width, 300);
    EXPECT_EQ(r.height, 200);
    ASSERT_EQ(r.tileColumns * r.tileRows, 12);
    EXPECT_EQ(ColumnWidths(r), (std::vector<int>{256, 32, 8, 4}));
    EXPECT_EQ(RowHeights(r), (std::vector<int>{128, 64, 8}));
    // Row-major from the bottom: tile (row 2, column 3) is the top-right one.
    EXPECT_EQ(r.tiles[11].x, 296);
    EXPECT_EQ(r.tiles[11].y, 192);
    EXPECT_EQ(r.tiles[5].x, 256);
    EXPECT_EQ(r.tiles[5].y, 128);

    window->LoadTexture(&records[2], "square", GL_NEAREST, GL_NEAREST, GL_REPEAT, "square");
    window->LoadTexture(&records[3], "pair", GL_NEAREST, GL_NEAREST, GL_REPEAT, "pair");
    EXPECT_EQ(window->tileCount, 5 + 12 + 1 + 2);

    window->UploadTextures();
    EXPECT_NE(records[2].glName, 0u);
    EXPECT_EQ(records[2].glName, records[2].tiles[0].glName);
    EXPECT_EQ(records[3].glName, 0u);
    EXPECT_EQ(records[1].pixels, nullptr);
    EXPECT_EQ(records[1].alphaPixels, nullptr);
    // Tight rows were uploaded without disturbing the caller's unpack state.
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
    ExpectTilesShowPicture(records[1], odd);
    ExpectTilesShowPicture(records[0], wide);
    EXPECT_EQ(TexLevelParameter(records[1].tiles[0].glName, GL_TEXTURE_ALPHA_SIZE), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureLibraryTest, EmptyAndMissingImagesGiveNoTiles) {
    RgbImage empty;
    empty.width = 0;
    empty.height = 5;
    ASSERT_TRUE(WriteCbmFile("empty.cbm", empty));

    window->LoadTexture(&records[0], "empty", GL_NEAREST, GL_NEAREST, GL_REPEAT, "empty");
    window->LoadTexture(&records[1], "nowhere/missing", GL_LINEAR, GL_LINEAR, GL_REPEAT, "missing");
    window->LoadTexture(&records[2], "no_extension_needed", GL_LINEAR, GL_LINEAR, GL_REPEAT, "x");
    EXPECT_EQ(window->textureCount, 3);
    EXPECT_EQ(window->tileCount, 0);
    EXPECT_EQ(records[0].height, 5);
    EXPECT_EQ(records[0].tileColumns * records[0].tileRows, 0);
    EXPECT_EQ(records[1].tiles, nullptr);
    EXPECT_STREQ(records[1].path, "nowhere/missing");
    EXPECT_EQ(records[1].format, static_cast<uint32_t>(GL_RGB));

    window->UploadTextures();
    EXPECT_EQ(window->tileNames, nullptr);
    EXPECT_EQ(records[0].glName, 0u);
    EXPECT_EQ(records[1].glName, 0u);
    EXPECT_EQ(window->FindTexture("missing"), &records[1]);
    // A missing colour file is silent.
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST_F(TextureLibraryTest, SameFileAndFiltersShareTheFirstLoad) {
    ASSERT_TRUE(WriteBmp24("sheet.bmp", MakePicture(64, 32, Gradient)));
    window->LoadTexture(&records[0], "sheet", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, "a");
    // Other wrap mode: still shared (the source's textures, the source's wrap).
    window->LoadTexture(&records[1], "sheet", GL_NEAREST, GL_NEAREST, GL_REPEAT, "b");
    // Other magnification filter: read again.
    window->LoadTexture(&records[2], "sheet", GL_NEAREST, GL_LINEAR, GL_CLAMP_TO_EDGE, "c");
    // Matches both the first and the third; the first in registration order wins,
    // and the sharing second one is never a source.
    window->LoadTexture(&records[3], "sheet", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, "d");
    window->LoadTexture(&records[4], "sheet", GL_NEAREST, GL_LINEAR, GL_REPEAT, "e");

    EXPECT_EQ(records[1].sharedFrom, &records[0]);
    EXPECT_EQ(records[1].path, nullptr);
    EXPECT_EQ(records[1].pixels, nullptr);
    EXPECT_EQ(records[1].tiles, records[0].tiles);
    EXPECT_EQ(records[1].width, 64);
    EXPECT_EQ(records[1].height, 32);
    EXPECT_EQ(records[1].wrap, static_cast<uint32_t>(GL_REPEAT));
    EXPECT_EQ(records[2].sharedFrom, nullptr);
    EXPECT_STREQ(records[2].path, "sheet");
    EXPECT_NE(records[2].pixels, nullptr);
    EXPECT_NE(records[2].tiles, records[0].tiles);
    EXPECT_EQ(records[3].sharedFrom, &records[0]);
    EXPECT_EQ(records[4].sharedFrom, &records[2]);
    EXPECT_EQ(window->textureCount, 5);
    EXPECT_EQ(window->tileCount, 2);

    window->UploadTextures();
    EXPECT_NE(records[0].glName, 0u);
    EXPECT_EQ(records[1].glName, records[0].glName);
    EXPECT_EQ(records[3].glName, records[0].glName);
    EXPECT_EQ(records[4].glName, records[2].glName);
    EXPECT_NE(records[2].glName, records[0].glName);
    // The shared texture keeps the wrap mode of the record that read the file.
    glBindTexture(GL_TEXTURE_2D, records[1].glName);
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
}

TEST_F(TextureLibraryTest, NamesFollowRegistrationAndTileOrder) {
    ASSERT_TRUE(WriteBmp24("many.bmp", MakePicture(300, 200, Gradient)));
    ASSERT_TRUE(WriteBmp24("one.bmp", SolidPicture(64, 64, {9, 9, 9})));
    ASSERT_TRUE(WriteBmp24("two.bmp", SolidPicture(512, 256, {8, 8, 8})));
    window->LoadTexture(&records[0], "many", GL_LINEAR, GL_LINEAR, GL_REPEAT, "many");
    window->LoadTexture(&records[1], "absent", GL_LINEAR, GL_LINEAR, GL_REPEAT, "absent");
    window->LoadTexture(&records[2], "one", GL_LINEAR, GL_LINEAR, GL_REPEAT, "one");
    window->LoadTexture(&records[3], "many", GL_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, "shared");
    window->LoadTexture(&records[4], "two", GL_LINEAR, GL_LINEAR, GL_REPEAT, "two");
    ASSERT_EQ(window->tileCount, 15);

    window->UploadTextures();
    ASSERT_NE(window->tileNames, nullptr);
    for (int t = 0; t < 12; ++t) EXPECT_EQ(records[0].tiles[t].glName, window->tileNames[t]);
    EXPECT_EQ(records[2].glName, window->tileNames[12]);
    EXPECT_EQ(records[4].tiles[0].glName, window->tileNames[13]);
    EXPECT_EQ(records[4].tiles[1].glName, window->tileNames[14]);
    EXPECT_EQ(records[3].glName, 0u);  // shares a texture of 12 tiles
    for (int t = 0; t < 15; ++t) EXPECT_TRUE(glIsTexture(window->tileNames[t])) << t;
    // Upload order is the order of the name array: tile k got name k.
    for (int t = 1; t < 12; ++t) {
        EXPECT_GT(records[0].tiles[t].glName, records[0].tiles[t - 1].glName);
    }
}

TEST_F(TextureLibraryTest, AlphaIsDecidedPerTileFromTheRedChannel) {
    const TestPicture colour = MakePicture(512, 256, Gradient);
    // Left tile: red 0 everywhere (green set, which does not count). Right
    // tile: black but for one pixel in its last scanned corner.
    TestPicture mask = MakePicture(512, 256, [](int x, int) -> PixelColour {
        return {0, static_cast<uint8_t>(x < 256 ? 255 : 0), 0};
    });
    mask.rgb[(static_cast<size_t>(255) * 512 + 511) * 3] = 200;
    ASSERT_TRUE(WriteBmp24("leaf.bmp", colour));
    ASSERT_TRUE(WriteBmp24("leaf_alpha.bmp", mask));

    window->LoadTexture(&records[0], "leaf", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, "leaf");
    EXPECT_EQ(records[0].format, static_cast<uint32_t>(GL_RGBA));
    ASSERT_EQ(records[0].tileColumns, 2);
    window->UploadTextures();

    const TextureTile& opaque = records[0].tiles[0];
    const TextureTile& masked = records[0].tiles[1];
    EXPECT_EQ(TexLevelParameter(opaque.glName, GL_TEXTURE_ALPHA_SIZE), 0);
    EXPECT_GT(TexLevelParameter(masked.glName, GL_TEXTURE_ALPHA_SIZE), 0);
    EXPECT_EQ(TexLevelParameter(masked.glName, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);

    std::vector<uint8_t> texels = ReadTexture(masked.glName, 256, 256);
    const uint8_t* corner = &texels[(static_cast<size_t>(255) * 256 + 255) * 4];
    EXPECT_EQ(corner[3], 255 - 200);
    EXPECT_EQ(corner[0], colour.At(511, 255)[0]);
    EXPECT_EQ(corner[2], colour.At(511, 255)[2]);
    EXPECT_EQ(texels[3], 255);  // black mask: opaque
    EXPECT_EQ(texels[4 * 100 + 1], colour.At(356, 0)[1]);
    ExpectTileShowsPicture(opaque, colour);
}

TEST_F(TextureLibraryTest, AlphaImageOfAnotherSizeIsIgnored) {
    ASSERT_TRUE(WriteBmp24("big.bmp", MakePicture(64, 64, Gradient)));
    ASSERT_TRUE(WriteBmp24("big_alpha.bmp", SolidPicture(32, 16, {255, 255, 255})));
    ASSERT_TRUE(WriteBmp24("small.bmp", MakePicture(16, 16, Gradient)));
    ASSERT_TRUE(WriteBmp24("small_alpha.bmp", SolidPicture(64, 64, {255, 255, 255})));
    window->LoadTexture(&records[0], "big", GL_NEAREST, GL_NEAREST, GL_REPEAT, "big");
    window->LoadTexture(&records[1], "small", GL_NEAREST, GL_NEAREST, GL_REPEAT, "small");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(records[i].format, static_cast<uint32_t>(GL_RGB)) << i;
        EXPECT_EQ(records[i].alphaPixels, nullptr) << i;
    }
    window->UploadTextures();
    EXPECT_EQ(TexLevelParameter(records[0].glName, GL_TEXTURE_ALPHA_SIZE), 0);
    EXPECT_EQ(TexLevelParameter(records[1].glName, GL_TEXTURE_ALPHA_SIZE), 0);
    ExpectTilesShowPicture(records[0], MakePicture(64, 64, Gradient));
}

TEST_F(TextureLibraryTest, ScrambledFileStandsInForAMissingBitmap) {
    const TestPicture picture = MakePicture(40, 24, Gradient);
    RgbImage image;
    image.width = picture.width;
    image.height = picture.height;
    image.pixels = const_cast<uint8_t*>(picture.rgb.data());
    ASSERT_TRUE(WriteCbmFile("hidden.cbm", image));
    RgbImage mask;
    std::vector<uint8_t> white(picture.rgb.size(), 255);
    mask.width = picture.width;
    mask.height = picture.height;
    mask.pixels = white.data();
    ASSERT_TRUE(WriteCbmFile("hidden_alpha.cbm", mask));

    window->LoadTexture(&records[0], "hidden", GL_NEAREST, GL_NEAREST, GL_REPEAT, "hidden");
    EXPECT_EQ(records[0].width, 40);
    EXPECT_EQ(records[0].height, 24);
    EXPECT_EQ(records[0].format, static_cast<uint32_t>(GL_RGBA));
    EXPECT_EQ(ColumnWidths(records[0]), (std::vector<int>{32, 8}));
    window->UploadTextures();
    std::vector<uint8_t> texels = ReadTexture(records[0].tiles[1].glName, 8, 16);
    const uint8_t* texel = &texels[(static_cast<size_t>(3) * 8 + 5) * 4];
    EXPECT_EQ(texel[0], picture.At(37, 3)[0]);
    EXPECT_EQ(texel[1], picture.At(37, 3)[1]);
    EXPECT_EQ(texel[2], picture.At(37, 3)[2]);
    EXPECT_EQ(texel[3], 0);  // white mask: transparent

    // The name buffer itself is rewritten: ".cbm" in place of the first
    // ".bmp", the string ended right after it.
    char name[] = "none.bmp.bmp";
    EXPECT_EQ(window->LoadImageFile(name), nullptr);
    EXPECT_STREQ(name, "none.cbm");
    char plain[] = "none.png";
    EXPECT_EQ(window->LoadImageFile(plain), nullptr);
    EXPECT_STREQ(plain, "none.png");
    EXPECT_EQ(window->LoadImageFile(nullptr), nullptr);
}

TEST_F(TextureLibraryTest, PathsTooLongForTheNameBuffersAreRefused) {
    // 1016 characters: path + ".bmp" would fit 1024 characters, path +
    // "_alpha.bmp" would not. Nothing is truncated; the texture stays empty.
    std::string path;
    for (int i = 0; i < 4; ++i) {
        path += std::string(200, static_cast<char>('a' + i));
        std::filesystem::create_directory(path);
        path += "/";
    }
    path += std::string(1016 - path.size(), 'z');
    ASSERT_EQ(path.size(), 1016u);
    ASSERT_TRUE(WriteBmp24(path + ".bmp", SolidPicture(8, 8, {1, 1, 1})));

    window->LoadTexture(&records[0], path.c_str(), GL_NEAREST, GL_NEAREST, GL_REPEAT, "long");
    EXPECT_EQ(window->textureCount, 1);
    EXPECT_STREQ(records[0].path, path.c_str());
    EXPECT_EQ(records[0].tiles, nullptr);
    EXPECT_EQ(records[0].pixels, nullptr);
    EXPECT_EQ(window->tileCount, 0);
}

TEST_F(TextureLibraryTest, FindTextureReturnsTheFirstRegisteredName) {
    window->LoadTexture(&records[0], "p0", GL_LINEAR, GL_LINEAR, GL_REPEAT, "twice");
    window->LoadTexture(&records[1], "p1", GL_LINEAR, GL_LINEAR, GL_REPEAT, "Twice");
    window->LoadTexture(&records[2], "p2", GL_LINEAR, GL_LINEAR, GL_REPEAT, "twice");
    EXPECT_EQ(window->FindTexture("twice"), &records[0]);
    EXPECT_EQ(window->FindTexture("Twice"), &records[1]);
    EXPECT_EQ(window->FindTexture("twic"), nullptr);
    EXPECT_EQ(window->FindTexture("never"), nullptr);
    EXPECT_EQ(window->FindTexture(nullptr), nullptr);
    // The name is a copy, not the caller's buffer.
    EXPECT_NE(records[0].name, nullptr);
}

TEST_F(TextureLibraryTest, ListEntriesAreLinesInFileOrder) {
    std::filesystem::create_directory("ground");
    ASSERT_TRUE(WriteBmp24("ground/a.bmp", SolidPicture(16, 16, {7, 7, 7})));
    ASSERT_TRUE(WriteTextFile("ground/list.txt", "a\n\nb c\r\nlast"));
    TextureRecord list[6] = {};
    int count = -1;
    EXPECT_TRUE(window->LoadTextureList(list, count, "ground/", "list.txt", 6));
    ASSERT_EQ(count, 4);
    EXPECT_STREQ(list[0].name, "a");
    EXPECT_STREQ(list[1].name, "");
    EXPECT_STREQ(list[2].name, "b c");
    EXPECT_STREQ(list[3].name, "last");
    EXPECT_STREQ(list[2].path, "ground/b c");
    EXPECT_STREQ(list[3].path, "ground/last");
    EXPECT_EQ(list[0].tileColumns, 1);
    EXPECT_EQ(list[0].minFilter, static_cast<uint32_t>(GL_LINEAR));
    EXPECT_EQ(list[0].magFilter, static_cast<uint32_t>(GL_LINEAR));
    EXPECT_EQ(list[0].wrap, static_cast<uint32_t>(GL_CLAMP_TO_EDGE));
    EXPECT_EQ(list[4].name, nullptr);
    EXPECT_EQ(window->textureCount, 4);

    // At most the maximum count, from the first element on.
    TextureRecord few[3] = {};
    EXPECT_TRUE(window->LoadTextureList(few, count, "ground/", "list.txt", 2));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(few[2].name, nullptr);
    EXPECT_EQ(window->textureCount, 6);
    EXPECT_TRUE(headless::MessageBoxes().empty());
    window->UploadTextures();
    // Entries "a" of both lists name the same file with the same filters.
    EXPECT_EQ(few[0].sharedFrom, &list[0]);
    EXPECT_NE(list[0].glName, 0u);
}

TEST_F(TextureLibraryTest, OverlongListLinesStayOneEntry) {
    const std::string full(1023, 'f');
    const std::string withReturn(1022, 'r');
    const std::string overlong(1500, 'o');
    ASSERT_TRUE(WriteTextFile("list.txt", full + "\n" + "after_full\n" + withReturn + "\r\n" +
                                              overlong + "\n" + "after_overlong\r\n" +
                                              overlong + "\r\n" + "end"));
    TextureRecord list[8] = {};
    int count = 0;
    EXPECT_TRUE(window->LoadTextureList(list, count, "", "list.txt", 8));
    ASSERT_EQ(count, 7);
    EXPECT_EQ(std::string(list[0].name), full);
    EXPECT_STREQ(list[1].name, "after_full");
    EXPECT_EQ(std::string(list[2].name), withReturn);
    EXPECT_EQ(std::string(list[3].name), overlong.substr(0, 1023));
    EXPECT_STREQ(list[4].name, "after_overlong");
    EXPECT_EQ(std::string(list[5].name), overlong.substr(0, 1023));
    EXPECT_STREQ(list[6].name, "end");
    EXPECT_EQ(list[3].tiles, nullptr);
}

TEST_F(TextureLibraryTest, MissingListIsReportedOnce) {
    TextureRecord list[2] = {};
    int count = 5;
    EXPECT_FALSE(window->LoadTextureList(list, count, "nowhere/", "_ground.txt", 2));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(window->textureCount, 0);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    const headless::RecordedBox& box = headless::MessageBoxes()[0];
    EXPECT_EQ(box.text, "TexturFile kann nicht geöffnet werden.");
    EXPECT_EQ(box.title, "Fehler");
    EXPECT_EQ(box.flags, 0x30u);
    EXPECT_EQ(box.owner, nullptr);
}

// Something that is not a regular file under a texture's or the list's name
// (a FIFO would block any read until a writer comes; a folder opens on Linux
// and has no size) counts as missing: never read, never reported otherwise.
TEST_F(TextureLibraryTest, NonRegularFilesCountAsMissing) {
    ASSERT_TRUE(WriteBmp24("pic.bmp", SolidPicture(4, 4, {1, 2, 3})));
    ASSERT_EQ(mkfifo("pic_alpha.bmp", 0644), 0);  // beside a real picture
    ASSERT_EQ(mkfifo("fifo.bmp", 0644), 0);
    ASSERT_EQ(mkfifo("scrambled.cbm", 0644), 0);  // the fallback when no .bmp
    ASSERT_TRUE(std::filesystem::create_directory("folder.bmp"));
    ASSERT_TRUE(std::filesystem::create_directory("folder.cbm"));

    struct Case {
        const char* path;
        int tiles;
        uint32_t format;
    };
    const Case cases[] = {{"pic", 1, GL_RGB},
                          {"fifo", 0, GL_RGB},
                          {"scrambled", 0, GL_RGB},
                          {"folder", 0, GL_RGB}};
    int index = 0;
    for (const Case& c : cases) {
        TextureRecord& record = records[index++];
        window->LoadTexture(&record, c.path, GL_LINEAR, GL_LINEAR, GL_REPEAT, c.path);
        EXPECT_EQ(record.tileColumns * record.tileRows, c.tiles) << c.path;
        EXPECT_EQ(record.format, c.format) << c.path;
    }
    EXPECT_TRUE(headless::MessageBoxes().empty());

    // A list that is a FIFO or a folder is a list that does not open.
    ASSERT_EQ(mkfifo("_ground.txt", 0644), 0);
    ASSERT_TRUE(std::filesystem::create_directory("dir"));
    ASSERT_TRUE(std::filesystem::create_directory("dir/_ground.txt"));
    int count = 5;
    EXPECT_FALSE(window->LoadTextureList(records + 4, count, "", "_ground.txt", 2));
    EXPECT_FALSE(window->LoadTextureList(records + 4, count, "dir/", "_ground.txt", 2));
    EXPECT_EQ(count, 0);
    ASSERT_EQ(headless::MessageBoxes().size(), 2u);
    EXPECT_EQ(headless::MessageBoxes()[1].text, "TexturFile kann nicht geöffnet werden.");
}

TEST(TextureLibraryTeardown, RecordStorageMayBeGoneBeforeTheWindow) {
    ScratchDirectory scratch;
    ASSERT_TRUE(scratch.Ok());
    ASSERT_TRUE(WriteBmp24("t.bmp", SolidPicture(64, 64, {3, 2, 1})));
    ASSERT_TRUE(WriteBmp24("u.bmp", SolidPicture(512, 256, {3, 2, 1})));
    headless::Reset();
    OpenGLFullscreen* window = new OpenGLFullscreen(1280, 1024);
    ASSERT_TRUE(window->IsCreated());

    // The ground records live in the terrain, which ends before the window.
    TextureRecord* owned = new TextureRecord[3]();
    window->LoadTexture(&owned[0], "t", GL_LINEAR, GL_LINEAR, GL_REPEAT, "t");
    window->LoadTexture(&owned[1], "t", GL_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, "t2");
    window->LoadTexture(&owned[2], "u", GL_LINEAR, GL_LINEAR, GL_REPEAT, "u");
    window->UploadTextures();
    // A record loaded twice (the second time with more tiles) and pixels
    // that were never uploaded.
    TextureRecord again = {};
    TextureRecord pending = {};
    window->LoadTexture(&again, "t", GL_NEAREST, GL_NEAREST, GL_REPEAT, "again");
    window->LoadTexture(&again, "u", GL_NEAREST, GL_NEAREST, GL_REPEAT, "again");
    window->LoadTexture(&pending, "u", GL_NEAREST, GL_LINEAR, GL_REPEAT, "pending");

    std::memset(static_cast<void*>(owned), 0xA5, sizeof(TextureRecord) * 3);  // storage reused
    delete[] owned;
    delete window;

    // A new window starts with an empty registry.
    window = new OpenGLFullscreen(1280, 1024);
    ASSERT_TRUE(window->IsCreated());
    EXPECT_EQ(window->textureCount, 0);
    EXPECT_EQ(window->tileCount, 0);
    EXPECT_EQ(window->FindTexture("t"), nullptr);
    window->LoadTexture(&again, "u", GL_NEAREST, GL_NEAREST, GL_REPEAT, "again");
    window->UploadTextures();
    EXPECT_EQ(again.tileColumns, 2);
    EXPECT_TRUE(glIsTexture(again.tiles[1].glName));
    delete window;
}

TEST(TextureLibraryTeardown, RecordRegisteredTwiceIsUploadedOnce) {
    ScratchDirectory scratch;
    ASSERT_TRUE(scratch.Ok());
    ASSERT_TRUE(WriteBmp24("one.bmp", SolidPicture(64, 64, {1, 1, 1})));
    ASSERT_TRUE(WriteBmp24("four.bmp", SolidPicture(512, 512, {2, 2, 2})));
    headless::Reset();
    OpenGLFullscreen window(1280, 1024);
    ASSERT_TRUE(window.IsCreated());
    TextureRecord record = {};
    window.LoadTexture(&record, "one", GL_NEAREST, GL_NEAREST, GL_REPEAT, "r");
    window.LoadTexture(&record, "four", GL_NEAREST, GL_NEAREST, GL_REPEAT, "r");
    EXPECT_EQ(window.textureCount, 2);
    EXPECT_EQ(window.tileCount, 5);
    window.UploadTextures();
    for (int t = 0; t < 4; ++t) EXPECT_EQ(record.tiles[t].glName, window.tileNames[t]) << t;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace

// A run-length bitmap declares any size in a few bytes. Pictures larger than
// the editor can show, and pictures past what one window may hold in all,
// are refused with the decoder's "Out of memory." box before their pixels
// exist, and count as missing.
TEST_F(TextureLibraryTest, PicturesBeyondAnyUseCountAsMissing) {
    auto runLength = [](int width, int height) {
        testimg::BmpLayout layout;
        layout.width = width;
        layout.height = height;
        layout.bitCount = 8;
        layout.compression = 1;
        layout.palette = {0x204060};
        layout.bits = {0, 1};
        return testimg::MakeBmp(layout);
    };
    const std::vector<uint8_t> hostile = runLength(18918, 18918);
    EXPECT_LE(hostile.size(), 68u);
    testimg::WriteAll("hostile.bmp", hostile);
    testimg::WriteAll("wide.bmp", runLength(100000, 1));
    window->LoadTexture(&records[0], "hostile", GL_LINEAR, GL_LINEAR, GL_REPEAT, "hostile");
    window->LoadTexture(&records[1], "wide", GL_LINEAR, GL_LINEAR, GL_REPEAT, "wide");
    EXPECT_EQ(records[0].tiles, nullptr);
    EXPECT_EQ(records[1].tiles, nullptr);
    ASSERT_EQ(headless::MessageBoxes().size(), 2u);
    EXPECT_EQ(headless::MessageBoxes()[1].text, "Out of memory.");
    EXPECT_EQ(headless::MessageBoxes()[1].title, "Error");

    // Screen-sized pictures, each a file of its own, until one is refused:
    // a few fit, and the window never holds more than a fraction of a GiB.
    const std::vector<uint8_t> screen = runLength(1280, 1024);
    const uint64_t screenBytes = 1280 * 1024 * 3;
    std::vector<TextureRecord> more(256);
    size_t loaded = 0;
    while (loaded < more.size() && headless::MessageBoxes().size() == 2) {
        const std::string name = "screen" + std::to_string(loaded);
        testimg::WriteAll(name + ".bmp", screen);
        window->LoadTexture(&more[loaded], name.c_str(), GL_LINEAR, GL_LINEAR, GL_REPEAT, "s");
        if (more[loaded].tiles) ++loaded;
    }
    EXPECT_GE(loaded, 8u);
    EXPECT_LE(loaded * screenBytes, uint64_t(256) << 20);
    EXPECT_EQ(headless::MessageBoxes().back().text, "Out of memory.");
}
