#include "compose/JpegCodec.h"
#include "compose/Resampler.h"
#include "compose/StretchedRows.h"
#include "compose/ComposeTestPictures.h"
#include "files/Errors.h"
#include "files/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <utility>
#include <vector>

namespace palvina {
namespace {

using test::MakeNoise;
using test::MakePicture;
using test::MaxComponentDifference;

// Slow reference in double precision: per axis, the exact area average when shrinking, linear
// interpolation between pixel centres when enlarging, the pixel itself when the size is equal.
std::vector<std::vector<std::pair<int, double>>> ReferenceAxis(int source, int dest)
{
    std::vector<std::vector<std::pair<int, double>>> taps(static_cast<std::size_t>(dest));
    for (int i = 0; i < dest; ++i) {
        if (source == dest) {
            taps[i] = {{i, 1.0}};
        } else if (source > dest) {
            const double scale = static_cast<double>(source) / dest;
            const double lo = i * scale;
            const double hi = (i + 1) * scale;
            for (int k = static_cast<int>(std::floor(lo)); k < hi && k < source; ++k) {
                const double overlap = std::min(hi, k + 1.0) - std::max(lo, static_cast<double>(k));
                if (overlap > 0) {
                    taps[i].push_back({k, overlap / scale});
                }
            }
        } else {
            const double centre = std::clamp((i + 0.5) * source / dest - 0.5, 0.0, source - 1.0);
            const int k = static_cast<int>(std::floor(centre));
            const double f = centre - k;
            taps[i].push_back({k, 1.0 - f});
            if (k + 1 < source) {
                taps[i].push_back({k + 1, f});
            }
        }
    }
    return taps;
}

Bitmap ReferenceStretch(const Bitmap& source, int width, int height)
{
    const auto across = ReferenceAxis(source.width(), width);
    const auto down = ReferenceAxis(source.height(), height);
    Bitmap result(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t colour = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                double sum = 0;
                for (const auto& [sy, wy] : down[y]) {
                    for (const auto& [sx, wx] : across[x]) {
                        sum += wy * wx * ((source.pixel(sx, sy) >> shift) & 0xFF);
                    }
                }
                colour |= static_cast<std::uint32_t>(std::lround(sum)) << shift;
            }
            result.setPixel(x, y, colour);
        }
    }
    return result;
}

struct StretchCase {
    int sourceWidth, sourceHeight, destWidth, destHeight;
};

void PrintTo(const StretchCase& c, std::ostream* os)
{
    *os << c.sourceWidth << "x" << c.sourceHeight << " -> " << c.destWidth << "x" << c.destHeight;
}

class SmoothStretchTest : public ::testing::TestWithParam<StretchCase> {};

TEST_P(SmoothStretchTest, MatchesTheReferenceWithinOne)
{
    const StretchCase c = GetParam();
    const Bitmap source = MakeNoise(c.sourceWidth, c.sourceHeight, 7);
    const Bitmap expected = ReferenceStretch(source, c.destWidth, c.destHeight);

    Bitmap dest24(c.destWidth, c.destHeight);
    SmoothStretch(source, dest24);
    EXPECT_LE(MaxComponentDifference(dest24, expected), 1);

    // Both 32-bit forms give the same pixels as the 24-bit one.
    Bitmap source32 = source;
    source32.setFormat(PixelFormat::Bgrx32);
    Bitmap dest32(c.destWidth, c.destHeight, PixelFormat::Bgrx32);
    SmoothStretch(source32, dest32);
    EXPECT_EQ(dest32.format(), PixelFormat::Bgrx32);
    EXPECT_EQ(MaxComponentDifference(dest32, dest24), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SmoothStretchTest,
                         ::testing::Values(StretchCase{10, 10, 3, 3}, StretchCase{100, 80, 33, 17},
                                           StretchCase{64, 48, 32, 24}, StretchCase{13, 9, 40, 31},
                                           StretchCase{64, 48, 64, 20}, StretchCase{50, 20, 17, 60},
                                           StretchCase{1, 1, 9, 7}, StretchCase{9, 7, 1, 1},
                                           StretchCase{3, 200, 5, 2}, StretchCase{2, 2, 3, 3},
                                           StretchCase{97, 61, 96, 62}, StretchCase{300, 5, 7, 5}));

TEST(SmoothStretch, EqualSizeCopiesEveryPixelExactly)
{
    const Bitmap source = MakeNoise(31, 17, 3);
    Bitmap dest(31, 17);
    SmoothStretch(source, dest);
    EXPECT_EQ(MaxComponentDifference(dest, source), 0);

    // One axis 1:1 keeps that axis exact: a single-row picture shrunk across stays one row.
    const Bitmap line = MakeNoise(40, 1, 4);
    Bitmap narrower(20, 1);
    SmoothStretch(line, narrower);
    for (int x = 0; x < 20; ++x) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int a = (line.pixel(2 * x, 0) >> shift) & 0xFF;
            const int b = (line.pixel(2 * x + 1, 0) >> shift) & 0xFF;
            EXPECT_NEAR((narrower.pixel(x, 0) >> shift) & 0xFF, (a + b) / 2.0, 0.51);
        }
    }
}

TEST(StretchSink, WritesDestinationRowsAsSoonAsTheirSourceRowsArrived)
{
    for (const StretchCase c : {StretchCase{40, 40, 30, 17}, StretchCase{10, 10, 30, 33}}) {
        const Bitmap source = MakeNoise(c.sourceWidth, c.sourceHeight, 11);
        const Bitmap expected = ReferenceStretch(source, c.destWidth, c.destHeight);
        Bitmap dest(c.destWidth, c.destHeight);
        StretchSink sink(dest);
        sink.begin(source.width(), source.height());
        for (int y = 0; y < source.height() / 2; ++y) {
            sink.row(source.row(y));
        }
        EXPECT_FALSE(sink.finished());
        // Destination rows wholly inside the first half of the source are done already.
        const int done = (c.destHeight * (source.height() / 2) - c.destHeight) / source.height() - 1;
        ASSERT_GT(done, 0);
        for (int y = 0; y < done; ++y) {
            for (int x = 0; x < c.destWidth; ++x) {
                ASSERT_TRUE(test::ColourNear(dest.pixel(x, y), expected.pixel(x, y), 1)) << x << "," << y;
            }
        }
        for (int y = source.height() / 2; y < source.height(); ++y) {
            sink.row(source.row(y));
        }
        EXPECT_TRUE(sink.finished());
        EXPECT_LE(MaxComponentDifference(dest, expected), 1);
        EXPECT_THROW(sink.row(source.row(0)), PictureError);
    }
}

TEST(StretchedRows, GivesTheRowsOfTheWholeStretchOnDemand)
{
    for (const StretchCase c : {StretchCase{40, 30, 90, 100}, StretchCase{90, 100, 40, 30}, StretchCase{1, 1, 5, 4}}) {
        const Bitmap source = MakeNoise(c.sourceWidth, c.sourceHeight, 12);
        Bitmap expected(c.destWidth, c.destHeight);
        SmoothStretch(source, expected);
        StretchedRows rows(source, c.destWidth, c.destHeight);
        for (int y = 0; y < c.destHeight; y += 1 + y % 3) {
            const std::uint8_t* row = rows.row(y);
            ASSERT_EQ(std::vector<std::uint8_t>(row, row + expected.stride()),
                      std::vector<std::uint8_t>(expected.row(y), expected.row(y) + expected.stride()))
                << y;
            EXPECT_EQ(rows.row(y), row);
        }
        EXPECT_THROW(rows.row(0), PictureError);
    }
}

TEST(LoadJpegStretched, DecodesStraightToTheAskedSize)
{
    test::TempFolder folder;
    const std::string path = folder.file("smooth.jpg");
    // Smooth content, so that the decoder's own reduction stays close to a full-size stretch.
    EncodeJpegFile(MakePicture(400, 300,
                               [](int x, int y) {
                                   return static_cast<std::uint32_t>(x * 255 / 399)
                                        | static_cast<std::uint32_t>(y * 255 / 299) << 8 | 0x400000u;
                               }),
                   path, 95);
    const Bitmap full = DecodeJpegFile(path);
    for (const auto& [w, h] : {std::pair{100, 75}, std::pair{130, 70}, std::pair{400, 300}, std::pair{640, 480}}) {
        const Bitmap result = LoadJpegStretched(path, w, h);
        ASSERT_EQ(result.width(), w);
        ASSERT_EQ(result.height(), h);
        EXPECT_LE(MaxComponentDifference(result, ReferenceStretch(full, w, h)), 4) << w << "x" << h;
    }
    EXPECT_EQ(MaxComponentDifference(LoadJpegStretched(path, 400, 300), full), 0);
    EXPECT_THROW(LoadJpegStretched(folder.file("missing.jpg"), 10, 10), PictureError);
}

} // namespace
} // namespace palvina
