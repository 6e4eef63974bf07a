// Tests of the scrambled ".cbm" files: the key bytes follow the documented
// formula, files written are laid out as documented and read back exactly,
// and headers that do not match the file length are refused silently.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "gl/CbmImage.h"
#include "platform/HeadlessControl.h"
#include "tests/support/ImageFiles.h"

using testimg::GetLe32;
using testimg::PutLe32;

namespace {

RgbImage MakePicture(int width, int height, std::vector<uint8_t>* storage) {
    storage->resize(size_t(width) * height * 3);
    for (size_t i = 0; i < storage->size(); ++i) (*storage)[i] = uint8_t(i * 7 + i / 5);
    RgbImage image;
    image.width = width;
    image.height = height;
    image.pixels = storage->data();
    return image;
}

std::vector<uint8_t> Header(int32_t width, int32_t height, size_t pixelBytes) {
    std::vector<uint8_t> file(8 + pixelBytes, 0);
    PutLe32(file, 0, uint32_t(width));
    PutLe32(file, 4, uint32_t(height));
    return file;
}

TEST(CbmImage, KeyBytesFollowTheFormula) {
    std::set<int> distinct;
    for (uint64_t i : {0ull, 1ull, 2ull, 3ull, 255ull, 256ull, 1000003ull, 50000000ull}) {
        double sum = std::sin(double(i) * double(kCbmSinMultiplier)) * double(kCbmSinScale) +
                     std::cos(double(i) * double(kCbmCosMultiplier)) * kCbmCosScale;
        int64_t whole = int64_t(sum);  // truncation toward zero
        EXPECT_EQ(CbmKeyByte(i), uint8_t(whole & 0xFF)) << "index " << i;
        EXPECT_EQ(CbmKeyByte(i), CbmKeyByte(i)) << "index " << i;
    }
    // The key is not a constant or a short cycle.
    for (uint64_t i = 0; i < 4096; ++i) distinct.insert(CbmKeyByte(i));
    EXPECT_GT(distinct.size(), 200u);
}

TEST(CbmImage, WrittenFileHasTheDocumentedLayoutAndReadsBack) {
    testimg::TempDir dir;
    std::vector<uint8_t> storage;
    RgbImage picture = MakePicture(5, 3, &storage);
    std::string path = dir.File("pic.cbm");
    ASSERT_TRUE(WriteCbmFile(path.c_str(), picture));

    std::vector<uint8_t> file = testimg::ReadAll(path);
    ASSERT_EQ(file.size(), 8u + 45u);
    EXPECT_EQ(GetLe32(file, 0), 5u);
    EXPECT_EQ(GetLe32(file, 4), 3u);
    size_t changed = 0;
    for (size_t i = 0; i < 45; ++i) {
        EXPECT_EQ(uint8_t(file[8 + i] ^ CbmKeyByte(i)), storage[i]) << "byte " << i;
        changed += file[8 + i] != storage[i];
    }
    EXPECT_GT(changed, 30u);  // the bytes really are scrambled

    headless::Reset();
    RgbImage* image = ReadCbmFile(path.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 5);
    EXPECT_EQ(image->height, 3);
    EXPECT_EQ(std::vector<uint8_t>(image->pixels, image->pixels + 45), storage);
    FreeRgbImage(image);
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST(CbmImage, EmptyPictureIsValid) {
    std::vector<uint8_t> file = Header(0, 7, 0);
    RgbImage* image = DecodeCbm(file.data(), file.size(), nullptr);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 0);
    EXPECT_EQ(image->height, 7);
    FreeRgbImage(image);
}

TEST(CbmImage, HeadersThatDoNotMatchTheLengthAreRefused) {
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
    };
    std::vector<uint8_t> shortHeader = {2, 0, 0, 0, 2, 0, 0};
    const Case cases[] = {
        {"shorter than the header", shortHeader},
        {"negative width", Header(-1, 4, 0)},
        {"negative height", Header(4, -1, 0)},
        {"both negative (positive product)", Header(-2, -2, 12)},
        {"product past 64 bits of bytes", Header(INT32_MAX, INT32_MAX, 12)},
        {"size past the limit", Header(1 << 16, 1 << 14, 0)},
        {"fewer bytes than announced", Header(2, 2, 11)},
        {"more bytes than announced", Header(2, 2, 13)},
        {"empty", {}},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(DecodeCbm(c.file.data(), c.file.size(), &error), nullptr) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }

    // The file reader is silent about the same problems and a missing file.
    testimg::TempDir dir;
    std::string path = dir.File("bad.cbm");
    testimg::WriteAll(path, Header(2, 2, 11));
    headless::Reset();
    EXPECT_EQ(ReadCbmFile(path.c_str()), nullptr);
    EXPECT_EQ(ReadCbmFile(dir.File("missing.cbm").c_str()), nullptr);
    EXPECT_EQ(ReadCbmFile(nullptr), nullptr);
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST(CbmImage, InvalidImagesAreNotWritten) {
    testimg::TempDir dir;
    std::vector<uint8_t> storage;
    RgbImage picture = MakePicture(2, 2, &storage);
    std::string path = dir.File("out.cbm");
    RgbImage negative = picture;
    negative.width = -2;
    EXPECT_FALSE(WriteCbmFile(path.c_str(), negative));
    RgbImage noPixels = picture;
    noPixels.pixels = nullptr;
    EXPECT_FALSE(WriteCbmFile(path.c_str(), noPixels));
    EXPECT_FALSE(WriteCbmFile(dir.File("no/such/folder.cbm").c_str(), picture));
    EXPECT_TRUE(testimg::ReadAll(path).empty());
}

}  // namespace
