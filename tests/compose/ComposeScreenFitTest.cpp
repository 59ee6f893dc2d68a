#include "compose/BmpFile.h"
#include "compose/ComposeTestSetup.h"
#include "compose/Composers.h"
#include "compose/JpegCodec.h"
#include "compose/Resampler.h"
#include "files/Errors.h"

#include <gtest/gtest.h>

#include <ostream>

namespace palvina {
namespace {

using test::PlacedColour;

// Screen 64 x 48 throughout.
struct PlaceCase {
    int width, height;
    bool savedAsDecoded;  // the BMP is the decoded picture itself, at its own size
    int offX, offY;       // else: where the picture lies on the black screen-size canvas
};

void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.width << "x" << c.height; }

class PlacementTest : public test::ComposeTest, public ::testing::WithParamInterface<PlaceCase> {
protected:
    void SetUp() override { SetScreen(64, 48); }

    // Composes a noise picture of the case's size and checks the written BMP.
    template <typename Composer>
    void Check(Composer compose)
    {
        const PlaceCase c = GetParam();
        const std::string picture = File("picture.jpg");
        EncodeJpegFile(test::MakeNoise(c.width, c.height, 9), picture);
        const Bitmap decoded = DecodeJpegFile(picture);
        const std::string dest = File("out.bmp");
        ASSERT_TRUE(compose(picture, dest, ctx_));
        const Bitmap result = ReadBmpFile(dest);
        if (c.savedAsDecoded) {
            ASSERT_EQ(result.width(), c.width);
            ASSERT_EQ(result.height(), c.height);
            EXPECT_EQ(test::MaxComponentDifference(result, decoded), 0);
            return;
        }
        ASSERT_EQ(result.width(), 64);
        ASSERT_EQ(result.height(), 48);
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                ASSERT_EQ(result.pixel(x, y), PlacedColour(decoded, c.offX, c.offY, x, y, 0)) << x << "," << y;
            }
        }
    }
};

class PictorialPageTest : public PlacementTest {};

TEST_P(PictorialPageTest, KeepsTheRightEdgeAndCentresVertically)
{
    Check(ComposePictorialPage);
}

INSTANTIATE_TEST_SUITE_P(Screen64x48, PictorialPageTest,
                         ::testing::Values(PlaceCase{64, 48, true, 0, 0},     // exactly the screen
                                           PlaceCase{63, 48, false, 1, 0},    // black column at the left
                                           PlaceCase{64, 43, false, 0, 2},    // 2 rows above, 3 below
                                           PlaceCase{60, 53, false, 4, -2},   // 2 rows cut above, 3 below
                                           PlaceCase{80, 40, false, -16, 4},  // left part cut
                                           PlaceCase{80, 60, true, 0, 0},     // larger: own size
                                           PlaceCase{10, 5, false, 54, 21}));

class CenteredTest : public PlacementTest {};

TEST_P(CenteredTest, CentresPicturesSmallerInEitherDirection)
{
    Check(ComposeCenteredOrStretched);
}

INSTANTIATE_TEST_SUITE_P(Screen64x48, CenteredTest,
                         ::testing::Values(PlaceCase{65, 40, false, 0, 4},  // one wider, shorter: not stretched
                                           PlaceCase{30, 20, false, 17, 14},
                                           PlaceCase{40, 53, false, 12, -2},
                                           PlaceCase{70, 47, false, -3, 0},
                                           PlaceCase{64, 48, true, 0, 0}));  // 1:1 stretch is exact

Bitmap SmoothPicture(int width, int height)
{
    return test::MakePicture(width, height, [width, height](int x, int y) {
        return static_cast<std::uint32_t>(x * 255 / width) | static_cast<std::uint32_t>(y * 255 / height) << 8
             | 0x300000u;
    });
}

class ScreenFitTest : public test::ComposeTest {
protected:
    void SetUp() override { SetScreen(64, 48); }

    // The written BMP is the picture stretched to the screen (compared with a full-size decode
    // stretched, which the decoder's own reduction may differ from slightly).
    void ExpectStretched(const std::string& picture, const std::string& dest)
    {
        Bitmap expected(64, 48);
        SmoothStretch(DecodeJpegFile(picture), expected);
        const Bitmap result = ReadBmpFile(dest);
        ASSERT_EQ(result.width(), 64);
        ASSERT_EQ(result.height(), 48);
        EXPECT_LE(test::MaxComponentDifference(result, expected), 4);
    }
};

TEST_F(ScreenFitTest, WallpapersAreStretchedWhateverTheirShape)
{
    for (const auto& [w, h] : {std::pair{200, 60}, std::pair{20, 90}, std::pair{64, 48}}) {
        const std::string picture = File("wall.jpg");
        EncodeJpegFile(SmoothPicture(w, h), picture, 95);
        ASSERT_TRUE(ComposeStretched(picture, File("out.bmp"), ctx_));
        ExpectStretched(picture, File("out.bmp"));
    }
}

TEST_F(ScreenFitTest, SharedPicturesAtLeastTheScreenSizeAreStretched)
{
    for (const auto& [w, h] : {std::pair{256, 192}, std::pair{64, 300}, std::pair{100, 48}}) {
        const std::string picture = File("shared.jpg");
        EncodeJpegFile(SmoothPicture(w, h), picture, 95);
        ASSERT_TRUE(ComposeCenteredOrStretched(picture, File("out.bmp"), ctx_));
        ExpectStretched(picture, File("out.bmp"));
    }
}

TEST_F(ScreenFitTest, ScreenSizeIsReadAtEveryCall)
{
    const std::string picture = File("wall.jpg");
    EncodeJpegFile(SmoothPicture(50, 50), picture);
    ComposeStretched(picture, File("out.bmp"), ctx_);
    EXPECT_EQ(ReadBmpFile(File("out.bmp")).width(), 64);
    screen_ = {32, 20};
    ComposeStretched(picture, File("out.bmp"), ctx_);
    EXPECT_EQ(ReadBmpFile(File("out.bmp")).width(), 32);
}

TEST_F(ScreenFitTest, FailuresLeaveTheDestinationAsItWas)
{
    using Composer = bool (*)(const std::string&, const std::string&, const ComposeContext&);
    // A BMP is not decoded whatever its name: these composers take every picture as JPEG.
    WriteBmpFile(test::MakeNoise(70, 50, 1), File("picture.bmp"));
    WriteBmpFile(test::MakeNoise(70, 50, 1), File("bmp-named.jpg"));
    EncodeJpegFile(test::MakeNoise(70, 50, 1), File("whole.jpg"));
    test::WriteBytes(File("truncated.jpg"), test::ReadBytes(File("whole.jpg")).substr(0, 200));
    for (const Composer compose : {Composer{ComposePictorialPage}, Composer{ComposeStretched},
                                   Composer{ComposeCenteredOrStretched}}) {
        for (const char* name : {"picture.bmp", "bmp-named.jpg", "missing.jpg", "truncated.jpg"}) {
            const std::string dest = OldDestination();
            EXPECT_THROW(compose(File(name), dest, ctx_), PictureError) << name;
            EXPECT_TRUE(DestinationUntouched()) << name;
        }
        EXPECT_THROW(compose(File("whole.jpg"), File("no-such-folder/out.bmp"), ctx_), FileWriteError);
    }
}

} // namespace
} // namespace palvina
