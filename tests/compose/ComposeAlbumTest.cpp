#include "compose/BmpFile.h"
#include "compose/ComposeTestSetup.h"
#include "compose/Composers.h"
#include "compose/FitValues.h"
#include "compose/JpegCodec.h"
#include "compose/Resampler.h"
#include "files/Errors.h"

#include <gtest/gtest.h>

#include <ostream>

namespace palvina {
namespace {

using test::PlacedColour;

constexpr std::uint32_t kWhite = 0xFFFFFF;

// Album composition on a 640 x 480 screen.
class AlbumTest : public test::ComposeTest {
protected:
    void SetUp() override { SetScreen(640, 480); }

    // A noise JPEG picture; returns its decoded pixels.
    Bitmap MakeJpeg(const std::string& name, int width, int height, unsigned seed = 3)
    {
        EncodeJpegFile(test::MakeNoise(width, height, seed), File(name));
        return DecodeJpegFile(File(name));
    }

    bool OnBackground(const std::string& picture, const std::string& kind, const std::string& solid,
                      const std::string& from, const std::string& to, const std::string& direction,
                      const std::string& tile, const std::string& mask, const std::string& dest = "out.bmp")
    {
        return ComposeOnBackground(File(picture), File(dest), kind, solid, from, to, direction, tile, mask, ctx_);
    }

    void AddMask(const std::string& name, const Bitmap& mask) { EncodeJpegFile(mask, ctx_.maskFolder + name, 100); }

    Bitmap Result() const { return ReadBmpFile(File("out.bmp")); }
};

// Every pixel of the result is the picture placed at (offX, offY) or, elsewhere, background(x, y).
template <typename Background>
void ExpectPlaced(const Bitmap& result, const Bitmap& picture, int offX, int offY, Background background)
{
    for (int y = 0; y < result.height(); ++y) {
        for (int x = 0; x < result.width(); ++x) {
            ASSERT_EQ(result.pixel(x, y), PlacedColour(picture, offX, offY, x, y, background(x, y)))
                << x << "," << y;
        }
    }
}

TEST_F(AlbumTest, SolidBackgroundNeedsNoGradientOrTileTexts)
{
    const Bitmap picture = MakeJpeg("p.jpg", 100, 81);
    ASSERT_TRUE(OnBackground("p.jpg", "0", "$00204080", "", "", "", "", "0"));
    const Bitmap result = Result();
    ASSERT_EQ(result.width(), 640);
    ASSERT_EQ(result.height(), 480);
    ExpectPlaced(result, picture, 270, 199, [](int, int) { return 0x204080u; });
}

TEST_F(AlbumTest, GradientBackgroundUsesStartAndEndColours)
{
    const Bitmap picture = MakeJpeg("p.jpg", 40, 30);
    ASSERT_TRUE(OnBackground("p.jpg", "1", "", "clNavy", "clBlack", "0", "", "False"));
    const Bitmap result = Result();
    EXPECT_EQ(result.pixel(0, 0), 0x800000u);
    EXPECT_EQ(result.pixel(5, 240), 0x400000u);
    EXPECT_EQ(result.pixel(639, 479), 0u);
    ExpectPlaced(result, picture, 300, 225, [&result](int x, int y) { return result.pixel(x == 0 ? 1 : 0, y); });

    ASSERT_TRUE(OnBackground("p.jpg", "1", "", "clRed", "clBlue", "1", "", "0"));
    EXPECT_EQ(Result().pixel(0, 10), 0x0000FFu);
    EXPECT_EQ(Result().pixel(320, 10), 0x800080u);
}

TEST_F(AlbumTest, TiledBackgroundRepeatsADecodedJpeg)
{
    const Bitmap picture = MakeJpeg("p.jpg", 40, 30);
    const Bitmap tile = MakeJpeg("tile.jpg", 33, 17, 8);
    ASSERT_TRUE(OnBackground("p.jpg", "2", "", "", "", "", File("tile.jpg"), "0"));
    ExpectPlaced(Result(), picture, 300, 225, [&tile](int x, int y) { return tile.pixel(x % 33, y % 17); });
}

TEST_F(AlbumTest, UnknownBackgroundKindLeavesBlack)
{
    const Bitmap picture = MakeJpeg("p.jpg", 40, 30);
    ASSERT_TRUE(OnBackground("p.jpg", "3", "not a colour", "", "", "x", "", "0"));
    ExpectPlaced(Result(), picture, 300, 225, [](int, int) { return 0u; });
}

TEST_F(AlbumTest, BmpAlbumPicturesAreComposedLikeDecodedOnes)
{
    const Bitmap picture = test::MakeNoise(100, 50, 4);
    WriteBmpFile(picture, File("hand-placed.BMP"));
    ASSERT_TRUE(OnBackground("hand-placed.BMP", "0", "clWhite", "", "", "", "", "0"));
    ExpectPlaced(Result(), picture, 270, 215, [](int, int) { return kWhite; });

    // Larger than the screen: scaled to fit like a JPEG picture.
    const Bitmap large = test::MakeNoise(1280, 600, 5);
    WriteBmpFile(large, File("large.bmp"));
    ASSERT_TRUE(OnBackground("large.bmp", "0", "clWhite", "", "", "", "", "0"));
    const FitValues fit = FitOnBackground(1280, 600, 640, 480);
    Bitmap scaled(fit.width, fit.height);
    SmoothStretch(large, scaled);
    ExpectPlaced(Result(), scaled, fit.offX, fit.offY, [](int, int) { return kWhite; });
}

TEST_F(AlbumTest, LargePicturesAreScaledToFitAndMayOverflowTheHeight)
{
    // 800 x 700 on 640 x 480 gives 640 x 560: it overflows the screen's height by 40 each side.
    const Bitmap smooth = test::MakePicture(800, 700, [](int x, int y) {
        return static_cast<std::uint32_t>(x * 255 / 800) | static_cast<std::uint32_t>(y * 255 / 700) << 8;
    });
    EncodeJpegFile(smooth, File("big.jpg"), 95);
    ASSERT_TRUE(OnBackground("big.jpg", "0", "clRed", "", "", "", "", "0"));
    Bitmap scaled(640, 560);
    SmoothStretch(DecodeJpegFile(File("big.jpg")), scaled);
    Bitmap expected(640, 480);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            expected.setPixel(x, y, scaled.pixel(x, y + 40));
        }
    }
    EXPECT_LE(test::MaxComponentDifference(Result(), expected), 4);
}

TEST_F(AlbumTest, MaskBlendsThePictureIntoTheBackground)
{
    // Left half white: the picture; right half black: the background shows.
    AddMask("halves.jpg", test::MakePicture(64, 64, [](int x, int) { return x < 32 ? kWhite : 0u; }));
    const Bitmap picture = test::MakeSolid(100, 80, 0x0000FF);
    WriteBmpFile(picture, File("p.bmp"));
    EncodeJpegFile(picture, File("p.jpg"), 100);
    for (const char* name : {"p.bmp", "p.jpg"}) {
        ASSERT_TRUE(OnBackground(name, "0", "clLime", "", "", "", "", "-1"));
        const Bitmap result = Result();
        EXPECT_TRUE(test::ColourNear(result.pixel(275, 240), 0x0000FF, 2)) << name;
        EXPECT_TRUE(test::ColourNear(result.pixel(365, 240), 0x00FF00, 2)) << name;
        EXPECT_EQ(result.pixel(269, 240), 0x00FF00u) << name;
    }
}

TEST_F(AlbumTest, FramedPictureHasAWhiteBorderWithoutMask)
{
    EncodeJpegFile(test::MakeSolid(50, 40, 0x408020), File("frame.jpg"));
    const Bitmap picture = MakeJpeg("p.jpg", 200, 150);
    ASSERT_TRUE(ComposeFramed(File("p.jpg"), File("out.bmp"), File("frame.jpg"), "0", ctx_));
    const Bitmap result = Result();
    ASSERT_EQ(result.width(), 640);
    // offX = 640 - 100 - 200 = 340, offY = 100; the border runs from 325 to 554 and 85 to 264.
    const auto frameOrBorder = [](int x, int y) {
        return x >= 325 && x < 555 && y >= 85 && y < 265 ? kWhite : 0x408020u;
    };
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            // The picture keeps its size, so its pixels are exact; the frame is a stretched JPEG.
            const bool inPicture = x >= 340 && x < 540 && y >= 100 && y < 250;
            const std::uint32_t expected = PlacedColour(picture, 340, 100, x, y, frameOrBorder(x, y));
            ASSERT_TRUE(test::ColourNear(result.pixel(x, y), expected, inPicture ? 0 : 2)) << x << "," << y;
        }
    }
}

TEST_F(AlbumTest, FramedPictureThroughAMaskHasNoBorder)
{
    AddMask("halves.jpg", test::MakePicture(64, 64, [](int x, int) { return x < 32 ? kWhite : 0u; }));
    EncodeJpegFile(test::MakeSolid(50, 40, 0x408020), File("frame.jpg"));
    WriteBmpFile(test::MakeSolid(200, 150, 0xFF0000), File("p.bmp"));
    ASSERT_TRUE(ComposeFramed(File("p.bmp"), File("out.bmp"), File("frame.jpg"), "True", ctx_));
    const Bitmap result = Result();
    for (const auto& [x, y] : {std::pair{330, 95}, std::pair{339, 150}, std::pair{545, 260}, std::pair{500, 200}}) {
        EXPECT_TRUE(test::ColourNear(result.pixel(x, y), 0x408020, 2)) << x << "," << y;
    }
    EXPECT_TRUE(test::ColourNear(result.pixel(345, 150), 0xFF0000, 2));
}

TEST_F(AlbumTest, SmallBmpFrameGivesItsOwnSizeAndCutsThePicture)
{
    const Bitmap frame = test::MakeNoise(400, 300, 6);
    WriteBmpFile(frame, File("frame.bmp"));
    const Bitmap picture = MakeJpeg("p.jpg", 200, 150);
    ASSERT_TRUE(ComposeFramed(File("p.jpg"), File("out.bmp"), File("frame.bmp"), "0", ctx_));
    const Bitmap result = Result();
    ASSERT_EQ(result.width(), 400);
    ASSERT_EQ(result.height(), 300);
    ExpectPlaced(result, picture, 340, 100, [&frame](int x, int y) {
        return x >= 325 && y >= 85 && y < 265 ? kWhite : frame.pixel(x, y);
    });
}

TEST_F(AlbumTest, LargePictureIsScaledIntoTheFrame)
{
    EncodeJpegFile(test::MakeSolid(50, 40, 0x408020), File("frame.jpg"));
    WriteBmpFile(test::MakeSolid(1000, 500, 0x0000FF), File("p.bmp"));
    ASSERT_TRUE(ComposeFramed(File("p.bmp"), File("out.bmp"), File("frame.jpg"), "0", ctx_));
    // 1000 x 500 -> 240 x 120 at (300, 100).
    const Bitmap result = Result();
    EXPECT_EQ(result.pixel(300, 100), 0x0000FFu);
    EXPECT_EQ(result.pixel(539, 219), 0x0000FFu);
    EXPECT_EQ(result.pixel(540, 219), kWhite);
    EXPECT_EQ(result.pixel(539, 220), kWhite);
    EXPECT_EQ(result.pixel(299, 100), kWhite);
}

struct FailureCase {
    const char* what;
    const char* kind;
    const char* solid;
    const char* direction;
    const char* tile;
    const char* mask;
    bool framed;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.what; }

class AlbumFailureTest : public AlbumTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(AlbumFailureTest, FailsAndLeavesTheDestinationAsItWas)
{
    const FailureCase& c = GetParam();
    MakeJpeg("p.jpg", 40, 30);
    EncodeJpegFile(test::MakeSolid(50, 40, 0x408020), File("frame.jpg"));
    const std::string dest = OldDestination();
    if (c.framed) {
        EXPECT_ANY_THROW(ComposeFramed(File("p.jpg"), dest, File(c.tile), c.mask, ctx_));
    } else {
        EXPECT_ANY_THROW(ComposeOnBackground(File("p.jpg"), dest, c.kind, c.solid, "clNavy", "clBlack", c.direction,
                                             c.tile[0] ? File(c.tile) : "", c.mask, ctx_));
    }
    EXPECT_TRUE(DestinationUntouched());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AlbumFailureTest,
    ::testing::Values(FailureCase{"bad solid colour", "0", "clNope", "", "", "0", false},
                      FailureCase{"empty solid colour", "0", "", "", "", "0", false},
                      FailureCase{"bad band direction", "1", "", "down", "", "0", false},
                      FailureCase{"missing tile picture", "2", "", "", "missing.jpg", "0", false},
                      FailureCase{"bad mask flag", "0", "clRed", "", "", "yes", false},
                      FailureCase{"empty mask flag", "0", "clRed", "", "", "", false},
                      FailureCase{"empty mask folder", "0", "clRed", "", "", "-1", false},
                      FailureCase{"framed, empty mask folder", "", "", "", "frame.jpg", "True", true},
                      FailureCase{"framed, bad mask flag", "", "", "", "frame.jpg", "Yes", true},
                      FailureCase{"framed, missing frame", "", "", "", "missing.jpg", "0", true}));

TEST_F(AlbumTest, ErrorKindsAreTheCoreOnes)
{
    MakeJpeg("p.jpg", 40, 30);
    EXPECT_THROW(OnBackground("p.jpg", "0", "clNope", "", "", "", "", "0"), ConvertError);
    EXPECT_THROW(OnBackground("p.jpg", "0", "clRed", "", "", "", "", "maybe"), ConvertError);
    EXPECT_THROW(OnBackground("p.jpg", "0", "clRed", "", "", "", "", "1"), PictureError);
    EXPECT_THROW(OnBackground("missing.jpg", "0", "clRed", "", "", "", "", "0"), PictureError);
    EXPECT_THROW(OnBackground("p.jpg", "0", "clRed", "", "", "", "", "0", "missing/out.bmp"), FileWriteError);
}

} // namespace
} // namespace palvina
