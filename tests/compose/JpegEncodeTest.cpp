#include "ComposeTestPictures.h"
#include "JpegTestFiles.h"
#include "PictureTestFolder.h"
#include "compose/JpegCodec.h"
#include "files/Errors.h"

#include <gtest/gtest.h>

#include <string>

namespace palvina {
namespace {

using test::PictureTestFolder;

// Smooth colours (at most about 2 levels a pixel), which JPEG keeps well even with halved chroma.
Bitmap Gradient(int width, int height)
{
    return test::MakePicture(width, height, [](int x, int y) {
        const auto r = static_cast<std::uint32_t>(40 + x * 160 / 333);
        const auto g = static_cast<std::uint32_t>(30 + y * 180 / 222);
        const auto b = static_cast<std::uint32_t>(60 + (x + y) * 120 / 555);
        return r | g << 8 | b << 16;
    });
}

struct RoundTripCase {
    int width;
    int height;
    PixelFormat format;
};

class JpegRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(JpegRoundTripTest, DecodesCloseToTheOriginal)
{
    const RoundTripCase& c = GetParam();
    PictureTestFolder folder;
    Bitmap original = Gradient(c.width, c.height);
    const Bitmap expected = original;
    original.setFormat(c.format);
    const std::string path = folder.file("round.jpg");
    EncodeJpegFile(original, path, 95);

    const Bitmap decoded = DecodeJpegFile(path);
    ASSERT_EQ(decoded.width(), c.width);
    ASSERT_EQ(decoded.height(), c.height);
    EXPECT_EQ(decoded.format(), PixelFormat::Bgr24);
    EXPECT_LE(test::MaxComponentDifference(decoded, expected), 6);
}

INSTANTIATE_TEST_SUITE_P(Sizes, JpegRoundTripTest,
                         ::testing::Values(RoundTripCase{1, 1, PixelFormat::Bgr24}, RoundTripCase{17, 9, PixelFormat::Bgr24},
                                           RoundTripCase{64, 48, PixelFormat::Bgrx32},
                                           RoundTripCase{333, 222, PixelFormat::Bgr24},
                                           RoundTripCase{333, 222, PixelFormat::Bgrx32}));

TEST(JpegEncodeTest, WritesBaselineWithHalvedChroma)
{
    PictureTestFolder folder;
    const std::string path = folder.file("b.jpg");
    EncodeJpegFile(Gradient(50, 40), path, 75);
    const std::vector<std::uint8_t> bytes = PictureTestFolder::read(path);
    const std::size_t sof = test::FindJpegMarker(bytes, 0xC0);  // SOF0: baseline
    ASSERT_NE(sof, static_cast<std::size_t>(-1));
    EXPECT_EQ(bytes[sof + 9], 3);      // components
    EXPECT_EQ(bytes[sof + 11], 0x22);  // luma sampled 2 x 2: chroma 4:2:0
    EXPECT_EQ(bytes[sof + 14], 0x11);
}

TEST(JpegEncodeTest, QualityChangesTheSize)
{
    PictureTestFolder folder;
    const Bitmap picture = test::MakeNoise(64, 64, 9);
    EncodeJpegFile(picture, folder.file("low.jpg"), 10);
    EncodeJpegFile(picture, folder.file("high.jpg"), 100);
    EXPECT_LT(PictureTestFolder::read(folder.file("low.jpg")).size() * 2,
              PictureTestFolder::read(folder.file("high.jpg")).size());
}

TEST(JpegEncodeTest, UnwritablePlaceThrowsFileWriteError)
{
    PictureTestFolder folder;
    EXPECT_THROW(EncodeJpegFile(Gradient(8, 8), folder.file("none/x.jpg")), FileWriteError);
}

TEST(JpegEncodeTest, EmptyBitmapIsRefused)
{
    PictureTestFolder folder;
    EXPECT_THROW(EncodeJpegFile(Bitmap(), folder.file("x.jpg")), PictureError);
}

} // namespace
} // namespace palvina
