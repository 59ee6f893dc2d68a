// Checks the program folder the build delivers: its folder layout, the masks and frames, and the
// first-run settings file and album index, read the way the player reads them.

#include "compose/Bitmap.h"
#include "compose/JpegCodec.h"
#include "files/Folders.h"
#include "files/IniFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace palvina {
namespace {

namespace fs = std::filesystem;

const std::string kAppDir = std::string(PALVINA_APP_DIR) + "/";

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every line break is CR LF and the last line has one too.
void ExpectCrLfOnly(const std::string& path)
{
    const std::string text = ReadBytes(path);
    ASSERT_FALSE(text.empty()) << path;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << path << ": bare LF at byte " << i;
        } else if (text[i] == '\r') {
            EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << path << ": bare CR at byte " << i;
        }
    }
    EXPECT_TRUE(text.ends_with("\r\n")) << path;
}

class LayoutFolder : public testing::TestWithParam<const char*> {};

TEST_P(LayoutFolder, ExistsInProgramFolder)
{
    EXPECT_TRUE(fs::is_directory(kAppDir + GetParam())) << kAppDir + GetParam();
}

// EnsureFolder makes one level only, so every parent a channel folder needs is delivered.
INSTANTIATE_TEST_SUITE_P(Delivered, LayoutFolder,
                         testing::Values("Images", "Images/Class", "Images/Illustrated", "Images/Wallpaper",
                                         "Images/Share", "Images/MyPhoto", "Images/Mask", "Images/Iframe",
                                         "Update"));

struct PictureFolderCase {
    const char* folder;
    std::size_t minimumCount;
};

void PrintTo(const PictureFolderCase& c, std::ostream* os)
{
    *os << c.folder;
}

class DeliveredPictures : public testing::TestWithParam<PictureFolderCase> {
protected:
    std::vector<std::string> listed() const
    {
        std::vector<std::string> names;
        ListImageFiles(kAppDir + GetParam().folder, names);
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_P(DeliveredPictures, EnoughOfThemAndAllDecodeAsJpeg)
{
    const std::vector<std::string> names = listed();
    EXPECT_GE(names.size(), GetParam().minimumCount);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        // Masks are offered by file name without extension: keep the names plain.
        EXPECT_TRUE(name.ends_with(".jpg"));
        EXPECT_TRUE(std::all_of(name.begin(), name.end(),
                                [](unsigned char c) { return c < 0x80 && c != ' '; }));
        const Bitmap picture = DecodeJpegFile(kAppDir + GetParam().folder + "/" + name);
        EXPECT_GE(picture.width(), 200);
        EXPECT_GE(picture.height(), 150);
    }
}

INSTANTIATE_TEST_SUITE_P(Delivered, DeliveredPictures,
                         testing::Values(PictureFolderCase{"Images/Mask", 6}, PictureFolderCase{"Images/Iframe", 4}),
                         [](const auto& info) { return std::string(fs::path(info.param.folder).filename()); });

// The blue component is the mask weight: a usable mask lets the picture show fully somewhere and
// the background somewhere else, with a soft edge between (not two levels only), and is gray so
// that what users see in the builder's preview is what the weight does.
TEST(DeliveredMasks, AreGrayWithFullRangeOfWeights)
{
    std::vector<std::string> names;
    ListImageFiles(kAppDir + "Images/Mask", names);
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const Bitmap mask = DecodeJpegFile(kAppDir + "Images/Mask/" + name);
        int lowest = 255;
        int highest = 0;
        int largestSpread = 0;
        std::vector<bool> levels(256, false);
        for (int y = 0; y < mask.height(); ++y) {
            const std::uint8_t* p = mask.row(y);
            for (int x = 0; x < mask.width(); ++x, p += 3) {
                lowest = std::min<int>(lowest, p[0]);
                highest = std::max<int>(highest, p[0]);
                largestSpread = std::max({largestSpread, std::abs(p[0] - p[1]), std::abs(p[0] - p[2])});
                levels[p[0]] = true;
            }
        }
        EXPECT_LE(lowest, 8);
        EXPECT_GE(highest, 247);
        EXPECT_LE(largestSpread, 6);
        EXPECT_GE(std::count(levels.begin(), levels.end(), true), 32);
    }
}

struct SettingCase {
    const char* section;
    const char* key;
    const char* value;
};

void PrintTo(const SettingCase& c, std::ostream* os)
{
    *os << c.section << "/" << c.key << " = \"" << c.value << "\"";
}

class FirstRunSetting : public testing::TestWithParam<SettingCase> {};

TEST_P(FirstRunSetting, HasDeliveredValue)
{
    const SettingCase& c = GetParam();
    EXPECT_EQ(ReadIniValue(c.section, c.key, kAppDir + "config.ini"), c.value);
}

INSTANTIATE_TEST_SUITE_P(Delivered, FirstRunSetting,
                         testing::Values(SettingCase{"App", "PlayTime", "15000"}, SettingCase{"App", "ClassId", "1"},
                                         SettingCase{"App", "ItemIndex", "0"},
                                         SettingCase{"App", "PlayModeRandom", "0"}, SettingCase{"App", "IsWall", "0"},
                                         SettingCase{"App", "IsShow", "1"}, SettingCase{"App", "IsHint", "1"},
                                         SettingCase{"App", "IsRun", "0"}, SettingCase{"App", "isIns", "0"},
                                         SettingCase{"App", "id", ""}, SettingCase{"App", "Date", ""},
                                         SettingCase{"Update", "Ver", "1.0.0.56"}),
                         [](const auto& info) { return std::string(info.param.section) + "_" + info.param.key; });

TEST(FirstRunFiles, SettingsFileHasCrLfLineEnds)
{
    ExpectCrLfOnly(kAppDir + "config.ini");
}

TEST(FirstRunFiles, AlbumIndexStartsEmpty)
{
    const std::string index = kAppDir + "Images/MyPhoto/config.dll";
    ExpectCrLfOnly(index);
    EXPECT_EQ(ReadIniValue("Data", "ItemCount", index), "0");
}

} // namespace
} // namespace palvina
