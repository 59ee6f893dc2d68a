#include "compose/ComposeContext.h"
#include "compose/ComposeTestPictures.h"
#include "compose/JpegCodec.h"
#include "compose/MaskBlend.h"
#include "files/Errors.h"
#include "files/TempFolder.h"

#include <gtest/gtest.h>

#include <set>

namespace palvina {
namespace {

TEST(MaskBlend, DivisionFreeQuotientIsExactForEveryNumerator)
{
    for (std::uint32_t x = 0; x <= 255 * 255; ++x) {
        ASSERT_EQ(DivideBy255(x), x / 255) << x;
    }
}

TEST(MaskBlend, EveryComponentWeightAndBackgroundTruncates)
{
    for (unsigned a = 0; a < 256; ++a) {
        for (unsigned p = 0; p < 256; ++p) {
            for (unsigned b = 0; b < 256; ++b) {
                ASSERT_EQ(BlendComponent(static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(b),
                                         static_cast<std::uint8_t>(a)),
                          (p * a + b * (255 - a)) / 255);
            }
        }
    }
    EXPECT_EQ(BlendComponent(100, 0, 128), 50);
}

TEST(BlendWithMask, WeighsByTheMaskBlueAndKeepsTheOutputOutsideTheMask)
{
    const Bitmap picture = test::MakeSolid(4, 3, 0x102064);     // red 100, green 32, blue 16
    // Mask weights by column: 255, 128, 0; the blue component alone counts.
    const Bitmap mask = test::MakePicture(3, 2, [](int x, int) {
        return x == 0 ? 0xFF0000u : x == 1 ? 0x80FFFFu : 0x00FFFFu;
    });
    Bitmap output = test::MakeSolid(2, 5, 0x000000);
    BlendWithMask(picture, mask, output);
    ASSERT_EQ(output.width(), 4);
    ASSERT_EQ(output.height(), 3);
    EXPECT_EQ(output.pixel(0, 0), 0x102064u);
    EXPECT_EQ(output.pixel(1, 1), 0x081032u);  // 100 -> 50, 32 -> 16, 16 -> 8
    EXPECT_EQ(output.pixel(2, 1), 0u);         // weight 0 keeps the background (black, newly added)
    EXPECT_EQ(output.pixel(3, 0), 0u);         // beyond the mask: untouched
    EXPECT_EQ(output.pixel(0, 2), 0u);
}

TEST(BlendWithMask, AMaskLargerThanThePictureBlendsOnlyWhereBothExist)
{
    const Bitmap picture = test::MakeSolid(2, 2, 0xFFFFFF);
    const Bitmap mask = test::MakeSolid(5, 4, 0xFF0000);
    Bitmap output;
    BlendWithMask(picture, mask, output);
    EXPECT_EQ(output.width(), 2);
    EXPECT_EQ(output.pixel(1, 1), 0xFFFFFFu);
}

TEST(BlendOnto, MatchesCopyOutBlendCopyBackAndCutsAtTheEdges)
{
    const Bitmap picture = test::MakeNoise(6, 5, 2);
    const Bitmap mask = test::MakeNoise(6, 5, 3);
    for (const auto& [offX, offY] : {std::pair{0, 0}, std::pair{-2, 3}, std::pair{5, -4}, std::pair{9, 9}}) {
        const Bitmap canvas = test::MakeNoise(8, 7, 4);
        Bitmap expected = canvas;
        Bitmap area(6, 5);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 6; ++x) {
                if (offX + x >= 0 && offX + x < 8 && offY + y >= 0 && offY + y < 7) {
                    area.setPixel(x, y, canvas.pixel(offX + x, offY + y));
                }
            }
        }
        BlendWithMask(picture, mask, area);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 6; ++x) {
                if (offX + x >= 0 && offX + x < 8 && offY + y >= 0 && offY + y < 7) {
                    expected.setPixel(offX + x, offY + y, area.pixel(x, y));
                }
            }
        }
        Bitmap actual = canvas;
        BlendOnto(picture, mask, actual, offX, offY);
        EXPECT_EQ(test::MaxComponentDifference(actual, expected), 0) << offX << "," << offY;
    }
}

TEST(BlendWithRandomMask, StretchesTheMaskToThePictureSize)
{
    test::TempFolder folder;
    // Left half white (weight 255), right half black (weight 0), at a different size.
    EncodeJpegFile(test::MakePicture(40, 20, [](int x, int) { return x < 20 ? 0xFFFFFFu : 0u; }),
                   folder.file("halves.jpg"), 100);
    RandomSource random([] { return 1u; });
    const Bitmap picture = test::MakeSolid(20, 10, 0x00C8FF);
    Bitmap background = test::MakeSolid(20, 10, 0x640000);
    BlendWithRandomMask(picture, background, folder.path(), random);
    EXPECT_TRUE(test::ColourNear(background.pixel(2, 5), 0x00C8FF, 2));
    EXPECT_TRUE(test::ColourNear(background.pixel(17, 5), 0x640000, 2));
}

TEST(BlendWithRandomMask, ReseedsFromTheClockAndDrawsFromEveryMask)
{
    test::TempFolder folder;
    const std::uint32_t greys[] = {0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF};
    for (int i = 0; i < 4; ++i) {
        EncodeJpegFile(test::MakeSolid(8, 8, greys[i]), folder.file("mask" + std::to_string(i) + ".jpg"), 100);
    }
    std::uint32_t now = 0;
    RandomSource random([&now] { return now; });
    const Bitmap picture = test::MakeSolid(4, 4, 0xFFFFFF);
    const auto blendAt = [&](std::uint32_t time) {
        now = time;
        random.below(1000);  // drawing in between must not matter: the blend reseeds
        Bitmap background(4, 4);
        BlendWithRandomMask(picture, background, folder.path(), random);
        return background.pixel(1, 1) & 0xFF;
    };
    std::set<std::uint32_t> seen;
    for (std::uint32_t time = 0; time < 64; ++time) {
        const std::uint32_t first = blendAt(time);
        EXPECT_EQ(blendAt(time), first);
        seen.insert(first);
    }
    EXPECT_EQ(seen.size(), 4u);
}

TEST(BlendWithRandomMask, FailsWithoutAUsableMask)
{
    test::TempFolder folder;
    RandomSource random;
    const Bitmap picture = test::MakeSolid(4, 4, 0xFFFFFF);
    Bitmap background(4, 4);
    EXPECT_THROW(BlendWithRandomMask(picture, background, folder.path(), random), PictureError);
    EXPECT_THROW(BlendWithRandomMask(picture, background, folder.file("missing/"), random), PictureError);
    test::WriteBytes(folder.file("broken.jpg"), "not a picture");
    EXPECT_THROW(BlendWithRandomMask(picture, background, folder.path(), random), PictureError);
}

} // namespace
} // namespace palvina
