// Tests of the bitmap decoder: files written by ImageMagick in every layout
// it produces, compared pixel for pixel with ImageMagick's own decode;
// hand-made files for the layouts it does not write (16/32 bits, masks,
// 4-bit run-length, top-down, bare headers); and malformed or hostile files,
// each of which must give null and exactly one message box with the right
// text.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "gl/DibImage.h"
#include "platform/HeadlessControl.h"
#include "tests/support/ImageFiles.h"

using testimg::BmpLayout;
using testimg::GetLe16;
using testimg::GetLe32;
using testimg::MakeBmp;
using testimg::PutLe32;

namespace {

std::vector<uint8_t> Pixels(const RgbImage* image) {
    return std::vector<uint8_t>(image->pixels,
                                image->pixels + size_t(image->width) * image->height * 3);
}

RgbImage* Decode(const std::vector<uint8_t>& file, std::string* error = nullptr) {
    return DecodeDib(file.data(), file.size(), error);
}

// Header facts of a file with a 14-byte file header.
struct HeaderFacts {
    uint32_t headerSize, bitCount, compression;
};
HeaderFacts Facts(const std::vector<uint8_t>& file) {
    uint32_t headerSize = GetLe32(file, 14);
    if (headerSize == 12) return {12, GetLe16(file, 24), 0};
    return {headerSize, GetLe16(file, 28), GetLe32(file, 30)};
}

// ---- Files written by ImageMagick ------------------------------------------

struct MagickCase {
    const char* name;
    const char* picture;  // ImageMagick source picture and options
    const char* format;   // output coder prefix
    int width, height;
    uint32_t headerSize, bitCount, compression;
};

void PrintTo(const MagickCase& c, std::ostream* os) { *os << c.name; }

class MagickFiles : public ::testing::TestWithParam<MagickCase> {};

TEST_P(MagickFiles, DecodeLikeImageMagick) {
    ASSERT_TRUE(testimg::HaveImageMagick()) << "ImageMagick's convert is required";
    const MagickCase& c = GetParam();
    testimg::TempDir dir;
    std::string bmp = dir.File("in.bmp");
    std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
    ASSERT_TRUE(testimg::Run("convert -size " + size + " " + c.picture + " " + c.format + ":'" +
                             bmp + "'"));
    std::vector<uint8_t> file = testimg::ReadAll(bmp);
    ASSERT_GT(file.size(), 26u);
    HeaderFacts facts = Facts(file);
    ASSERT_EQ(facts.headerSize, c.headerSize);
    ASSERT_EQ(facts.bitCount, c.bitCount);
    ASSERT_EQ(facts.compression, c.compression);

    std::vector<uint8_t> expected = testimg::MagickDecode(bmp, c.width, c.height);
    ASSERT_FALSE(expected.empty());
    std::string error;
    RgbImage* image = Decode(file, &error);
    ASSERT_NE(image, nullptr) << error;
    EXPECT_EQ(image->width, c.width);
    EXPECT_EQ(image->height, c.height);
    EXPECT_EQ(Pixels(image), expected);
    FreeRgbImage(image);

    // The same file as a bare bitmap (info header first) decodes the same.
    std::vector<uint8_t> bare(file.begin() + 14, file.end());
    image = Decode(bare, &error);
    ASSERT_NE(image, nullptr) << error;
    EXPECT_EQ(Pixels(image), expected);
    FreeRgbImage(image);
}

#define PLASMA "-seed 7 plasma:"
const MagickCase kMagickCases[] = {
    {"Rgb24", "gradient:red-blue -type truecolor", "BMP3", 37, 23, 40, 24, 0},
    {"Rgb24Width3", PLASMA " -type truecolor", "BMP3", 3, 4, 40, 24, 0},
    {"Rgb24Core", PLASMA " -type truecolor", "BMP2", 37, 23, 12, 24, 0},
    {"Palette8", PLASMA " -colors 200 -type palette -compress None", "BMP3", 5, 7, 40, 8, 0},
    {"Palette8Core", PLASMA " -colors 200 -type palette", "BMP2", 37, 23, 12, 8, 0},
    {"Palette4", PLASMA " -colors 16 -type palette -depth 4", "BMP3", 37, 23, 40, 4, 0},
    {"Mono", PLASMA " -monochrome", "BMP3", 37, 23, 40, 1, 0},
    {"MonoCore", PLASMA " -monochrome", "BMP2", 5, 3, 12, 1, 0},
    {"Rle8", PLASMA " -colors 200 -type palette", "BMP3", 37, 23, 40, 8, 1},
    {"Rle8LongRuns", "gradient:red-blue -colors 40 -type palette", "BMP3", 37, 40, 40, 8, 1},
    {"Rle8Width5", PLASMA " -colors 40 -type palette", "BMP3", 5, 9, 40, 8, 1},
};
#undef PLASMA

INSTANTIATE_TEST_SUITE_P(DibImage, MagickFiles, ::testing::ValuesIn(kMagickCases),
                         [](const ::testing::TestParamInfo<MagickCase>& info) {
                             return std::string(info.param.name);
                         });

// A top-down file (negative height) made from ImageMagick's bottom-up one by
// reversing the rows: it must decode to the same picture, bottom row first.
TEST(DibImage, TopDownFileComesOutBottomRowFirst) {
    ASSERT_TRUE(testimg::HaveImageMagick()) << "ImageMagick's convert is required";
    testimg::TempDir dir;
    for (const char* options : {"-type truecolor", "-colors 50 -type palette -compress None"}) {
        std::string bmp = dir.File("in.bmp");
        ASSERT_TRUE(testimg::Run("convert -size 5x4 -seed 7 plasma: " + std::string(options) +
                                 " BMP3:'" + bmp + "'"));
        std::vector<uint8_t> file = testimg::ReadAll(bmp);
        std::vector<uint8_t> expected = testimg::MagickDecode(bmp, 5, 4);
        ASSERT_FALSE(expected.empty());
        size_t offset = GetLe32(file, 10);
        size_t stride = (5 * Facts(file).bitCount + 31) / 32 * 4;
        ASSERT_EQ(file.size(), offset + 4 * stride);
        std::vector<uint8_t> flipped(file.begin(), file.begin() + long(offset));
        for (int row = 3; row >= 0; --row)
            flipped.insert(flipped.end(), file.begin() + long(offset + row * stride),
                           file.begin() + long(offset + (row + 1) * stride));
        PutLe32(flipped, 22, uint32_t(-4));

        RgbImage* image = Decode(flipped);
        ASSERT_NE(image, nullptr) << options;
        EXPECT_EQ(image->height, 4);
        EXPECT_EQ(Pixels(image), expected) << options;
        FreeRgbImage(image);
    }
}

// ---- Hand-made layouts -------------------------------------------------------

TEST(DibImage, SwapsBlueAndRedAndDropsRowPadding) {
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    // Bottom row: blue-green-red bytes; 3 bytes of padding per row.
    layout.bits = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0xAA, 0xAA, 0xAA,
                 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0xBB, 0xBB, 0xBB};
    RgbImage* image = Decode(MakeBmp(layout));
    ASSERT_NE(image, nullptr);
    std::vector<uint8_t> expected = {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF,
                                     0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07};
    EXPECT_EQ(Pixels(image), expected);
    FreeRgbImage(image);
}

TEST(DibImage, SixteenAndThirtyTwoBitPixels) {
    struct Case {
        uint16_t bitCount;
        uint32_t compression;
        std::vector<uint32_t> masks;
        std::vector<uint8_t> bits;  // two pixels, one row
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        // 5-5-5 default: 0x7C00 full red; 0x0210 = green 16, blue 16.
        {16, 0, {}, {0x00, 0x7C, 0x10, 0x02}, {255, 0, 0, 0, 132, 132}},
        // 5-6-5 masks: 0x07E0 full green; 0x001F full blue.
        {16, 3, {0xF800, 0x07E0, 0x001F}, {0xE0, 0x07, 0x1F, 0x00}, {0, 255, 0, 0, 0, 255}},
        // 8-8-8 default, fourth byte ignored.
        {32, 0, {}, {0x10, 0x20, 0x30, 0xFF, 0x01, 0x02, 0x03, 0x00}, {0x30, 0x20, 0x10, 3, 2, 1}},
        // Masks in another order: red in the low byte, blue in the third.
        {32, 3, {0x000000FF, 0x0000FF00, 0x00FF0000},
         {0x10, 0x20, 0x30, 0x00, 0x01, 0x02, 0x03, 0x00}, {0x10, 0x20, 0x30, 1, 2, 3}},
        // Ten-bit channels scaled to eight: 1023 -> 255, 512 -> 128.
        {32, 3, {0x3FF00000, 0x000FFC00, 0x000003FF},
         {0xFF, 0x03, 0x00, 0x20, 0x00, 0x00, 0xF0, 0x3F}, {128, 0, 255, 255, 0, 0}},
    };
    for (const Case& c : cases) {
        for (bool fileHeader : {true, false}) {
            BmpLayout layout;
            layout.fileHeader = fileHeader;
            layout.width = 2;
            layout.bitCount = c.bitCount;
            layout.compression = c.compression;
            layout.masks = c.masks;
            layout.bits = c.bits;
            RgbImage* image = Decode(MakeBmp(layout));
            ASSERT_NE(image, nullptr) << c.bitCount << " bits, compression " << c.compression;
            EXPECT_EQ(Pixels(image), c.expected)
                << c.bitCount << " bits, compression " << c.compression;
            FreeRgbImage(image);
        }
    }
}

TEST(DibImage, ColourTableSizeAndIndicesPastIt) {
    // Colours used 2 in an 8-bit file: a bare file's pixels follow two
    // entries, and an index past the table reads black.
    BmpLayout layout;
    layout.fileHeader = false;
    layout.width = 3;
    layout.bitCount = 8;
    layout.colorsUsed = 2;
    layout.palette = {0x102030, 0x405060};
    layout.bits = {1, 0, 7, 0};
    RgbImage* image = Decode(MakeBmp(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Pixels(image), (std::vector<uint8_t>{0x40, 0x50, 0x60, 0x10, 0x20, 0x30, 0, 0, 0}));
    FreeRgbImage(image);

    // Colours used 0 means the full 256 entries; 4-bit 16 entries.
    layout.colorsUsed = 0;
    layout.palette.assign(256, 0);  // the file must hold all 256 entries
    layout.palette[200] = 0xABCDEF;
    layout.bits = {200, 0, 0, 0};
    image = Decode(MakeBmp(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixels[0], 0xAB);
    EXPECT_EQ(image->pixels[2], 0xEF);
    FreeRgbImage(image);
}

TEST(DibImage, RunLength4WithLiteralDeltaAndEndOfLine) {
    BmpLayout layout;
    layout.width = 5;
    layout.height = 3;
    layout.bitCount = 4;
    layout.compression = 2;
    layout.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    layout.bits = {
        5, 0x12,           // row 0: 1 2 1 2 1
        0, 0,              // end of line
        0, 3, 0x32, 0x10,  // row 1: literal 3 2 1, padded to 16 bits
        0, 2, 1, 1,        // delta: right 1, up 1 -> (4, 2)
        1, 0x30,           // row 2, x 4: 3
        0, 1,              // end of bitmap
    };
    RgbImage* image = Decode(MakeBmp(layout));
    ASSERT_NE(image, nullptr);
    auto pixel = [&](int x, int y) {
        const uint8_t* p = image->pixels + (y * 5 + x) * 3;
        return (p[0] << 16) | (p[1] << 8) | p[2];
    };
    EXPECT_EQ(pixel(0, 0), 0xFF0000);
    EXPECT_EQ(pixel(1, 0), 0x00FF00);
    EXPECT_EQ(pixel(4, 0), 0xFF0000);
    EXPECT_EQ(pixel(0, 1), 0x0000FF);
    EXPECT_EQ(pixel(1, 1), 0x00FF00);
    EXPECT_EQ(pixel(2, 1), 0xFF0000);
    EXPECT_EQ(pixel(3, 1), 0x000000);  // skipped by the move: black
    EXPECT_EQ(pixel(3, 2), 0x000000);
    EXPECT_EQ(pixel(4, 2), 0x0000FF);
    FreeRgbImage(image);
}

// The first run covers the row's padding too, as ImageMagick writes it.
TEST(DibImage, RunLength8PaddingRunsAndMissingEndMark) {
    BmpLayout layout;
    layout.width = 2;
    layout.height = 2;
    layout.bitCount = 8;
    layout.compression = 1;
    layout.palette = {0x000000, 0x112233};
    layout.bits = {4, 1, 0, 0, 2, 1, 0, 0};
    RgbImage* image = Decode(MakeBmp(layout));
    ASSERT_NE(image, nullptr);
    std::vector<uint8_t> expected;
    for (int i = 0; i < 12; ++i) expected.push_back(static_cast<uint8_t>(0x11 * (i % 3 + 1)));
    EXPECT_EQ(Pixels(image), expected);
    FreeRgbImage(image);

    layout.bits = {2, 1, 0, 0, 2, 1};  // second row never closed
    std::string error;
    EXPECT_EQ(Decode(MakeBmp(layout), &error), nullptr);
    EXPECT_EQ(error, kDibConversionError);
}

TEST(DibImage, LastRowMayLackItsPadding) {
    BmpLayout layout;
    layout.width = 1;
    layout.height = 2;
    layout.bits = {1, 2, 3, 0, 4, 5, 6};  // second row without its padding byte
    RgbImage* image = Decode(MakeBmp(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Pixels(image), (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));
    FreeRgbImage(image);
}

// ---- Failures: one message box each ------------------------------------------

// Writes bytes to a file, loads it and expects null and exactly one message
// box with the given text, the title "Error" and flags 0.
void ExpectLoadFails(const std::vector<uint8_t>& bytes, const std::string& text,
                     const char* what) {
    testimg::TempDir dir;
    std::string path = dir.File("bad.bmp");
    testimg::WriteAll(path, bytes);
    headless::Reset();
    EXPECT_EQ(LoadDibImage(path.c_str()), nullptr) << what;
    const auto& boxes = headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u) << what;
    EXPECT_EQ(boxes[0].text, text) << what;
    EXPECT_EQ(boxes[0].title, "Error");
    EXPECT_EQ(boxes[0].flags, 0u);
}

TEST(DibImage, LoadsAFileWithoutMessages) {
    BmpLayout layout;
    layout.bits = {1, 2, 3, 0};
    testimg::TempDir dir;
    std::string path = dir.File("ok.bmp");
    testimg::WriteAll(path, MakeBmp(layout));
    headless::Reset();
    RgbImage* image = LoadDibImage(path.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Pixels(image), (std::vector<uint8_t>{3, 2, 1}));
    EXPECT_TRUE(headless::MessageBoxes().empty());
    FreeRgbImage(image);
}

TEST(DibImage, MissingOrEmptyFileCannotBeOpened) {
    testimg::TempDir dir;
    std::string missing = dir.File("missing.bmp");
    headless::Reset();
    EXPECT_EQ(LoadDibImage(missing.c_str()), nullptr);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "Failed to open DIB file " + missing + ".\n");

    std::string empty = dir.File("empty.bmp");
    testimg::WriteAll(empty, {});
    headless::Reset();
    EXPECT_EQ(LoadDibImage(empty.c_str()), nullptr);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "Failed to open DIB file " + empty + ".\n");
}

TEST(DibImage, UnknownHeadersAreRefused) {
    for (uint32_t headerSize : {108u, 124u, 64u, 0u}) {
        BmpLayout layout;
        layout.headerSize = headerSize;
        layout.bits = {1, 2, 3, 0};
        ExpectLoadFails(MakeBmp(layout), kDibUnknownFormat, "header size");
    }
    ExpectLoadFails({'B', 'M', 0, 0, 0, 0, 0, 0}, kDibUnknownFormat, "cut file header");
    ExpectLoadFails({'h', 'e', 'l', 'l', 'o', '\n'}, kDibUnknownFormat, "text file");
    std::vector<uint8_t> cutHeader = MakeBmp(BmpLayout{});
    cutHeader.resize(14 + 30);
    ExpectLoadFails(cutHeader, kDibUnknownFormat, "cut info header");
}

TEST(DibImage, MalformedGeometryIsAConversionError) {
    struct Case {
        const char* what;
        void (*change)(BmpLayout&);
    };
    const Case cases[] = {
        {"missing last row", [](BmpLayout& s) { s.height = 3; }},
        {"cut row", [](BmpLayout& s) { s.bits.resize(5); }},
        {"zero width", [](BmpLayout& s) { s.width = 0; }},
        {"negative width", [](BmpLayout& s) { s.width = -2; }},
        {"zero height", [](BmpLayout& s) { s.height = 0; }},
        {"most negative height", [](BmpLayout& s) { s.height = INT32_MIN; }},
        {"width 2^31 - 1", [](BmpLayout& s) { s.width = INT32_MAX; s.bitCount = 1; }},
        {"pixel offset past the end", [](BmpLayout& s) { s.bitsOffsetOverride = 1 << 30; }},
        {"colour table past the end", [](BmpLayout& s) { s.colorsUsed = 0xFFFFFFFF; }},
        {"bit count 2", [](BmpLayout& s) { s.bitCount = 2; }},
        {"bit count 0", [](BmpLayout& s) { s.bitCount = 0; }},
        {"JPEG compression", [](BmpLayout& s) { s.compression = 4; }},
        {"RLE8 with 24 bits", [](BmpLayout& s) { s.compression = 1; }},
        {"RLE4 with 8 bits", [](BmpLayout& s) { s.compression = 2; s.bitCount = 8; }},
        {"top-down RLE8",
         [](BmpLayout& s) {
             s.compression = 1, s.bitCount = 8, s.height = -2, s.bits = {0, 1};
         }},
        {"masks cut off",
         [](BmpLayout& s) { s.compression = 3, s.bitCount = 32, s.bits.clear(); }},
        {"split mask",
         [](BmpLayout& s) {
             s.compression = 3, s.bitCount = 32, s.masks = {0xF0F0, 0xFF0000, 0xFF000000};
         }},
    };
    for (const Case& c : cases) {
        BmpLayout layout;
        layout.width = 2;
        layout.height = 2;
        layout.bits.assign(16, 0x55);  // exactly two 24-bit rows of width 2
        c.change(layout);
        ExpectLoadFails(MakeBmp(layout), kDibConversionError, c.what);
    }
}

TEST(DibImage, RunLengthStreamsThatLeaveThePictureAreRefused) {
    const std::vector<std::vector<uint8_t>> streams = {
        // Rows of width 6 may run to 8 pixels (their 4-byte padding).
        {9, 1, 0, 1},                    // run longer than the padded row
        {3, 1, 6, 1, 0, 1},              // second run passes the padded end
        {0, 9, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 1},  // literal too long
        {0, 2, 9, 0, 0, 1},              // move right past the row
        {0, 2, 0, 4, 0, 1},              // move up past the top
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 1},  // more lines than the picture
        {0, 2, 1},                       // move cut off
        {0, 3, 1, 1},                    // literal cut off
        {1},                             // half a command
        {},                              // nothing at all
    };
    for (const auto& stream : streams) {
        BmpLayout layout;
        layout.width = 6;
        layout.height = 3;
        layout.bitCount = 8;
        layout.compression = 1;
        layout.palette = {0, 0xFFFFFF};
        layout.bits = stream;
        ExpectLoadFails(MakeBmp(layout), kDibConversionError, "run-length stream");
    }
}

TEST(DibImage, HugePicturesAreRefusedBeforeAllocating) {
    // A run-length file can claim any size in a few bytes.
    BmpLayout layout;
    layout.width = 60000;
    layout.height = 60000;
    layout.bitCount = 8;
    layout.compression = 1;
    layout.palette = {0};
    layout.bits = {0, 1};
    ExpectLoadFails(MakeBmp(layout), kDibOutOfMemory, "60000 x 60000");
    layout.width = INT32_MAX;
    layout.height = INT32_MIN + 1;
    ExpectLoadFails(MakeBmp(layout), kDibConversionError, "top-down run-length");
    layout.height = INT32_MAX;
    ExpectLoadFails(MakeBmp(layout), kDibOutOfMemory, "2^31 x 2^31");
}

}  // namespace
