#include "platform/AlternateWallpaperName.h"

#include "files/Errors.h"
#include "TestPictures.h"
#include "files/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace palvina {
namespace {

using test::TempFolder;

struct NameCase {
    const char* path;
    const char* alternate;
};

class AlternateName : public ::testing::TestWithParam<NameCase> {};

TEST_P(AlternateName, IsAHiddenNeighbourThatMapsBack)
{
    TempFolder folder;
    const std::string path = folder.path() + GetParam().path;
    const std::string alternate = folder.path() + GetParam().alternate;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    test::WriteSolidBmp(path, 0x0000ff, 2, 2);

    EXPECT_EQ(AlternateWallpaperPath(path), alternate);
    EXPECT_EQ(OriginalWallpaperPath(alternate), path);
    EXPECT_EQ(OriginalWallpaperPath(path), path);
}

INSTANTIATE_TEST_SUITE_P(Names, AlternateName,
                         ::testing::Values(NameCase{"Palvina.bmp", ".Palvina.alt.bmp"},
                                           NameCase{"Images/Palvina.bmp.bmp", "Images/.Palvina.bmp.alt.bmp"},
                                           NameCase{"壁纸 目录/图 1.jpg", "壁纸 目录/.图 1.alt.jpg"},
                                           NameCase{"noextension", ".noextension.alt"},
                                           NameCase{".hidden.bmp", "..hidden.alt.bmp"},
                                           NameCase{".hidden", "..hidden.alt"},
                                           NameCase{"x.alt", ".x.alt.alt"}));

TEST(AlternateName, OtherHiddenFilesAreLeftAsTheyAre)
{
    TempFolder folder;
    // Looks like an alternate name, but no such picture exists beside it.
    test::WriteSolidBmp(folder.file(".photo.alt.bmp"), 0x0000ff, 2, 2);
    EXPECT_EQ(OriginalWallpaperPath(folder.file(".photo.alt.bmp")), folder.file(".photo.alt.bmp"));
    EXPECT_EQ(OriginalWallpaperPath(folder.file(".profile")), folder.file(".profile"));
    EXPECT_EQ(OriginalWallpaperPath(""), "");
    EXPECT_EQ(OriginalWallpaperPath("/"), "/");
}

TEST(PathToShowWallpaper, AlternatesOnlyWhenTheDesktopHoldsThePathAlready)
{
    TempFolder folder;
    const std::string picture = folder.file("Palvina.bmp");
    const std::string alternate = folder.file(".Palvina.alt.bmp");
    test::WriteSolidBmp(picture, 0x0000ff);

    EXPECT_EQ(PathToShowWallpaper(picture, folder.file("other.bmp")), picture);
    EXPECT_EQ(PathToShowWallpaper(picture, ""), picture);
    EXPECT_FALSE(std::filesystem::exists(alternate));

    EXPECT_EQ(PathToShowWallpaper(picture, picture), alternate);
    EXPECT_EQ(test::FileBytes(alternate), test::FileBytes(picture));
    EXPECT_EQ(PathToShowWallpaper(picture, alternate), picture);
    EXPECT_EQ(PathToShowWallpaper("", ""), "");
}

TEST(PathToShowWallpaper, TheAlternateFollowsAPictureReplacedByANewFile)
{
    TempFolder folder;
    const std::string picture = folder.file("Palvina.bmp");
    const std::string alternate = folder.file(".Palvina.alt.bmp");
    test::WriteSolidBmp(picture, 0x0000ff);
    ASSERT_EQ(PathToShowWallpaper(picture, picture), alternate);

    // Written to a new file renamed over the old: a link made before still holds the old content.
    test::WriteSolidBmp(picture, 0xff0000);
    ASSERT_NE(test::FileBytes(alternate), test::FileBytes(picture));
    ASSERT_EQ(PathToShowWallpaper(picture, picture), alternate);
    EXPECT_EQ(test::FileBytes(alternate), test::FileBytes(picture));
}

TEST(PathToShowWallpaper, APictureThatIsGoneGetsNoAlternate)
{
    TempFolder folder;
    const std::string picture = folder.file("Palvina.bmp");
    EXPECT_THROW(PathToShowWallpaper(picture, picture), FileWriteError);
    EXPECT_FALSE(std::filesystem::exists(folder.file(".Palvina.alt.bmp")));
}

} // namespace
} // namespace palvina
