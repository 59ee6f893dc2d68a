#include "platform/RootCanvas.h"

#include "compose/Fills.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace palvina {
namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kRed = 0x0000FF;    // 0x00BBGGRR
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0xFF0000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

Bitmap Solid(int width, int height, std::uint32_t colour)
{
    Bitmap bitmap(width, height);
    FillSolid(bitmap, colour);
    return bitmap;
}

// Vertical stripes of equal width, one per colour.
Bitmap Stripes(int stripeWidth, int height, std::initializer_list<std::uint32_t> colours)
{
    Bitmap bitmap(stripeWidth * static_cast<int>(colours.size()), height);
    int left = 0;
    for (std::uint32_t colour : colours) {
        FillRectangle(bitmap, left, 0, left + stripeWidth, height, colour);
        left += stripeWidth;
    }
    return bitmap;
}

// The rows of column x (or the columns of row y) that hold `colour`, as [first, last]; -1s when none.
std::pair<int, int> RowsWith(const Bitmap& canvas, int x, std::uint32_t colour)
{
    int first = -1;
    int last = -1;
    for (int y = 0; y < canvas.height(); ++y) {
        if (canvas.pixel(x, y) == colour) {
            first = first < 0 ? y : first;
            last = y;
        }
    }
    return {first, last};
}

std::pair<int, int> ColumnsWith(const Bitmap& canvas, int y, std::uint32_t colour)
{
    int first = -1;
    int last = -1;
    for (int x = 0; x < canvas.width(); ++x) {
        if (canvas.pixel(x, y) == colour) {
            first = first < 0 ? x : first;
            last = x;
        }
    }
    return {first, last};
}

TEST(RootCanvas, IsScreenSizedAnd32BitInEveryMode)
{
    const Bitmap picture = Solid(7, 5, kRed);
    for (WallpaperMode mode : {WallpaperMode::None, WallpaperMode::Tiled, WallpaperMode::Centred,
                               WallpaperMode::Stretched, WallpaperMode::Fit, WallpaperMode::Fill, WallpaperMode::Span}) {
        const Bitmap canvas = RenderRootCanvas(picture, mode, 64, 48);
        EXPECT_EQ(canvas.width(), 64);
        EXPECT_EQ(canvas.height(), 48);
        EXPECT_EQ(canvas.format(), PixelFormat::Bgrx32);
    }
}

TEST(RootCanvas, NoPictureIsBlack)
{
    const Bitmap canvas = RenderRootCanvas(Bitmap(), WallpaperMode::Stretched, 16, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(canvas.pixel(x, y), kBlack);
        }
    }
}

class RootCanvasTiling : public ::testing::TestWithParam<WallpaperMode> {};

TEST_P(RootCanvasTiling, RepeatsThePictureFromTheTopLeftCorner)
{
    Bitmap picture(5, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            picture.setPixel(x, y, static_cast<std::uint32_t>(0x102030 * (y * 5 + x + 1)) & 0xFFFFFF);
        }
    }
    const Bitmap canvas = RenderRootCanvas(picture, GetParam(), 23, 11);
    for (int y = 0; y < 11; ++y) {
        for (int x = 0; x < 23; ++x) {
            ASSERT_EQ(canvas.pixel(x, y), picture.pixel(x % 5, y % 3)) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, RootCanvasTiling, ::testing::Values(WallpaperMode::Tiled, WallpaperMode::None));

TEST(RootCanvas, TilingAPictureLargerThanTheScreenShowsItsTopLeftPart)
{
    const Bitmap picture = Stripes(10, 30, {kRed, kGreen, kBlue});
    const Bitmap canvas = RenderRootCanvas(picture, WallpaperMode::Tiled, 15, 12);
    EXPECT_EQ(ColumnsWith(canvas, 11, kRed), std::make_pair(0, 9));
    EXPECT_EQ(ColumnsWith(canvas, 11, kGreen), std::make_pair(10, 14));
}

struct CentredCase {
    int width;
    int height;
    int left;  // expected canvas position of the picture's top-left corner
    int top;
};

class RootCanvasCentred : public ::testing::TestWithParam<CentredCase> {};

TEST_P(RootCanvasCentred, PlacesThePictureAtHalfTheDifference)
{
    const CentredCase& c = GetParam();
    const Bitmap canvas = RenderRootCanvas(Solid(c.width, c.height, kWhite), WallpaperMode::Centred, 40, 30);
    const int right = std::min(39, c.left + c.width - 1);
    const int bottom = std::min(29, c.top + c.height - 1);
    EXPECT_EQ(ColumnsWith(canvas, 15, kWhite), std::make_pair(std::max(0, c.left), right));
    EXPECT_EQ(RowsWith(canvas, 20, kWhite), std::make_pair(std::max(0, c.top), bottom));
}

INSTANTIATE_TEST_SUITE_P(Sizes, RootCanvasCentred,
                         ::testing::Values(CentredCase{10, 10, 15, 10},   // even differences
                                           CentredCase{5, 7, 17, 11},     // odd: halves toward zero
                                           CentredCase{45, 30, -2, 0},    // 5 wider: 2 cut left, 3 right
                                           CentredCase{40, 33, 0, -1}));  // 3 taller

TEST(RootCanvas, StretchedCoversTheScreenWithTheWholePicture)
{
    const Bitmap canvas = RenderRootCanvas(Stripes(1, 1, {kRed, kBlue}), WallpaperMode::Stretched, 40, 10);
    EXPECT_EQ(canvas.pixel(0, 0), kRed);
    EXPECT_EQ(canvas.pixel(0, 9), kRed);
    EXPECT_EQ(canvas.pixel(39, 0), kBlue);
    EXPECT_EQ(canvas.pixel(39, 9), kBlue);
}

TEST(RootCanvas, FitKeepsProportionsWithBlackBars)
{
    // 2:1 on a square screen: full width, half height, centred vertically.
    const Bitmap wide = RenderRootCanvas(Solid(200, 100, kGreen), WallpaperMode::Fit, 100, 100);
    EXPECT_EQ(RowsWith(wide, 50, kGreen), std::make_pair(25, 74));
    EXPECT_EQ(ColumnsWith(wide, 50, kGreen), std::make_pair(0, 99));
    EXPECT_EQ(wide.pixel(50, 10), kBlack);
    EXPECT_EQ(wide.pixel(50, 90), kBlack);
    // 1:4 on a 2:1 screen: full height, a quarter of it wide, centred across.
    const Bitmap tall = RenderRootCanvas(Solid(10, 40, kGreen), WallpaperMode::Fit, 80, 40);
    EXPECT_EQ(ColumnsWith(tall, 20, kGreen), std::make_pair(35, 44));
    EXPECT_EQ(RowsWith(tall, 40, kGreen), std::make_pair(0, 39));
}

class RootCanvasFill : public ::testing::TestWithParam<WallpaperMode> {};

TEST_P(RootCanvasFill, CoversTheScreenCuttingEqualPartsOfTheOverflow)
{
    // Four 50-pixel stripes on a 100x100 screen: the middle two fill it, the outer two are cut.
    const Bitmap canvas = RenderRootCanvas(Stripes(50, 100, {kRed, kGreen, kBlue, kWhite}), GetParam(), 100, 100);
    EXPECT_EQ(ColumnsWith(canvas, 50, kGreen), std::make_pair(0, 49));
    EXPECT_EQ(ColumnsWith(canvas, 50, kBlue), std::make_pair(50, 99));
    EXPECT_EQ(RowsWith(canvas, 10, kGreen), std::make_pair(0, 99));
}

INSTANTIATE_TEST_SUITE_P(Modes, RootCanvasFill, ::testing::Values(WallpaperMode::Fill, WallpaperMode::Span));

TEST(RootCanvas, FillOfAThinPictureDoesNotBlowUpMemory)
{
    // 1 x 20000 scaled to cover a wide screen would be 20000 times the screen's width tall.
    const Bitmap canvas = RenderRootCanvas(Solid(1, 20000, kBlue), WallpaperMode::Fill, 400, 300);
    EXPECT_EQ(canvas.pixel(0, 0), kBlue);
    EXPECT_EQ(canvas.pixel(399, 299), kBlue);
}

} // namespace
} // namespace palvina
