#include "files/AppDir.h"
#include "files/Folders.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace palvina {
namespace {

using test::TempFolder;
using test::WriteBytes;

bool IsFolder(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> Sorted(std::vector<std::string> list)
{
    std::sort(list.begin(), list.end());
    return list;
}

TEST(ListImageFiles, TakesJpgAndBmpPlainFilesOnly)
{
    TempFolder folder;
    for (const char* name : {"A.JPG", "b.bmp", "c.jpeg", "d.png", ".hidden.Bmp", "noextension", "f.jpg.txt"}) {
        WriteBytes(folder.file(name), "x");
    }
    mkdir(folder.file("e.jpg").c_str(), 0755);
    symlink(folder.file("b.bmp").c_str(), folder.file("link.jpg").c_str());
    symlink(folder.file("gone").c_str(), folder.file("dangling.jpg").c_str());

    std::vector<std::string> list{"stale entry"};
    ListImageFiles(folder.path(), list);
    EXPECT_EQ(Sorted(list), (std::vector<std::string>{".hidden.Bmp", "A.JPG", "b.bmp", "link.jpg"}));

    // The folder path may come without its trailing '/'.
    std::vector<std::string> again;
    ListImageFiles(folder.path().substr(0, folder.path().size() - 1), again);
    EXPECT_EQ(again, list);
}

TEST(ListImageFiles, EmptyOrMissingFolderGivesEmptyList)
{
    TempFolder folder;
    std::vector<std::string> list{"stale entry"};
    ListImageFiles(folder.path(), list);
    EXPECT_TRUE(list.empty());
    list.push_back("stale entry");
    ListImageFiles(folder.file("missing"), list);
    EXPECT_TRUE(list.empty());
}

TEST(EnsureFolder, CreatesOneLevelOnly)
{
    TempFolder folder;
    EnsureFolder(folder.file("Images"));
    EXPECT_TRUE(IsFolder(folder.file("Images")));
    EnsureFolder(folder.file("Images"));  // already there: nothing happens
    EXPECT_TRUE(IsFolder(folder.file("Images")));
    EnsureFolder(folder.file("Update/Deeper/"));
    EXPECT_FALSE(IsFolder(folder.file("Update")));
}

struct SlashCase {
    const char* path;
    const char* expected;
};

class TrailingSlash : public testing::TestWithParam<SlashCase> {};

TEST_P(TrailingSlash, AppendsOnlyWhenMissing)
{
    EXPECT_EQ(WithTrailingBackslash(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, TrailingSlash,
    testing::Values(SlashCase{"/opt/kestova", "/opt/kestova/"}, SlashCase{"/opt/kestova/", "/opt/kestova/"},
                    SlashCase{"/", "/"}, SlashCase{"Images/Class", "Images/Class/"}));

TEST(GetAppDir, IsTheExecutablesFolder)
{
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    const std::string path(exe, static_cast<std::size_t>(n));
    EXPECT_EQ(GetAppDir(), path.substr(0, path.rfind('/') + 1));

    SetAppDirForTesting("/tmp/elsewhere");
    EXPECT_EQ(GetAppDir(), "/tmp/elsewhere/");
    SetAppDirForTesting("");
    EXPECT_EQ(GetAppDir(), path.substr(0, path.rfind('/') + 1));
}

} // namespace
} // namespace palvina
