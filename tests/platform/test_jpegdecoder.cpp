// JPEG decoding: a real picture, grey pictures, and damaged or missing files.
#include "platform/jpegdecoder.h"

#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

using namespace zarel;
using namespace zarel::test;

namespace {

std::vector<uint8_t> bytesOf(const std::string &s)
{
    return { s.begin(), s.end() };
}

} // namespace

TEST(JpegDecoder, DecodesColourAndGreyPictures)
{
    TempDir dir;
    const std::string make = "convert -size 90x58 gradient:red-blue " + dir.file("logo.jpg")
        + " && convert -size 16x8 " + "gradient:white-black -colorspace Gray "
        + dir.file("grey.jpg");
    if (std::system((make + " 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "ImageMagick's convert is needed to make the test pictures";
    RgbImage image;
    ASSERT_TRUE(decodeJpegFile(dir.file("logo.jpg"), image).ok());
    EXPECT_EQ(image.width, 90);
    EXPECT_EQ(image.height, 58);
    ASSERT_EQ(image.pixels.size(), 90u * 58u * 3u);
    EXPECT_GT(image.pixels[0], 200); // red at the top
    EXPECT_GT(image.pixels[image.pixels.size() - 1], 200); // blue at the bottom
    ASSERT_TRUE(decodeJpegFile(dir.file("grey.jpg"), image).ok());
    EXPECT_EQ(image.pixels.size(), 16u * 8u * 3u);

    // Damaged copies of the real picture: cut short, or with bytes overwritten.
    const std::string good = readFile(dir.file("logo.jpg"));
    std::mt19937 rng(7);
    for (int i = 0; i < 300; ++i) {
        std::string bad = good.substr(0, rng() % good.size());
        if (i % 2 && !bad.empty()) {
            for (int k = 0; k < 8; ++k)
                bad[rng() % bad.size()] = static_cast<char>(rng());
        }
        RgbImage out;
        const Status st = decodeJpeg(bytesOf(bad), out);
        EXPECT_EQ(st.ok(), !out.empty());
    }
}

TEST(JpegDecoder, MissingAndForeignFilesGiveAnEmptyPicture)
{
    RgbImage image;
    EXPECT_EQ(decodeJpegFile("/nonexistent/logo_en_tr.jpg", image).code, ErrorCode::FileNotFound);
    EXPECT_TRUE(image.empty());
    EXPECT_FALSE(decodeJpeg(bytesOf("GIF89a not a jpeg"), image).ok());
    EXPECT_FALSE(
        decodeJpeg(bytesOf(std::string("\xFF\xD8\xFF\xE0", 4) + std::string(100, '\0')), image)
            .ok());
    EXPECT_FALSE(decodeJpeg({}, image).ok());
    EXPECT_TRUE(image.empty());
}
