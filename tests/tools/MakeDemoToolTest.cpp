// Runs palvina-make-demo as a whole process and reads the tree it writes the way the player's
// downloads and chooser read it: INI values through ReadIniValue, thumbnails through the JPEG
// header.

#include "compose/JpegCodec.h"
#include "files/Folders.h"
#include "files/GbkText.h"
#include "files/IniFile.h"
#include "files/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace palvina {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempFolder;

struct RunResult {
    int status = -1;
    std::string stderrText;
};

RunResult RunDemoTool(const std::string& args, const TempFolder& dir)
{
    const std::string errFile = dir.file("stderr.txt");
    const std::string command = std::string(PALVINA_MAKE_DEMO_TOOL) + " " + args + " >/dev/null 2>'" + errFile + "'";
    const int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.stderrText = ReadBytes(errFile);
    return result;
}

// Every file below `root`, by relative path, with its bytes.
std::map<std::string, std::string> TreeContent(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), root).string()] = ReadBytes(entry.path().string());
        }
    }
    return files;
}

int Count(const std::string& section, const std::string& file)
{
    return std::atoi(ReadIniValue(section, "Count", file).c_str());
}

bool IsAdvertisement(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name.find("ad_") != std::string::npos;
}

constexpr const char* kSite = "http://example.test:9000/demo";  // no trailing slash on purpose

// A small tree written once per test, into the test's own folder.
class DemoTree {
public:
    DemoTree()
    {
        const RunResult run = RunDemoTool("'" + dir_.file("out") + "' --small --site " + kSite, dir_);
        EXPECT_EQ(run.status, 0) << run.stderrText;
        root_ = dir_.file("out/PalvinaDown/");
    }
    const std::string& root() const { return root_; }
    std::string catalogue() const { return root_ + "Images/Class/config.dll"; }

private:
    TempFolder dir_;
    std::string root_;
};

struct CatalogueCase {
    const char* section;  // also the folder under Images/
    std::vector<std::string> names;
    bool portraitPages;  // pictorial pages stand upright; wallpapers (but the advertisement) lie
};

std::ostream& operator<<(std::ostream& out, const CatalogueCase& c) { return out << c.section; }

class DemoCatalogue : public testing::TestWithParam<CatalogueCase> {};

// For every channel of the section: its Chinese name, its thumbnail, and a play list whose count
// and names match the pictures and companion files in the channel folder.
TEST_P(DemoCatalogue, ListsChannelsWhosePlayListsMatchTheirFolders)
{
    const CatalogueCase& c = GetParam();
    const DemoTree tree;
    ASSERT_EQ(Count(c.section, tree.catalogue()), static_cast<int>(c.names.size()));
    for (std::size_t n = 0; n < c.names.size(); ++n) {
        SCOPED_TRACE(std::string(c.section) + " channel " + std::to_string(n));
        const std::string item = "Item" + std::to_string(n);
        EXPECT_EQ(ReadIniValue(c.section, item + "_Name", tree.catalogue()), c.names[n]);

        const std::string thumbnail = ReadIniValue(c.section, item + "_Img", tree.catalogue());
        ASSERT_FALSE(thumbnail.empty());
        const PictureSize thumbSize = ReadJpegSize(tree.root() + "Images/Class/" + thumbnail);
        EXPECT_EQ(thumbSize.width, 128);
        EXPECT_EQ(thumbSize.height, 48);

        const std::string folder = tree.root() + "Images/" + c.section + "/" + std::to_string(n) + "/";
        const std::string playList = folder + "config.dll";
        const int count = Count("PlayList", playList);
        EXPECT_GT(count, 0);
        EXPECT_EQ(ReadIniValue(c.section, item + "_Count", tree.catalogue()), std::to_string(count));

        std::vector<std::string> named;
        for (int i = 0; i < count; ++i) {
            const std::string entry = "F" + std::to_string(i);
            const std::string image = ReadIniValue("PlayList", entry + "_Img", playList);
            const std::string xml = ReadIniValue("PlayList", entry + "_Xml", playList);
            ASSERT_FALSE(image.empty()) << entry;
            ASSERT_FALSE(xml.empty()) << entry;
            const PictureSize size = ReadJpegSize(folder + image);
            EXPECT_EQ(size.height > size.width, c.portraitPages || IsAdvertisement(image)) << image;
            const std::string companion = ReadBytes(folder + xml);
            EXPECT_TRUE(companion.starts_with("<?xml")) << xml;
            EXPECT_NE(companion.find("<title>"), std::string::npos) << xml;
            EXPECT_NE(companion.find("<text>"), std::string::npos) << xml;
            named.push_back(image);
        }
        std::vector<std::string> present;
        ListImageFiles(folder, present);
        std::sort(named.begin(), named.end());
        std::sort(present.begin(), present.end());
        EXPECT_EQ(named, present);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sections, DemoCatalogue,
    testing::Values(CatalogueCase{"Illustrated", {"旅行画报", "田园时光", "秋色宜人", "摄影月刊"}, true},
                    CatalogueCase{"Wallpaper", {"风景壁纸", "晨曦暮色", "四季山川"}, false}),
    [](const testing::TestParamInfo<CatalogueCase>& info) { return std::string(info.param.section); });

TEST(DemoTreeTest, CatalogueIsGbkTextWithCrLf)
{
    const DemoTree tree;
    const std::string bytes = ReadBytes(tree.catalogue());
    EXPECT_NE(bytes.find(Utf8ToGbk("旅行画报")), std::string::npos);
    EXPECT_EQ(bytes.find("旅行画报"), std::string::npos) << "UTF-8 text in the file";
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ++lines;
            EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
        }
    }
    EXPECT_GT(lines, 0U);
}

// Exactly one wallpaper is an advertisement page, composed like a pictorial page.
TEST(DemoTreeTest, OneWallpaperIsAnAdvertisement)
{
    const DemoTree tree;
    int ads = 0;
    for (const auto& entry : fs::recursive_directory_iterator(tree.root() + "Images/Wallpaper")) {
        const std::string name = entry.path().filename().string();
        ads += entry.path().extension() == ".jpg" && IsAdvertisement(name) ? 1 : 0;
    }
    EXPECT_EQ(ads, 1);
}

TEST(DemoTreeTest, SharedAlbumsNameWhereTheyAreServed)
{
    const DemoTree tree;
    for (int n = 0; n < 2; ++n) {
        SCOPED_TRACE("album " + std::to_string(n));
        const std::string folder = tree.root() + "Share/" + std::to_string(n) + "/";
        const std::string playList = folder + "config.dll";
        EXPECT_EQ(ReadIniValue("PlayList", "WebSite", playList),
                  std::string(kSite) + "/PalvinaDown/Share/" + std::to_string(n) + "/");
        EXPECT_FALSE(ReadIniValue("PlayList", "AlbumTitle", playList).empty());
        const int count = Count("PlayList", playList);
        std::vector<std::string> present;
        ListImageFiles(folder, present);
        EXPECT_EQ(static_cast<int>(present.size()), count);
        for (int i = 0; i < count; ++i) {
            const std::string image = ReadIniValue("PlayList", "F" + std::to_string(i) + "_Img", playList);
            EXPECT_TRUE(fs::is_regular_file(folder + image)) << image;
        }
    }
}

struct VersionCase {
    const char* args;
    const char* version;
};

class DemoUpdateDescriptor : public testing::TestWithParam<VersionCase> {};

// The descriptor announces no update files, so a player of that version fetches nothing more.
TEST_P(DemoUpdateDescriptor, CarriesTheVersionAndNoFiles)
{
    const TempFolder dir;
    const RunResult run = RunDemoTool("'" + dir.file("out") + "' --small " + GetParam().args, dir);
    ASSERT_EQ(run.status, 0) << run.stderrText;
    const std::string descriptor = dir.file("out/PalvinaDown/update.dll");
    EXPECT_EQ(ReadIniValue("Update", "Ver", descriptor), GetParam().version);
    EXPECT_EQ(ReadIniValue("Update", "Count", descriptor), "0");
}

INSTANTIATE_TEST_SUITE_P(Versions, DemoUpdateDescriptor,
                         testing::Values(VersionCase{"", PALVINA_PROJECT_VERSION},
                                         VersionCase{"--version 2.1.0.7", "2.1.0.7"}));

// Same arguments, same bytes; a second run over an earlier tree replaces it whole.
TEST(DemoTreeTest, IsDeterministicAndReplacesAnEarlierTree)
{
    const TempFolder dir;
    const std::string first = dir.file("first");
    const std::string second = dir.file("second");
    ASSERT_EQ(RunDemoTool("'" + first + "' --small", dir).status, 0);
    test::WriteBytes(first + "/PalvinaDown/Images/Illustrated/0/stale.jpg", "old");
    ASSERT_EQ(RunDemoTool("'" + first + "' --small", dir).status, 0);
    ASSERT_EQ(RunDemoTool("'" + second + "' --small", dir).status, 0);

    const auto a = TreeContent(first + "/PalvinaDown");
    const auto b = TreeContent(second + "/PalvinaDown");
    EXPECT_GT(a.size(), 50U);
    EXPECT_EQ(a.count("Images/Illustrated/0/stale.jpg"), 0U);
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [path, bytes] : a) {
        const auto other = b.find(path);
        ASSERT_NE(other, b.end()) << path;
        EXPECT_TRUE(bytes == other->second) << path << " differs";
    }
    // Nothing is left beside the tree (the tree is built aside and swapped in).
    std::vector<std::string> beside;
    for (const auto& entry : fs::directory_iterator(first)) {
        beside.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(beside, std::vector<std::string>{"PalvinaDown"});
}

class DemoBadArguments : public testing::TestWithParam<const char*> {};

TEST_P(DemoBadArguments, AreRefusedWithoutWriting)
{
    const TempFolder dir;
    std::string args = GetParam();
    const auto out = args.find("OUT");
    if (out != std::string::npos) {
        args.replace(out, 3, "'" + dir.file("out") + "'");
    }
    const RunResult run = RunDemoTool(args, dir);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.stderrText.find("usage:"), std::string::npos) << run.stderrText;
    EXPECT_FALSE(fs::exists(dir.file("out")));
}

INSTANTIATE_TEST_SUITE_P(Cases, DemoBadArguments,
                         testing::Values("", "--small", "OUT --bogus", "OUT --version", "OUT --version ''",
                                         "OUT --site ftp://example.test/", "OUT other"));

} // namespace
} // namespace palvina
