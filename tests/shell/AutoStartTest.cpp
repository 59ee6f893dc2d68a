#include "shell/AutoStart.h"
#include "shell/DesktopEntryExec.h"

#include "files/TempFolder.h"
#include "ShellTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace palvina {
namespace {

using test::RunCommand;
using test::ScopedEnv;
using test::ShellQuoted;
using test::TempFolder;

struct ExecCase {
    const char* path;
    const char* exec;
};

class ExecValues : public testing::TestWithParam<ExecCase> {};

TEST_P(ExecValues, QuoteReservedCharactersAndEscapeBothLevels)
{
    EXPECT_EQ(DesktopEntryExec(GetParam().path), GetParam().exec);
}

INSTANTIATE_TEST_SUITE_P(
    AutoStart, ExecValues,
    testing::Values(ExecCase{"/opt/kestova/Palvina", "/opt/kestova/Palvina"},
                    ExecCase{"/opt/桌面/Palvina", "/opt/桌面/Palvina"},
                    ExecCase{"/opt/my apps/Palvina", "\"/opt/my apps/Palvina\""},
                    ExecCase{"/opt/a\"b/Palvina", R"("/opt/a\\"b/Palvina")"},
                    ExecCase{"/opt/$HOME/Palvina", R"("/opt/\\$HOME/Palvina")"},
                    ExecCase{"/opt/a`b/Palvina", R"("/opt/a\\`b/Palvina")"},
                    ExecCase{"/opt/back\\slash/Palvina", R"("/opt/back\\\\slash/Palvina")"},
                    ExecCase{"/opt/it's/Palvina", "\"/opt/it's/Palvina\""},
                    ExecCase{"/opt/(x86)/Palvina", "\"/opt/(x86)/Palvina\""},
                    ExecCase{"/opt/100%/Palvina", "/opt/100%%/Palvina"},
                    ExecCase{"/opt/50% off/Palvina", "\"/opt/50%% off/Palvina\""},
                    ExecCase{"/opt/tab\there/Palvina", R"("/opt/tab\there/Palvina")"},
                    ExecCase{"/opt/line\nbreak/Palvina", R"("/opt/line\nbreak/Palvina")"},
                    ExecCase{"/opt/a=b/Palvina", "/opt/a=b/Palvina"}));

class AutoStartEntry : public testing::Test {
protected:
    std::string entryPath() const { return config_.path() + "autostart/kestova.desktop"; }

    std::vector<std::string> autostartFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(config_.path() + "autostart")) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    TempFolder config_;
    ScopedEnv configDirs_{"XDG_CONFIG_DIRS", config_.path() + ":/etc/xdg"};
};

TEST_F(AutoStartEntry, IsWrittenInTheFirstConfigFolderForTheRunningProgram)
{
    EnableAutoStart();
    const std::string text = test::ReadBytes(entryPath());
    const std::string program = RunningProgramPath();
    EXPECT_TRUE(program.ends_with("/shell_tests")) << program;
    EXPECT_EQ(text, "[Desktop Entry]\nType=Application\nName=Kestova桌面\nExec=" + DesktopEntryExec(program)
                        + "\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
}

TEST_F(AutoStartEntry, WrittenTwiceIsOneEntryWithTheSameContent)
{
    WriteAutoStartEntry("/opt/kestova/Palvina");
    const std::string first = test::ReadBytes(entryPath());
    WriteAutoStartEntry("/opt/kestova/Palvina");
    EXPECT_EQ(test::ReadBytes(entryPath()), first);
    EXPECT_EQ(autostartFiles(), std::vector<std::string>{"kestova.desktop"});
}

TEST_F(AutoStartEntry, DisableRemovesItAndDoesNothingWithoutOne)
{
    WriteAutoStartEntry("/opt/kestova/Palvina");
    DisableAutoStart();
    EXPECT_FALSE(std::filesystem::exists(entryPath()));
    DisableAutoStart();
    EXPECT_FALSE(std::filesystem::exists(entryPath()));
    EXPECT_TRUE(autostartFiles().empty());
}

TEST_F(AutoStartEntry, AFolderThatCannotBeWrittenIsSwallowed)
{
    // A file stands where the folder would be made.
    test::WriteBytes(config_.file("blocked"), "");
    ScopedEnv blocked("XDG_CONFIG_DIRS", config_.file("blocked"));
    EXPECT_NO_THROW(EnableAutoStart());
    EXPECT_NO_THROW(DisableAutoStart());
    EXPECT_EQ(test::ReadBytes(config_.file("blocked")), "");
}

// The desktop's own tools read the entry back: the validator accepts it, and launching it
// runs the program under its exact path, however awkward the path. ('%' is left out: GLib
// looks for the program under the doubled "%%" before launching it correctly.)
TEST_F(AutoStartEntry, IsAcceptedAndLaunchedByTheDesktopsTools)
{
    if (RunCommand("command -v desktop-file-validate >/dev/null && command -v gio >/dev/null") != 0) {
        GTEST_SKIP() << "desktop-file-validate or gio not installed";
    }
    TempFolder programs;
    const std::string marker = programs.file("launched");
    const std::string program = programs.file("my apps/桌面 $HOME \"q\" it's `x` back\\slash (x)/Palvina");
    std::filesystem::create_directories(std::filesystem::path(program).parent_path());
    test::WriteBytes(program, "#!/bin/sh\nprintf '%s' \"$0\" > " + ShellQuoted(marker) + "\n");
    std::filesystem::permissions(program, std::filesystem::perms(0755));

    WriteAutoStartEntry(program);
    EXPECT_EQ(RunCommand("desktop-file-validate " + ShellQuoted(entryPath()) + " > " + ShellQuoted(config_.file("report"))), 0)
        << test::ReadBytes(config_.file("report"));
    EXPECT_EQ(test::ReadBytes(config_.file("report")).find("error"), std::string::npos)
        << test::ReadBytes(config_.file("report"));

    ASSERT_EQ(RunCommand("gio launch " + ShellQuoted(entryPath())), 0);
    ASSERT_TRUE(test::SpinEventsUntil([&] { return std::filesystem::exists(marker) && !test::ReadBytes(marker).empty(); }));
    EXPECT_EQ(test::ReadBytes(marker), program);
}

struct FolderCase {
    std::optional<std::string> configDirs;
    const char* folder;
};

class AutoStartFolders : public testing::TestWithParam<FolderCase> {};

TEST_P(AutoStartFolders, AreTheFirstAbsoluteConfigFolderOrTheDefault)
{
    ScopedEnv configDirs("XDG_CONFIG_DIRS", GetParam().configDirs);
    EXPECT_EQ(AutoStartFolder(), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    AutoStart, AutoStartFolders,
    testing::Values(FolderCase{std::nullopt, "/etc/xdg/autostart/"},
                    FolderCase{std::string(""), "/etc/xdg/autostart/"},
                    FolderCase{std::string("/etc/xdg/xdg-mate:/etc/xdg"), "/etc/xdg/xdg-mate/autostart/"},
                    FolderCase{std::string("relative:/usr/local/etc/xdg/"), "/usr/local/etc/xdg/autostart/"},
                    FolderCase{std::string("::/opt/conf"), "/opt/conf/autostart/"}));

} // namespace
} // namespace palvina
