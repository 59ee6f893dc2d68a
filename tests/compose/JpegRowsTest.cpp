#include "ComposeTestPictures.h"
#include "JpegTestFiles.h"
#include "PictureTestFolder.h"
#include "compose/JpegCodec.h"
#include "files/Errors.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace palvina {
namespace {

using test::RecordingSink;

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kBlue = 0xFF0000;

// Left half red, right half blue.
Bitmap Halves(int width, int height)
{
    return test::MakePicture(width, height, [width](int x, int) { return x < width / 2 ? kRed : kBlue; });
}

struct ScaleCase {
    int width, height;        // the picture
    int minWidth, minHeight;  // asked for
    int expectedWidth, expectedHeight;
};

void PrintTo(const ScaleCase& c, std::ostream* os)
{
    *os << c.width << "x" << c.height << " min " << c.minWidth << "x" << c.minHeight;
}

class JpegScaledRowsTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(JpegScaledRowsTest, DecodesAtTheLargestReductionThatKeepsTheMinimum)
{
    const ScaleCase& c = GetParam();
    test::PictureTestFolder folder;
    const std::string path = folder.file("p.jpg");
    EncodeJpegFile(Halves(c.width, c.height), path, 90);

    RecordingSink sink;
    DecodeJpegFileRows(path, c.minWidth, c.minHeight, sink);
    EXPECT_EQ(sink.begins, 1);
    EXPECT_EQ(sink.misplacedRows, 0);
    ASSERT_EQ(sink.picture.width(), c.expectedWidth);
    ASSERT_EQ(sink.picture.height(), c.expectedHeight);
    EXPECT_EQ(sink.rows, c.expectedHeight);
    // The halves stay where they were, scaled.
    for (int y : {0, c.expectedHeight / 2, c.expectedHeight - 1}) {
        EXPECT_TRUE(test::ColourNear(sink.picture.pixel(c.expectedWidth / 4, y), kRed, 8)) << y;
        EXPECT_TRUE(test::ColourNear(sink.picture.pixel(c.expectedWidth * 3 / 4, y), kBlue, 8)) << y;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, JpegScaledRowsTest,
    ::testing::Values(ScaleCase{4000, 3000, 1920, 1080, 2000, 1500},  // 4/8
                      ScaleCase{4000, 3000, 0, 0, 4000, 3000},        // full size
                      ScaleCase{800, 600, 100, 75, 100, 75},          // 1/8 exactly
                      ScaleCase{800, 600, 101, 0, 200, 150},          // width alone decides: 1/4
                      ScaleCase{800, 600, 0, 151, 400, 300},          // height alone decides: 1/2
                      ScaleCase{800, 600, 401, 10, 800, 600},         // no 5/8 to 7/8 steps
                      ScaleCase{800, 600, 1920, 1080, 800, 600},      // smaller than asked: full size
                      ScaleCase{801, 601, 100, 75, 101, 76}));        // sizes round up

TEST(JpegRowsTest, FullSizeRowsMatchTheBitmapDecode)
{
    const Bitmap picture = test::MakeNoise(77, 45, 3);
    test::PictureTestFolder folder;
    const std::string path = folder.file("noise.jpg");
    EncodeJpegFile(picture, path, 85);
    const Bitmap direct = DecodeJpegFile(path);
    RecordingSink sink;
    DecodeJpegFileRows(path, 0, 0, sink);
    ASSERT_EQ(sink.rows, 45);
    EXPECT_EQ(test::MaxComponentDifference(direct, sink.picture), 0);
}

struct StopDecoding {};

// Throws from the given row on.
class FailingSink : public RowSink {
public:
    explicit FailingSink(int failAt) : failAt_(failAt) {}
    void begin(int, int) override
    {
        if (failAt_ < 0) {
            throw StopDecoding{};
        }
    }
    void row(const std::uint8_t*) override
    {
        if (rows_++ == failAt_) {
            throw StopDecoding{};
        }
    }

private:
    int failAt_;
    int rows_ = 0;
};

TEST(JpegRowsTest, TheSinksExceptionComesOutUnchanged)
{
    test::PictureTestFolder folder;
    const std::string path = folder.file("p.jpg");
    EncodeJpegFile(Halves(64, 64), path, 90);
    for (int failAt : {-1, 0, 20, 63}) {
        FailingSink sink(failAt);
        EXPECT_THROW(DecodeJpegFileRows(path, 0, 0, sink), StopDecoding) << failAt;
    }
}

} // namespace
} // namespace palvina
