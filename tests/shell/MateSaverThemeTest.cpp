#include "platform/MateSaverTheme.h"

#include "files/TempFolder.h"
#include "platform/ScreenSaverHost.h"
#include "ShellTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace palvina {
namespace {

using test::ReadBytes;
using test::RunCommand;
using test::ShellQuoted;
using test::TempFolder;

std::string MakeProgram(const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    test::WriteBytes(path, "#!/bin/sh\n");
    std::filesystem::permissions(path, std::filesystem::perms(0755));
    return path;
}

class MateSaverInstall : public testing::Test {
protected:
    std::string link() const { return savers_ + "/kestova-noctilux"; }

    TempFolder folder_;
    const std::string savers_ = folder_.path() + "savers";
    const std::string saver_ = MakeProgram(folder_.file("app dir/Noctilux"));
};

TEST_F(MateSaverInstall, IsTheProgramItselfInsideASaverFolder)
{
    const std::string inside = MakeProgram(savers_ + "/Noctilux");
    EXPECT_EQ(MateRunnableSaverPath(inside, {folder_.file("elsewhere"), savers_}), inside);
}

TEST_F(MateSaverInstall, IsALinkMadeInTheFirstFolderThatCanTakeIt)
{
    std::filesystem::create_directories(savers_);
    EXPECT_EQ(MateRunnableSaverPath(saver_, {folder_.file("missing"), savers_}), link());
    EXPECT_EQ(std::filesystem::read_symlink(link()), saver_);
    // Asked again, the same link serves.
    EXPECT_EQ(MateRunnableSaverPath(saver_, {folder_.file("missing"), savers_}), link());
}

TEST_F(MateSaverInstall, RenewsALinkThatLeadsElsewhere)
{
    std::filesystem::create_directories(savers_);
    std::filesystem::create_symlink(MakeProgram(folder_.file("old place/Noctilux")), link());
    EXPECT_EQ(MateRunnableSaverPath(saver_, {savers_}), link());
    EXPECT_EQ(std::filesystem::read_symlink(link()), saver_);
}

TEST_F(MateSaverInstall, LeavesAFileOfThatNameAloneAndFindsNone)
{
    MakeProgram(link());
    EXPECT_EQ(MateRunnableSaverPath(saver_, {savers_}), "");
    EXPECT_FALSE(std::filesystem::is_symlink(link()));
    EXPECT_EQ(MateRunnableSaverPath(folder_.file("no such/Noctilux"), {savers_}), "");
}

TEST_F(MateSaverInstall, WithoutAUsableFolderThereIsNoSlot)
{
    EXPECT_EQ(InstallMateSaverTheme(folder_.file("data"), saver_, {folder_.file("missing")}),
              SaverInstallResult::NoSlot);
    EXPECT_FALSE(std::filesystem::exists(folder_.file("data")));
}

// GSettings chooses its backend once per process: the install runs in a process of its own
// with the key file backend in a folder of the test's.
int MateInstallRole(std::unique_ptr<QApplication>&)
{
    const SaverInstallResult result = InstallMateSaverTheme(
        std::getenv("PALVINA_TEST_DATA_HOME"), std::getenv("PALVINA_TEST_SAVER"), {std::getenv("PALVINA_TEST_SAVERS")});
    std::printf("%d\n", static_cast<int>(result));
    return 0;
}
const test::ChildRole mateInstallRole("mate-install", MateInstallRole);

TEST_F(MateSaverInstall, InstallWritesTheThemeAndSelectsItAlone)
{
    if (!MateSaverSchemaPresent()) {
        GTEST_SKIP() << "the MATE screen saver's settings schema is not installed";
    }
    std::filesystem::create_directories(savers_);
    const std::string config = folder_.file("config");
    const std::string data = folder_.file("data");
    const std::vector<std::string> env = {"GSETTINGS_BACKEND=keyfile", "XDG_CONFIG_HOME=" + config};
    std::vector<std::string> childEnv = env;
    childEnv.insert(childEnv.end(), {"PALVINA_TEST_DATA_HOME=" + data, "PALVINA_TEST_SAVER=" + saver_,
                                     "PALVINA_TEST_SAVERS=" + savers_});
    test::ChildProcess child = test::StartChild("mate-install", childEnv);
    ASSERT_GT(child.pid, 0);
    EXPECT_EQ(test::ReadChildLine(child), std::to_string(static_cast<int>(SaverInstallResult::MateScreensaver)));
    EXPECT_EQ(test::WaitChild(child), 0);

    const std::string theme = data + "/applications/screensavers/kestova-noctilux.desktop";
    EXPECT_EQ(ReadBytes(theme), MateSaverThemeText(link()));
    EXPECT_EQ(std::filesystem::read_symlink(link()), saver_);
    EXPECT_EQ(RunCommand("desktop-file-validate " + ShellQuoted(theme) + " > " + ShellQuoted(folder_.file("report"))), 0)
        << ReadBytes(folder_.file("report"));

    // The settings as the desktop's own tool reads them back.
    const std::string gsettings = "env GSETTINGS_BACKEND=keyfile XDG_CONFIG_HOME=" + ShellQuoted(config)
        + " gsettings get org.mate.screensaver ";
    ASSERT_EQ(RunCommand(gsettings + "themes > " + ShellQuoted(folder_.file("themes"))), 0);
    ASSERT_EQ(RunCommand(gsettings + "mode > " + ShellQuoted(folder_.file("mode"))), 0);
    EXPECT_EQ(ReadBytes(folder_.file("themes")), "['screensavers-kestova-noctilux']\n");
    EXPECT_EQ(ReadBytes(folder_.file("mode")), "'single'\n");
}

TEST(MateSaverTheme, RunsTheProgramAsAScreensaverEntryForMate)
{
    EXPECT_EQ(MateSaverThemeText("/usr/libexec/xscreensaver/kestova-noctilux"),
              "[Desktop Entry]\nType=Application\nName=Kestova桌面\n"
              "Exec=/usr/libexec/xscreensaver/kestova-noctilux\n"
              "TryExec=/usr/libexec/xscreensaver/kestova-noctilux\n"
              "StartupNotify=false\nTerminal=false\nCategories=Screensaver;\nOnlyShowIn=MATE;\n");
}

} // namespace
} // namespace palvina
