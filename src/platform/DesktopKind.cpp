#include "platform/DesktopKind.h"

#include "files/AsciiCase.h"
#include "platform/SessionBusNames.h"
#include "platform/XDisplay.h"
#include "platform/XErrorTrap.h"
#include "platform/XWindowQueries.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace palvina {

namespace {

struct DesktopName {
    std::string_view name;
    DesktopKind kind;
};

// The names desktops put into XDG_CURRENT_DESKTOP (compared in any letter case).
constexpr DesktopName kDesktopNames[] = {
    {"GNOME", DesktopKind::Gnome},
    {"GNOME-Classic", DesktopKind::Gnome},
    {"GNOME-Flashback", DesktopKind::Gnome},
    {"Unity", DesktopKind::Gnome},
    {"Budgie", DesktopKind::Gnome},
    {"X-Cinnamon", DesktopKind::Cinnamon},
    {"Cinnamon", DesktopKind::Cinnamon},
    {"MATE", DesktopKind::Mate},
    {"XFCE", DesktopKind::Xfce},
    {"LXDE", DesktopKind::Lxde},
    {"LXQt", DesktopKind::Lxqt},
    {"KDE", DesktopKind::Kde},
};

// What shows that a desktop draws the wallpaper in this session: a session bus name owned by
// the program that draws it or by the settings daemon it follows (exact, or any name under a
// prefix that ends in '.'), or the WM_CLASS of its desktop window.
struct RunningSigns {
    std::vector<std::string_view> busNames;
    std::vector<std::string_view> desktopWindowClasses;
};

RunningSigns SignsOf(DesktopKind kind)
{
    switch (kind) {
    case DesktopKind::Gnome:
        return {{"org.gnome.Shell", "org.gnome.Flashback", "com.canonical.Unity",
                 "org.budgie_desktop.", "org.buddiesofbudgie."},
                {"nautilus", "gnome-flashback"}};
    case DesktopKind::Cinnamon:
        return {{"org.Cinnamon"}, {"nemo-desktop"}};
    case DesktopKind::Mate:
        return {{"org.mate.SettingsDaemon"}, {"caja"}};
    case DesktopKind::Xfce:
        // xfconfd alone proves nothing: it starts on demand, and without xfdesktop nobody
        // draws what it holds.
        return {{"org.xfce.xfdesktop"}, {"xfdesktop"}};
    case DesktopKind::Lxde:
        return {{}, {"pcmanfm"}};
    case DesktopKind::Lxqt:
        return {{}, {"pcmanfm-qt"}};
    case DesktopKind::Kde:
        return {{"org.kde.plasmashell"}, {"plasmashell"}};
    case DesktopKind::Other:
        break;
    }
    return {{}, {}};
}

bool NameMatches(std::string_view owned, std::string_view wanted)
{
    if (!wanted.empty() && wanted.back() == '.') {
        return owned.substr(0, wanted.size()) == wanted;
    }
    return owned == wanted;
}

bool AnyBusNameOwned(const std::vector<std::string_view>& wanted)
{
    if (wanted.empty()) {
        return false;
    }
    const std::vector<std::string> owned = ListSessionBusNames();
    return std::any_of(owned.begin(), owned.end(), [&](const std::string& name) {
        return std::any_of(wanted.begin(), wanted.end(),
                           [&](std::string_view w) { return NameMatches(name, w); });
    });
}

bool AnyDesktopWindowOfClass(const std::vector<std::string_view>& classes)
{
    if (classes.empty()) {
        return false;
    }
    XDisplay display;
    if (!display.isOpen()) {
        return false;
    }
    XErrorTrap trap(display.get());
    for (unsigned long window : FindDesktopTypeWindows(display.get())) {
        const WindowClass windowClass = ReadWindowClass(display.get(), window);
        for (std::string_view wanted : classes) {
            if (SameIgnoringAsciiCase(windowClass.instance, wanted)
                || SameIgnoringAsciiCase(windowClass.className, wanted)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

DesktopKind DesktopFromXdgCurrentDesktop(std::string_view value)
{
    while (true) {
        const std::size_t colon = value.find(':');
        const std::string_view part = value.substr(0, colon);
        for (const DesktopName& known : kDesktopNames) {
            if (SameIgnoringAsciiCase(part, known.name)) {
                return known.kind;
            }
        }
        if (colon == std::string_view::npos) {
            return DesktopKind::Other;
        }
        value.remove_prefix(colon + 1);
    }
}

bool IsDesktopRunning(DesktopKind kind)
{
    try {
        const RunningSigns signs = SignsOf(kind);
        return AnyBusNameOwned(signs.busNames) || AnyDesktopWindowOfClass(signs.desktopWindowClasses);
    } catch (...) {
        return false;
    }
}

DesktopKind DetectRunningDesktop()
{
    const char* value = std::getenv("XDG_CURRENT_DESKTOP");
    const DesktopKind kind = DesktopFromXdgCurrentDesktop(value ? value : "");
    if (kind == DesktopKind::Other || !IsDesktopRunning(kind)) {
        return DesktopKind::Other;
    }
    return kind;
}

} // namespace palvina
