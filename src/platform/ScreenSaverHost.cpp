#include "platform/ScreenSaverHost.h"

#include "files/AppDir.h"
#include "files/AsciiCase.h"
#include "platform/MateSaverTheme.h"
#include "platform/SessionBusNames.h"
#include "platform/XscreensaverConfig.h"
#include "platform/XscreensaverWindow.h"

#include <algorithm>
#include <cstdlib>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace palvina {

namespace {

constexpr char kAppDefaultsPath[] = "/etc/X11/app-defaults/XScreenSaver";

// $XDG_CURRENT_DESKTOP names one or more desktops, separated by ':'.
std::vector<std::string> LowerCaseParts(std::string_view value)
{
    std::vector<std::string> parts;
    while (true) {
        const std::size_t colon = value.find(':');
        parts.push_back(AsciiLower(value.substr(0, colon)));
        if (colon == std::string_view::npos) {
            return parts;
        }
        value.remove_prefix(colon + 1);
    }
}

bool HasPart(const std::vector<std::string>& parts, std::string_view name)
{
    return std::find(parts.begin(), parts.end(), name) != parts.end();
}

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home == '/') {
        return home;
    }
    const passwd* entry = getpwuid(geteuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

std::string DataHome()
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
        return data;
    }
    const std::string home = HomeFolder();
    return home.empty() ? "" : home + "/.local/share";
}

bool OnPath(const char* program)
{
    const char* path = std::getenv("PATH");
    std::string_view rest(path ? path : "/usr/local/bin:/usr/bin:/bin");
    while (true) {
        const std::size_t colon = rest.find(':');
        const std::string folder(rest.substr(0, colon));
        if (!folder.empty()) {
            const std::string candidate = folder + "/" + program;
            struct stat st {};
            if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode)
                && access(candidate.c_str(), X_OK) == 0) {
                return true;
            }
        }
        if (colon == std::string_view::npos) {
            return false;
        }
        rest.remove_prefix(colon + 1);
    }
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

} // namespace

SaverHost ChooseSaverHost(const SaverHostFacts& facts)
{
    if (facts.xscreensaverRunning) {
        return SaverHost::Xscreensaver;
    }
    const std::vector<std::string> desktop = LowerCaseParts(facts.currentDesktop);
    if (facts.mateSchemaPresent && (facts.mateSaverRunning || HasPart(desktop, "mate"))) {
        return SaverHost::Mate;
    }
    const bool ownSaver = HasPart(desktop, "gnome") || HasPart(desktop, "unity")
        || HasPart(desktop, "budgie") || HasPart(desktop, "pantheon")
        || HasPart(desktop, "cinnamon") || HasPart(desktop, "x-cinnamon")
        || HasPart(desktop, "kde") || HasPart(desktop, "deepin")
        || (HasPart(desktop, "xfce") && facts.xfceSaverInstalled);
    if (facts.xscreensaverInstalled && !ownSaver) {
        return SaverHost::Xscreensaver;
    }
    return SaverHost::NoSlot;
}

SaverHostFacts GatherSaverHostFacts()
{
    SaverHostFacts facts;
    if (const char* desktop = std::getenv("XDG_CURRENT_DESKTOP")) {
        facts.currentDesktop = desktop;
    }
    facts.xscreensaverRunning = XscreensaverRunning();
    facts.xscreensaverInstalled = OnPath("xscreensaver") || FileExists(HomeFolder() + "/.xscreensaver");
    const std::vector<std::string> busNames = ListSessionBusNames();
    facts.mateSaverRunning =
        std::find(busNames.begin(), busNames.end(), "org.mate.ScreenSaver") != busNames.end();
    facts.mateSchemaPresent = MateSaverSchemaPresent();
    facts.xfceSaverInstalled = OnPath("xfce4-screensaver");
    return facts;
}

std::string SaverProgramPath()
{
    return GetAppDir() + "Noctilux";
}

SaverInstallResult InstallScreenSaver(const std::string& saverProgramPath)
{
    try {
        switch (ChooseSaverHost(GatherSaverHostFacts())) {
        case SaverHost::Xscreensaver: {
            const std::string home = HomeFolder();
            return !home.empty()
                    && InstallXscreensaverEntry(home + "/.xscreensaver", kAppDefaultsPath, saverProgramPath)
                ? SaverInstallResult::Xscreensaver
                : SaverInstallResult::Failed;
        }
        case SaverHost::Mate:
            return InstallMateSaverTheme(DataHome(), saverProgramPath, MateSaverProgramFolders());
        case SaverHost::NoSlot:
            break;
        }
    } catch (...) {
        return SaverInstallResult::Failed;
    }
    return SaverInstallResult::NoSlot;
}

} // namespace palvina
