#include "compose/BmpFile.h"
#include "compose/ComposeTestSetup.h"
#include "compose/Composers.h"
#include "compose/JpegCodec.h"
#include "files/Errors.h"

#include <gtest/gtest.h>

namespace palvina {
namespace {

class ConvertTest : public test::ComposeTest {};

TEST_F(ConvertTest, CopiesBmpFilesAsTheyAre)
{
    // Any bytes: the copy does not look inside a ".bmp" file.
    test::WriteBytes(File("wall.Bmp"), std::string("BM\0\1 some bytes", 15));
    const std::string dest = OldDestination();
    ASSERT_TRUE(ConvertToBitmapFile(File("wall.Bmp"), dest));
    EXPECT_EQ(test::ReadBytes(dest), std::string("BM\0\1 some bytes", 15));
}

TEST_F(ConvertTest, DecodesOtherFilesAsJpegAtTheirOwnSize)
{
    EncodeJpegFile(test::MakeNoise(33, 21, 2), File("wall.jpeg"));
    ASSERT_TRUE(ConvertToBitmapFile(File("wall.jpeg"), File("out.bmp")));
    EXPECT_EQ(test::MaxComponentDifference(ReadBmpFile(File("out.bmp")), DecodeJpegFile(File("wall.jpeg"))), 0);
    const Bitmap result = ReadBmpFile(File("out.bmp"));
    EXPECT_EQ(result.width(), 33);
    EXPECT_EQ(result.height(), 21);
}

TEST_F(ConvertTest, FailuresThrowAndLeaveTheDestination)
{
    const std::string dest = OldDestination();
    // A failed copy is reported, not passed off as success.
    EXPECT_THROW(ConvertToBitmapFile(File("missing.bmp"), dest), FileWriteError);
    EXPECT_TRUE(DestinationUntouched());
    test::WriteBytes(File("wall.png"), "\x89PNG\r\n\x1a\n not a jpeg");
    EXPECT_THROW(ConvertToBitmapFile(File("wall.png"), dest), PictureError);
    EXPECT_TRUE(DestinationUntouched());
    test::WriteBytes(File("wall.bmp"), "BM");
    EXPECT_THROW(ConvertToBitmapFile(File("wall.bmp"), File("missing/out.bmp")), FileWriteError);
}

} // namespace
} // namespace palvina
