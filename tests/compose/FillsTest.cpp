#include "compose/BmpFile.h"
#include "compose/ComposeTestPictures.h"
#include "compose/Fills.h"
#include "compose/JpegCodec.h"
#include "files/ColorText.h"
#include "files/Errors.h"
#include "files/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace palvina {
namespace {

std::uint8_t Blue(std::uint32_t colour) { return static_cast<std::uint8_t>(colour >> 16); }

TEST(FillSolid, FillsEveryPixelOfBothFormats)
{
    for (const PixelFormat format : {PixelFormat::Bgr24, PixelFormat::Bgrx32}) {
        Bitmap bitmap = test::MakeNoise(7, 5, 1);
        bitmap.setFormat(format);
        FillSolid(bitmap, 0x00204080);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 7; ++x) {
                ASSERT_EQ(bitmap.pixel(x, y), 0x204080u);
            }
        }
    }
}

TEST(FillSolid, PaintsSystemColoursWithTheirRgbValue)
{
    Bitmap bitmap(2, 2);
    const std::uint32_t btnFace = TextToColor("clBtnFace");
    FillSolid(bitmap, btnFace);
    EXPECT_EQ(bitmap.pixel(1, 1), ColorToRgb(btnFace));
    EXPECT_NE(bitmap.pixel(1, 1), btnFace & 0xFFFFFF);
}

TEST(FillRectangle, FillsUpToButNotIncludingTheFarCornerCutToTheBitmap)
{
    Bitmap bitmap(6, 4);
    FillRectangle(bitmap, -3, 1, 2, 9, 0xFFFFFF);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(bitmap.pixel(x, y), (x < 2 && y >= 1) ? 0xFFFFFFu : 0u) << x << "," << y;
        }
    }
}

TEST(FillGradient, NavyToBlackOver768Rows)
{
    Bitmap bitmap(3, 768);
    FillGradient(bitmap, 0, TextToColor("clBlack"), TextToColor("clNavy"));
    EXPECT_EQ(bitmap.pixel(0, 0), 0x800000u);
    EXPECT_EQ(Blue(bitmap.pixel(2, 384)), 64);
    EXPECT_EQ(bitmap.pixel(1, 767), 0u);
    for (int y = 1; y < 768; ++y) {
        const int step = Blue(bitmap.pixel(0, y - 1)) - Blue(bitmap.pixel(0, y));
        ASSERT_TRUE(step == 0 || step == 1) << "row " << y;
        ASSERT_EQ(bitmap.pixel(0, y), bitmap.pixel(2, y));
    }
}

TEST(FillGradient, HalvesRoundToTheEvenNeighbour)
{
    // Row 1 of 2 is at fraction 0.5: red 1.5 -> 2, green and blue 0.5 -> 0.
    Bitmap bitmap(1, 2);
    FillGradient(bitmap, 0, 0x010103, 0x000000);
    EXPECT_EQ(bitmap.pixel(0, 0), 0u);
    EXPECT_EQ(bitmap.pixel(0, 1), 0x000002u);
}

// The colour of line i of n computed directly, in long double.
std::uint32_t ReferenceGradientColour(int i, int n, std::uint32_t end, std::uint32_t start)
{
    const float x = static_cast<float>(i) / static_cast<float>(n);
    std::uint32_t colour = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const long double e = (end >> shift) & 0xFF;
        const long double s = (start >> shift) & 0xFF;
        const long double v = static_cast<long double>(x) * e + (1.0L - static_cast<long double>(x)) * s;
        colour |= static_cast<std::uint32_t>(std::nearbyintl(v)) << shift;
    }
    return colour;
}

struct GradientCase {
    int width, height, direction;
    std::uint32_t end, start;
};

void PrintTo(const GradientCase& c, std::ostream* os)
{
    *os << c.width << "x" << c.height << " direction " << c.direction << std::hex << " end " << c.end << " start "
        << c.start;
}

class FillGradientTest : public ::testing::TestWithParam<GradientCase> {};

TEST_P(FillGradientTest, MatchesTheDirectComputationBitForBit)
{
    const GradientCase c = GetParam();
    for (const PixelFormat format : {PixelFormat::Bgr24, PixelFormat::Bgrx32}) {
        Bitmap bitmap(c.width, c.height, format);
        FillSolid(bitmap, 0x123456);
        FillGradient(bitmap, c.direction, c.end, c.start);
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                std::uint32_t expected = 0x123456;
                if (c.direction == 0) {
                    expected = ReferenceGradientColour(y, c.height, c.end, c.start);
                } else if (c.direction == 1) {
                    expected = ReferenceGradientColour(x, c.width, c.end, c.start);
                }
                ASSERT_EQ(bitmap.pixel(x, y), expected) << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FillGradientTest,
                         ::testing::Values(GradientCase{5, 768, 0, 0x000000, 0x800000},
                                           GradientCase{1366, 3, 1, 0xFF00FF, 0x00FF00},
                                           GradientCase{4, 1080, 0, 0x0A1B2C, 0xF0E1D2},
                                           GradientCase{1920, 2, 1, 0x808080, 0x7F7F7F},
                                           GradientCase{3, 999, 0, 0xFFFFFF, 0x000000},
                                           GradientCase{8, 8, 2, 0xFFFFFF, 0x000000},
                                           GradientCase{8, 8, -1, 0xFFFFFF, 0x000000}));

TEST(FillTiled, RepeatsABmpPictureFromTheTopLeftCorner)
{
    test::TempFolder folder;
    const Bitmap tile = test::MakeNoise(3, 2, 5);
    const std::string path = folder.file("tile.BMP");
    WriteBmpFile(tile, path);
    Bitmap bitmap(8, 5);
    FillTiled(bitmap, path);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(bitmap.pixel(x, y), tile.pixel(x % 3, y % 2)) << x << "," << y;
        }
    }
}

TEST(FillTiled, DecodesOtherNamesAsJpeg)
{
    test::TempFolder folder;
    const std::string path = folder.file("tile.png");
    EncodeJpegFile(test::MakeNoise(16, 9, 6), path);
    const Bitmap tile = DecodeJpegFile(path);
    Bitmap bitmap(40, 20, PixelFormat::Bgrx32);
    FillTiled(bitmap, path);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(bitmap.pixel(x, y), tile.pixel(x % 16, y % 9)) << x << "," << y;
        }
    }
    EXPECT_THROW(FillTiled(bitmap, folder.file("missing.jpg")), PictureError);
    WriteBmpFile(tile, folder.file("really-a-bmp.jpg"));
    EXPECT_THROW(FillTiled(bitmap, folder.file("really-a-bmp.jpg")), PictureError);
}

} // namespace
} // namespace palvina
