#include "platform/DesktopIconSwitch.h"

#include "files/IniFile.h"
#include "platform/CheckedGSettings.h"
#include "platform/XRootWallpaper.h"
#include "platform/XfconfClient.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace palvina {

namespace {

// What was shown before the icons were hidden, so showing them brings back the user's choice.
constexpr std::string_view kMemorySection = "DesktopIcons";
constexpr std::string_view kXfceStyleKey = "XfceStyle";
constexpr std::string_view kNemoLayoutKey = "NemoLayout";

constexpr const char* kXfceChannel = "xfce4-desktop";
constexpr const char* kXfceStyleProperty = "/desktop-icons/style";
constexpr int kXfceNoIcons = 0;
constexpr int kXfceFileIcons = 2;

constexpr const char* kNemoLayoutHidden = "false::false";
constexpr const char* kNemoLayoutShown = "true::false";  // Nemo's default: the primary monitor

void Remember(std::string_view key, const std::string& value)
{
    const std::string file = RootWallpaperRecordPath();
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ignored);
    WriteIniValue(kMemorySection, key, value, file);
}

std::string Recall(std::string_view key)
{
    return ReadIniValue(kMemorySection, key, RootWallpaperRecordPath());
}

std::optional<int> SmallNumber(const std::string& text)
{
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stoi(text);
}

// Xfce: /desktop-icons/style 0 shows none; the style before (1 minimised windows, 2 files and
// launchers) is remembered to come back.
bool SwitchXfceIcons(bool visible)
{
    XfconfClient xfconf;
    if (visible) {
        const std::optional<int> before = SmallNumber(Recall(kXfceStyleKey));
        xfconf.setInt(kXfceChannel, kXfceStyleProperty, before && *before != kXfceNoIcons ? *before : kXfceFileIcons);
        return true;
    }
    // Hidden twice in a row, "no icons" must not become the style to come back to.
    const std::optional<long long> now = xfconf.getInt(kXfceChannel, kXfceStyleProperty);
    if (now && *now > kXfceNoIcons && *now < 100) {
        Remember(kXfceStyleKey, std::to_string(*now));
    }
    xfconf.setInt(kXfceChannel, kXfceStyleProperty, kXfceNoIcons);
    return true;
}

// MATE: Caja draws the icons while org.mate.background show-desktop-icons is true.
bool SwitchMateIcons(bool visible)
{
    CheckedGSettings settings("org.mate.background");
    if (!settings.hasKey("show-desktop-icons", "b")) {
        return false;
    }
    settings.setBool("show-desktop-icons", visible);
    settings.apply();
    return true;
}

// Cinnamon: Nemo's desktop-layout "<on primary>::<on the others>" ("false::false" shows none);
// older Nemo has show-desktop-icons instead.
bool SwitchNemoIcons(bool visible)
{
    CheckedGSettings settings("org.nemo.desktop");
    if (settings.hasKey("desktop-layout", "s")) {
        if (visible) {
            const std::string before = Recall(kNemoLayoutKey);
            const bool usable = !before.empty() && before != kNemoLayoutHidden
                                && before.find("::") != std::string::npos;
            settings.setString("desktop-layout", usable ? before : kNemoLayoutShown);
        } else {
            const std::string now = settings.getString("desktop-layout");
            if (now != kNemoLayoutHidden) {
                Remember(kNemoLayoutKey, now);
            }
            settings.setString("desktop-layout", kNemoLayoutHidden);
        }
        settings.apply();
        return true;
    }
    if (settings.hasKey("show-desktop-icons", "b")) {
        settings.setBool("show-desktop-icons", visible);
        settings.apply();
        return true;
    }
    return false;
}

} // namespace

bool SetIconsThroughDesktopSwitch(DesktopKind kind, bool visible)
{
    try {
        switch (kind) {
        case DesktopKind::Xfce:
            return SwitchXfceIcons(visible);
        case DesktopKind::Mate:
            return SwitchMateIcons(visible);
        case DesktopKind::Cinnamon:
            return SwitchNemoIcons(visible);
        // GNOME's desktop icons extension has no single switch (its keys hide only the home,
        // trash and volume icons, never the files); its icon windows are of the desktop type
        // and lie over the background, so unmapping them hides the icons and keeps the picture.
        case DesktopKind::Gnome:
        // pcmanfm --desktop-off ends the whole desktop, wallpaper included, and a later
        // --set-wallpaper would start a stray instance; its desktop window can be unmapped
        // instead, and the picture it also sets on the root window stays in view.
        case DesktopKind::Lxde:
        case DesktopKind::Lxqt:
        // Plasma draws the icons and the wallpaper in one window: there is no switch.
        case DesktopKind::Kde:
        case DesktopKind::Other:
            return false;
        }
    } catch (...) {
        // A switch that cannot be reached is no switch: the caller falls back.
    }
    return false;
}

} // namespace palvina
