#include "ComposeTestPictures.h"
#include "PictureTestFolder.h"
#include "compose/BmpFile.h"
#include "files/Errors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace palvina {
namespace {

using test::PictureTestFolder;

TEST(BmpWriteTest, WritesBottomUpPaddedRowsWithInfoHeader)
{
    PictureTestFolder folder;
    Bitmap bitmap(2, 2);
    bitmap.setPixel(0, 0, 0x0000FF);  // red
    bitmap.setPixel(1, 0, 0x00FF00);  // green
    bitmap.setPixel(0, 1, 0xFF0000);  // blue
    bitmap.setPixel(1, 1, 0xFFFFFF);  // white
    const std::string path = folder.file("out.bmp");
    WriteBmpFile(bitmap, path);

    const std::vector<std::uint8_t> expected{
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,            // info header
        0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0,                        // bottom row: blue, white
        0, 0, 0xFF, 0, 0xFF, 0, 0, 0,                              // top row: red, green
    };
    EXPECT_EQ(PictureTestFolder::read(path), expected);
}

struct RoundTripCase {
    int width;
    int height;
    PixelFormat format;
};

class BmpRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(BmpRoundTripTest, ReadsBackWhatWasWritten)
{
    const RoundTripCase& c = GetParam();
    PictureTestFolder folder;
    Bitmap original = test::MakeNoise(c.width, c.height, static_cast<unsigned>(c.width * 131 + c.height));
    original.setFormat(c.format);
    const std::string path = folder.file("round.bmp");
    WriteBmpFile(original, path, c.width % 2 == 0);

    const std::size_t stride = (static_cast<std::size_t>(c.width) * 3 + 3) / 4 * 4;
    EXPECT_EQ(PictureTestFolder::read(path).size(), 54 + stride * static_cast<std::size_t>(c.height));
    const Bitmap back = ReadBmpFile(path);
    ASSERT_EQ(back.width(), c.width);
    ASSERT_EQ(back.height(), c.height);
    EXPECT_EQ(test::MaxComponentDifference(back, original), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BmpRoundTripTest,
                         ::testing::Values(RoundTripCase{1, 1, PixelFormat::Bgr24}, RoundTripCase{2, 3, PixelFormat::Bgr24},
                                           RoundTripCase{3, 2, PixelFormat::Bgr24}, RoundTripCase{5, 7, PixelFormat::Bgr24},
                                           RoundTripCase{4, 4, PixelFormat::Bgr24}, RoundTripCase{3, 5, PixelFormat::Bgrx32},
                                           // Several write chunks.
                                           RoundTripCase{1001, 701, PixelFormat::Bgr24},
                                           RoundTripCase{999, 703, PixelFormat::Bgrx32}));

TEST(BmpWriteTest, ReplacesAnExistingFile)
{
    PictureTestFolder folder;
    const std::string path = folder.write("old.bmp", std::vector<std::uint8_t>(5000, 7));
    WriteBmpFile(test::MakeSolid(3, 3, 0x123456), path);
    EXPECT_EQ(ReadBmpFile(path).pixel(2, 2), 0x123456u);
}

TEST(BmpWriteTest, UnwritablePlaceThrowsFileWriteError)
{
    PictureTestFolder folder;
    EXPECT_THROW(WriteBmpFile(test::MakeSolid(3, 3, 0), folder.file("no/such/folder/x.bmp")), FileWriteError);
}

TEST(BmpWriteTest, EmptyBitmapIsRefused)
{
    PictureTestFolder folder;
    EXPECT_THROW(WriteBmpFile(Bitmap(), folder.file("x.bmp")), PictureError);
}

} // namespace
} // namespace palvina
