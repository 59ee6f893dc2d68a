#include "platform/PcmanfmWallpaper.h"
#include "platform/WallpaperBackends.h"
#include "platform/XWindowQueries.h"

#include "ProcessSupport.h"
#include "TestPictures.h"
#include "XTestSupport.h"
#include "files/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace palvina {
namespace {

using test::TempFolder;

constexpr std::uint32_t kRed = 0x0000ff;   // 0x00BBGGRR
constexpr std::uint32_t kBlue = 0xff0000;

// The value of a "key=value" line in a settings file, or nullopt.
std::optional<std::string> SettingsValue(const std::string& file, const std::string& key)
{
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return std::nullopt;
}

// pcmanfm drawing the desktop of the test's display, with its settings in a temporary folder
// (XDG_CONFIG_HOME of this process too, where the backend reads them).
class LxdeDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::ProgramAvailable("pcmanfm")) {
            GTEST_SKIP() << "pcmanfm is not installed";
        }
    }
    void TearDown() override
    {
        if (pcmanfm_) {
            pcmanfm_->stop();
        }
    }

    // True once its desktop window is on the display.
    bool startPcmanfm(const std::string& profile)
    {
        pcmanfm_ = std::make_unique<test::BackgroundProgram>(
            std::vector<std::string>{"pcmanfm", "--desktop", "--profile", profile},
            std::map<std::string, std::optional<std::string>>{{"XDG_CONFIG_HOME", config_}, {"NO_AT_BRIDGE", "1"}});
        return test::WaitUntil([] {
            xtest::TestDisplay display;
            for (unsigned long window : FindDesktopTypeWindows(display.get())) {
                if (ReadWindowClass(display.get(), window).instance == "pcmanfm") {
                    return true;
                }
            }
            return false;
        });
    }

    std::string settingsFile(const std::string& profile) const
    {
        return config_ + "/pcmanfm/" + profile + "/desktop-items-0.conf";
    }

    // The root window's colour at (100, 100), as 0xRRGGBB.
    static std::uint32_t screenColour()
    {
        xtest::TestDisplay display;
        const std::vector<std::uint32_t> pixels = display.readRgb(display.root(), 128, 128);
        return pixels.size() == 128U * 128U ? pixels[100 * 128 + 100] : 0xdeadbeef;
    }

    TempFolder folder_;
    std::string config_ = folder_.file("config");
    xtest::ScopedEnv configHome_{"XDG_CONFIG_HOME", config_};
    std::unique_ptr<test::BackgroundProgram> pcmanfm_;
};

TEST_F(LxdeDesktop, ShowsThePictureAndItsNewContentUnderTheSamePath)
{
    ASSERT_TRUE(startPcmanfm("LXDE"));
    const std::string picture = folder_.file("Palvina.bmp");
    auto backend = MakeLxdeWallpaper();

    test::WriteSolidBmp(picture, kRed);
    backend->apply({picture, "1", "0"});
    EXPECT_TRUE(test::WaitUntil([&] { return screenColour() == 0xff0000; })) << std::hex << screenColour();
    EXPECT_TRUE(test::WaitUntil([&] { return SettingsValue(settingsFile("LXDE"), "wallpaper") == picture; }));

    test::WriteSolidBmp(picture, kBlue);
    backend->apply({picture, "1", "0"});
    EXPECT_TRUE(test::WaitUntil([&] { return screenColour() == 0x0000ff; })) << std::hex << screenColour();

    const WallpaperSettings read = backend->read();
    EXPECT_EQ(read.path, picture);
    EXPECT_EQ(read.tile, "1");
    EXPECT_EQ(read.style, "0");
}

TEST_F(LxdeDesktop, ReadsTheProfileTheRunningDesktopUses)
{
    // Other profiles hold other pictures; the running desktop's own must win.
    for (const char* other : {"LXDE", "default"}) {
        std::filesystem::create_directories(config_ + "/pcmanfm/" + other);
        std::ofstream(settingsFile(other)) << "[*]\nwallpaper_mode=stretch\nwallpaper=/elsewhere/" << other << ".png\n";
    }
    ASSERT_TRUE(startPcmanfm("palvina"));
    std::filesystem::create_directory(folder_.file("壁纸 目录"));
    const std::string picture = folder_.file("壁纸 目录/图 1.bmp");
    test::WriteSolidBmp(picture, kRed);
    auto backend = MakeLxdeWallpaper();
    backend->apply({picture, "0", "6"});

    ASSERT_TRUE(test::WaitUntil([&] { return SettingsValue(settingsFile("palvina"), "wallpaper") == picture; }));
    const WallpaperSettings read = backend->read();
    EXPECT_EQ(read.path, picture);
    EXPECT_EQ(read.tile, "0");
    EXPECT_EQ(read.style, "6");
}

struct LxdeModeCase {
    const char* tile;
    const char* style;
    const char* mode;  // wallpaper_mode pcmanfm stores
    const char* readTile;
    const char* readStyle;
};

class LxdeModes : public LxdeDesktop, public ::testing::WithParamInterface<LxdeModeCase> {};

TEST_P(LxdeModes, MapsTheValuesBothWays)
{
    const LxdeModeCase& mode = GetParam();
    ASSERT_TRUE(startPcmanfm("LXDE"));
    const std::string picture = folder_.file("Palvina.bmp");
    test::WriteSolidBmp(picture, kRed);
    auto backend = MakeLxdeWallpaper();
    backend->apply({picture, mode.tile, mode.style});

    ASSERT_TRUE(test::WaitUntil([&] { return SettingsValue(settingsFile("LXDE"), "wallpaper_mode") == mode.mode; }))
        << SettingsValue(settingsFile("LXDE"), "wallpaper_mode").value_or("(none)");
    const WallpaperSettings read = backend->read();
    EXPECT_EQ(read.path, std::string(mode.mode) == "color" ? "" : picture);
    EXPECT_EQ(read.tile, mode.readTile);
    EXPECT_EQ(read.style, mode.readStyle);
}

INSTANTIATE_TEST_SUITE_P(Values, LxdeModes,
                         ::testing::Values(LxdeModeCase{"1", "0", "tile", "1", "0"},
                                           LxdeModeCase{"0", "0", "center", "0", "0"},
                                           LxdeModeCase{"0", "2", "stretch", "0", "2"},
                                           LxdeModeCase{"0", "6", "fit", "0", "6"},
                                           LxdeModeCase{"0", "10", "crop", "0", "10"},
                                           LxdeModeCase{"0", "22", "screen", "0", "22"}));

TEST_F(LxdeDesktop, WithoutItsDesktopNothingIsStartedAndApplyFails)
{
    const std::string picture = folder_.file("Palvina.bmp");
    test::WriteSolidBmp(picture, kRed);
    // pcmanfm --set-wallpaper without a running desktop would stay on as a new instance.
    EXPECT_THROW(MakeLxdeWallpaper()->apply({picture, "1", "0"}), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(config_ + "/pcmanfm"));
    EXPECT_THROW(MakeLxdeWallpaper()->read(), std::runtime_error);
}

// pcmanfm-qt is not installed here: its options and settings file are checked as documented.
struct LxqtModeCase {
    const char* tile;
    const char* style;
    const char* option;
};

class LxqtArguments : public ::testing::TestWithParam<LxqtModeCase> {};

TEST_P(LxqtArguments, NameTheModeAsPcmanfmQtDoes)
{
    const LxqtModeCase& mode = GetParam();
    const std::vector<std::string> expected{"pcmanfm-qt", "--set-wallpaper=/a b/中.bmp",
                                            std::string("--wallpaper-mode=") + mode.option};
    EXPECT_EQ(PcmanfmWallpaperArguments(LxqtFlavour(), {"/a b/中.bmp", mode.tile, mode.style}), expected);
}

INSTANTIATE_TEST_SUITE_P(Values, LxqtArguments,
                         ::testing::Values(LxqtModeCase{"1", "0", "tile"}, LxqtModeCase{"0", "0", "center"},
                                           LxqtModeCase{"0", "2", "stretch"}, LxqtModeCase{"0", "6", "fit"},
                                           LxqtModeCase{"0", "10", "zoom"}, LxqtModeCase{"0", "22", "stretch"}));

TEST(LxqtWallpaper, AnEmptyPathOnlyTurnsThePictureOff)
{
    EXPECT_EQ(PcmanfmWallpaperArguments(LxqtFlavour(), {"", "1", "0"}),
              (std::vector<std::string>{"pcmanfm-qt", "--wallpaper-mode=color"}));
}

TEST(LxqtWallpaper, ReadsTheDesktopGroupOfItsSettingsFile)
{
    TempFolder folder;
    xtest::ScopedEnv configHome("XDG_CONFIG_HOME", folder.file("config"));
    std::filesystem::create_directories(folder.file("config/pcmanfm-qt/lxqt"));
    std::ofstream(folder.file("config/pcmanfm-qt/lxqt/settings.conf"))
        << "[Behavior]\nWallpaper=/not/this.png\n\n[Desktop]\nBgColor=#000000\nWallpaper=/home/u/壁纸 1.jpg\n"
           "WallpaperMode=zoom\n";
    const WallpaperSettings read = MakeLxqtWallpaper()->read();
    EXPECT_EQ(read.path, "/home/u/壁纸 1.jpg");
    EXPECT_EQ(read.tile, "0");
    EXPECT_EQ(read.style, "10");
}

struct ProfileCase {
    std::vector<std::string> arguments;
    const char* profile;
};

class PcmanfmProfile : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(PcmanfmProfile, IsFoundOnTheCommandLine)
{
    EXPECT_EQ(ProfileFromCommandLine(GetParam().arguments), GetParam().profile);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, PcmanfmProfile,
    ::testing::Values(ProfileCase{{"pcmanfm", "--desktop", "--profile", "LXDE"}, "LXDE"},
                      ProfileCase{{"pcmanfm", "--profile=lubuntu", "--desktop"}, "lubuntu"},
                      ProfileCase{{"/usr/bin/pcmanfm", "-p", "LXDE-pi", "--desktop"}, "LXDE-pi"},
                      ProfileCase{{"pcmanfm", "-pLXDE", "--desktop"}, "LXDE"},
                      ProfileCase{{"pcmanfm", "--desktop"}, ""},
                      ProfileCase{{"pcmanfm", "--desktop", "--profile"}, ""},
                      ProfileCase{{"pcmanfm", "--", "--profile", "x"}, ""}));

} // namespace
} // namespace palvina
