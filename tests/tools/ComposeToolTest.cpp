// Runs palvina-compose as a whole process, as scripts and the benchmark do.

#include "compose/Bitmap.h"
#include "compose/BmpFile.h"
#include "compose/JpegCodec.h"
#include "files/AtomicFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace palvina;

namespace {

struct RunResult {
    int status = -1;
    std::string stderrText;
};

RunResult RunTool(const std::string& args, const fs::path& dir)
{
    const fs::path errFile = dir / "stderr.txt";
    const std::string command = std::string(PALVINA_COMPOSE_TOOL) + " " + args + " 2>" + errFile.string();
    const int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    ReadWholeFile(errFile.string(), result.stderrText);
    return result;
}

class ComposeToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path()
             / ("compose-tool-" + std::to_string(::getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A 100 x 50 picture: left half red, right half blue.
    std::string MakePicture(const std::string& name)
    {
        Bitmap picture(100, 50);
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 100; ++x) {
                picture.setPixel(x, y, x < 50 ? 0x0000FFu : 0xFF0000u);
            }
        }
        const std::string path = (dir_ / name).string();
        EncodeJpegFile(picture, path, 95);
        return path;
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

bool IsRed(std::uint32_t c) { return (c & 0xFF) > 200 && ((c >> 8) & 0xFF) < 60 && (c >> 16) < 60; }
bool IsBlue(std::uint32_t c) { return (c & 0xFF) < 60 && ((c >> 8) & 0xFF) < 60 && (c >> 16) > 200; }

} // namespace

TEST_F(ComposeToolTest, StretchesAWallpaperToTheScreen)
{
    const std::string picture = MakePicture("sky.jpg");
    const RunResult run = RunTool("--screen 64x40 --class 1 " + picture + " " + Path("out.bmp"), dir_);
    ASSERT_EQ(run.status, 0) << run.stderrText;
    const Bitmap out = ReadBmpFile(Path("out.bmp"));
    EXPECT_EQ(out.width(), 64);
    EXPECT_EQ(out.height(), 40);
    EXPECT_TRUE(IsRed(out.pixel(2, 20)));
    EXPECT_TRUE(IsBlue(out.pixel(61, 20)));
}

TEST_F(ComposeToolTest, AdvertisementWallpaperIsPlacedAsAPictorialPage)
{
    const std::string picture = MakePicture("bad_sky.jpg");
    const RunResult run = RunTool("--screen 200x80 --class 1 " + picture + " " + Path("out.bmp"), dir_);
    ASSERT_EQ(run.status, 0) << run.stderrText;
    const Bitmap out = ReadBmpFile(Path("out.bmp"));
    ASSERT_EQ(out.width(), 200);
    EXPECT_EQ(out.pixel(50, 40), 0u) << "left of the page stays black";
    EXPECT_TRUE(IsRed(out.pixel(110, 40)));
    EXPECT_TRUE(IsBlue(out.pixel(195, 40)));
}

TEST_F(ComposeToolTest, AlbumPictureUsesThePlayListBackground)
{
    const std::string picture = MakePicture("photo.jpg");
    WriteFileAtomically(Path("config.dll"),
                        "[BlkOption]\r\nnRadioTag=0\r\nColorSoild=clLime\r\n[PicSet]\r\nCheckMask=0\r\n");
    const RunResult run = RunTool("--screen 300x100 --class 2 --playlist " + Path("config.dll") + " "
                                  + picture + " " + Path("out.bmp"), dir_);
    ASSERT_EQ(run.status, 0) << run.stderrText;
    const Bitmap out = ReadBmpFile(Path("out.bmp"));
    EXPECT_EQ(out.pixel(5, 5), 0x00FF00u);
    EXPECT_TRUE(IsRed(out.pixel(120, 50)));
    EXPECT_TRUE(IsBlue(out.pixel(180, 50)));
}

TEST_F(ComposeToolTest, FailureLeavesDestinationUntouched)
{
    WriteFileAtomically(Path("broken.jpg"), "not a picture");
    WriteFileAtomically(Path("out.bmp"), "previous wallpaper");
    const RunResult run = RunTool("--screen 64x40 --class 1 " + Path("broken.jpg") + " " + Path("out.bmp"), dir_);
    EXPECT_NE(run.status, 0);
    EXPECT_FALSE(run.stderrText.empty());
    std::string content;
    ASSERT_TRUE(ReadWholeFile(Path("out.bmp"), content));
    EXPECT_EQ(content, "previous wallpaper");
}

class ComposeToolUsageTest : public ComposeToolTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ComposeToolUsageTest, RejectsBadCommandLines)
{
    const RunResult run = RunTool(GetParam(), dir_);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.stderrText.find("usage:"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(BadCommandLines, ComposeToolUsageTest,
                         ::testing::Values("--class 1 a.jpg b.bmp",              // no screen
                                           "--screen 10x10 a.jpg b.bmp",         // no class
                                           "--screen 10x10 --class 5 a.jpg b.bmp",
                                           "--screen 10by10 --class 1 a.jpg b.bmp",
                                           "--screen 10x10 --class 2 a.jpg b.bmp", // album without play list
                                           "--screen 10x10 --class 1 a.jpg",
                                           "--screen 10x10 --class 1 --bogus a.jpg b.bmp"));
