// Tests of the converter programs bmpconvert and bmp2cbm (built next to the
// tests in the build folder, which is the working directory): their output
// holds the decoded picture, and a bad input gives exit status 1 with the
// decoder's message on standard error and no output file.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gl/CbmImage.h"
#include "gl/DibImage.h"
#include "tests/support/ImageFiles.h"

namespace {

TEST(Converters, BmpToPngKeepsThePicture) {
    ASSERT_TRUE(testimg::HaveImageMagick()) << "ImageMagick's convert is required";
    testimg::TempDir dir;
    std::string bmp = dir.File("in.bmp"), png = dir.File("out.png");
    ASSERT_TRUE(testimg::Run("convert -size 37x23 -seed 7 plasma: -colors 100 -type palette "
                             "BMP3:'" + bmp + "'"));
    ASSERT_TRUE(testimg::Run("./bmpconvert '" + bmp + "' '" + png + "'"));
    std::vector<uint8_t> fromBmp = testimg::MagickDecode(bmp, 37, 23);
    ASSERT_FALSE(fromBmp.empty());
    EXPECT_EQ(testimg::MagickDecode(png, 37, 23), fromBmp);
}

TEST(Converters, BmpToCbmReadsBackAsTheDecodedPicture) {
    ASSERT_TRUE(testimg::HaveImageMagick()) << "ImageMagick's convert is required";
    testimg::TempDir dir;
    std::string bmp = dir.File("in.bmp"), cbm = dir.File("out.cbm");
    ASSERT_TRUE(testimg::Run("convert -size 5x3 gradient:red-blue -type truecolor BMP3:'" +
                             bmp + "'"));
    ASSERT_TRUE(testimg::Run("./bmp2cbm '" + bmp + "' '" + cbm + "'"));
    std::vector<uint8_t> file = testimg::ReadAll(bmp);
    RgbImage* decoded = DecodeDib(file.data(), file.size(), nullptr);
    RgbImage* read = ReadCbmFile(cbm.c_str());
    ASSERT_NE(decoded, nullptr);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->width, 5);
    EXPECT_EQ(read->height, 3);
    EXPECT_EQ(std::vector<uint8_t>(read->pixels, read->pixels + 45),
              std::vector<uint8_t>(decoded->pixels, decoded->pixels + 45));
    FreeRgbImage(decoded);
    FreeRgbImage(read);
}

TEST(Converters, BadInputFailsWithTheDecoderMessage) {
    testimg::TempDir dir;
    std::string bad = dir.File("bad.bmp"), log = dir.File("err.txt");
    testimg::WriteAll(bad, {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17});
    for (const char* tool : {"bmpconvert", "bmp2cbm"}) {
        std::string out = dir.File(std::string(tool) + ".out");
        int status = std::system(("./" + std::string(tool) + " '" + bad + "' '" + out + "' 2>'" +
                                  log + "'").c_str());
        ASSERT_TRUE(WIFEXITED(status)) << tool;
        EXPECT_EQ(WEXITSTATUS(status), 1) << tool;
        std::vector<uint8_t> message = testimg::ReadAll(log);
        EXPECT_NE(std::string(message.begin(), message.end()).find(kDibUnknownFormat),
                  std::string::npos)
            << tool;
        EXPECT_TRUE(testimg::ReadAll(out).empty()) << tool;
    }
}

}  // namespace
