#include "platform/ScreenSaverHost.h"

#include "files/TempFolder.h"
#include "platform/XscreensaverConfig.h"
#include "platform/XscreensaverWindow.h"
#include "ShellTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace palvina {
namespace {

using test::RunCommand;
using test::ScopedEnv;
using test::ShellQuoted;
using test::SpinEventsUntil;
using test::TempFolder;

struct HostCase {
    const char* name;
    SaverHostFacts facts;
    SaverHost host;
};

void PrintTo(const HostCase& host, std::ostream* out)
{
    *out << host.name;
}

SaverHostFacts Facts(const char* desktop, bool xscreensaverInstalled, bool mateSchema = false)
{
    SaverHostFacts facts;
    facts.currentDesktop = desktop;
    facts.xscreensaverInstalled = xscreensaverInstalled;
    facts.mateSchemaPresent = mateSchema;
    return facts;
}

SaverHostFacts With(SaverHostFacts facts, bool SaverHostFacts::*flag)
{
    facts.*flag = true;
    return facts;
}

class SaverHosts : public testing::TestWithParam<HostCase> {};

TEST_P(SaverHosts, FollowTheSessionsScreenSaver)
{
    EXPECT_EQ(ChooseSaverHost(GetParam().facts), GetParam().host);
}

INSTANTIATE_TEST_SUITE_P(
    ScreenSaverHost, SaverHosts,
    testing::Values(
        HostCase{"NothingInstalled", Facts("", false), SaverHost::NoSlot},
        HostCase{"BareWindowManager", Facts("", true), SaverHost::Xscreensaver},
        HostCase{"Lxde", Facts("LXDE", true), SaverHost::Xscreensaver},
        HostCase{"Lxqt", Facts("LXQt", true), SaverHost::Xscreensaver},
        HostCase{"XfceWithoutItsSaver", Facts("XFCE", true), SaverHost::Xscreensaver},
        HostCase{"XfceWithItsSaver", With(Facts("XFCE", true), &SaverHostFacts::xfceSaverInstalled),
                 SaverHost::NoSlot},
        HostCase{"Gnome", Facts("GNOME", true), SaverHost::NoSlot},
        HostCase{"UbuntuGnome", Facts("ubuntu:GNOME", true), SaverHost::NoSlot},
        HostCase{"Cinnamon", Facts("X-Cinnamon", true), SaverHost::NoSlot},
        HostCase{"Kde", Facts("KDE", true), SaverHost::NoSlot},
        HostCase{"GnomeRunningXscreensaver", With(Facts("GNOME", false), &SaverHostFacts::xscreensaverRunning),
                 SaverHost::Xscreensaver},
        HostCase{"Mate", Facts("MATE", true, true), SaverHost::Mate},
        HostCase{"MateWithoutItsSaver", Facts("MATE", true, false), SaverHost::Xscreensaver},
        HostCase{"MateSaverRunningElsewhere", With(Facts("", false, true), &SaverHostFacts::mateSaverRunning),
                 SaverHost::Mate},
        HostCase{"MateRunningXscreensaver", With(Facts("MATE", true, true), &SaverHostFacts::xscreensaverRunning),
                 SaverHost::Xscreensaver}),
    [](const testing::TestParamInfo<HostCase>& info) { return std::string(info.param.name); });

bool XscreensaverInstalled()
{
    return RunCommand("command -v xscreensaver >/dev/null") == 0;
}

TEST(ScreenSaverHost, InstallsIntoTheUsersXscreensaverSettingsWithoutADesktop)
{
    if (!XscreensaverInstalled()) {
        GTEST_SKIP() << "xscreensaver not installed";
    }
    TempFolder home;
    ScopedEnv homeDir("HOME", home.path());
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", std::nullopt);
    ASSERT_FALSE(XscreensaverRunning());
    EXPECT_EQ(InstallScreenSaver("/opt/kestova/Noctilux"), SaverInstallResult::Xscreensaver);
    const std::string settings = test::ReadBytes(home.file(".xscreensaver"));
    EXPECT_NE(settings.find("\t\t'/opt/kestova/Noctilux' --root\t\\n"), std::string::npos);
    EXPECT_NE(settings.find("mode:\t\tone\n"), std::string::npos);
}

TEST(ScreenSaverHost, OnADesktopWithItsOwnSaverThereIsNoSlot)
{
    TempFolder home;
    ScopedEnv homeDir("HOME", home.path());
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", std::string("GNOME"));
    EXPECT_EQ(InstallScreenSaver("/opt/kestova/Noctilux"), SaverInstallResult::NoSlot);
    EXPECT_FALSE(std::filesystem::exists(home.file(".xscreensaver")));
}

// Runs a command in a process group of its own, so that it can be ended with all it started.
pid_t StartGroup(const std::vector<std::string>& command)
{
    std::vector<std::string> words = command;
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawnattr_destroy(&attributes);
    return pid;
}

void EndGroup(pid_t pid)
{
    if (pid <= 0) {
        return;
    }
    kill(-pid, SIGTERM);
    SpinEventsUntil([pid] { return waitpid(pid, nullptr, WNOHANG) == pid; }, 5000);
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, WNOHANG);
}

// The real xscreensaver reads the settings we write and runs our saver when it blanks. It
// refuses to run savers as root, so it runs as the user "nobody" with a home of its own.
TEST(ScreenSaverHost, TheRealXscreensaverRunsTheInstalledSaver)
{
    if (geteuid() != 0 || !XscreensaverInstalled() || RunCommand("command -v setpriv >/dev/null") != 0
        || !std::getenv("DISPLAY")) {
        GTEST_SKIP() << "needs root (to become another user), setpriv, xscreensaver and a display";
    }
    TempFolder home;
    std::filesystem::permissions(home.path(), std::filesystem::perms(0755));
    const std::string saver = home.file("my savers/Noctilux");
    const std::string marker = home.file("ran");
    std::filesystem::create_directories(home.file("my savers"));
    test::WriteBytes(saver, "#!/bin/sh\necho \"$*\" > " + ShellQuoted(marker) + "\nexec sleep 60\n");
    std::filesystem::permissions(saver, std::filesystem::perms(0755));
    // Started from the system's own list, which has disabled entries before ours.
    ASSERT_TRUE(InstallXscreensaverEntry(home.file(".xscreensaver"), "/etc/X11/app-defaults/XScreenSaver", saver));
    ASSERT_EQ(RunCommand("chown -R 65534:65534 " + ShellQuoted(home.path())), 0);

    const std::vector<std::string> asNobody = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                               "env", "HOME=" + home.path()};
    std::vector<std::string> daemon = asNobody;
    daemon.insert(daemon.end(), {"xscreensaver", "--no-splash"});
    const pid_t xscreensaver = StartGroup(daemon);
    ASSERT_GT(xscreensaver, 0);
    const bool running = SpinEventsUntil([] { return XscreensaverRunning(); });
    bool ran = false;
    if (running) {
        std::vector<std::string> activate = asNobody;
        activate.insert(activate.end(), {"xscreensaver-command", "-activate"});
        const pid_t command = StartGroup(activate);
        waitpid(command, nullptr, 0);
        ran = SpinEventsUntil([&] { return test::ReadBytes(marker) == "--root\n"; });
    }
    EndGroup(xscreensaver);
    EXPECT_TRUE(running);
    EXPECT_TRUE(ran) << test::ReadBytes(marker);
}

} // namespace
} // namespace palvina
