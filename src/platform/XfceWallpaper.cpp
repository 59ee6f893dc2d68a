#include "platform/XfceWallpaper.h"

#include "platform/WallpaperBackends.h"
#include "platform/XfconfClient.h"

#include <QtCore/QThread>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace palvina {

namespace {

constexpr const char* kChannel = "xfce4-desktop";
constexpr std::string_view kImageKey = "last-image";
constexpr std::string_view kStyleKey = "image-style";

bool AllDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Consumes "<prefix><rest>/" from `text`; `rest` is what lies between.
bool TakePart(std::string_view& text, std::string_view prefix, std::string_view& rest)
{
    if (text.substr(0, prefix.size()) != prefix) {
        return false;
    }
    text.remove_prefix(prefix.size());
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) {
        return false;
    }
    rest = text.substr(0, slash);
    text.remove_prefix(slash + 1);
    return true;
}

// "/backdrop/.../workspace0/last-image" -> "/backdrop/.../workspace0/image-style".
std::string StylePropertyOf(const std::string& imageProperty)
{
    return imageProperty.substr(0, imageProperty.size() - kImageKey.size()) + std::string(kStyleKey);
}

// The X screen number that DISPLAY names (":0.1" -> 1), 0 when it names none.
int ScreenNumberFromDisplay()
{
    const char* display = std::getenv("DISPLAY");
    if (!display) {
        return 0;
    }
    const std::string_view text(display);
    const std::size_t colon = text.rfind(':');
    const std::size_t dot = text.rfind('.');
    if (colon == std::string_view::npos || dot == std::string_view::npos || dot < colon) {
        return 0;
    }
    const std::string_view number = text.substr(dot + 1);
    return AllDigits(number) && number.size() < 4 ? std::atoi(std::string(number).c_str()) : 0;
}

// xfdesktop names a monitor after its connector ("Virtual-1"); without a GUI application to
// ask, its numbered form "0" is the best guess.
std::vector<std::string> MonitorNames()
{
    std::vector<std::string> names;
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app && QThread::currentThread() == app->thread()) {
        const QScreen* primary = QGuiApplication::primaryScreen();
        if (primary && !primary->name().isEmpty()) {
            names.push_back(primary->name().toStdString());
        }
        for (const QScreen* screen : QGuiApplication::screens()) {
            const std::string name = screen->name().toStdString();
            if (!name.empty() && name.find('/') == std::string::npos
                && std::find(names.begin(), names.end(), name) == names.end()) {
                names.push_back(name);
            }
        }
    }
    if (names.empty()) {
        names.emplace_back("0");
    }
    return names;
}

std::vector<std::string> ExistingImageProperties(XfconfClient& xfconf)
{
    std::vector<std::string> images;
    for (std::string& name : xfconf.propertyNames(kChannel, "/backdrop")) {
        if (IsXfceBackdropImageProperty(name)) {
            images.push_back(std::move(name));
        }
    }
    std::sort(images.begin(), images.end());
    return images;
}

} // namespace

int XfceImageStyleFromMode(WallpaperMode mode)
{
    switch (mode) {
    case WallpaperMode::None:
        return 0;
    case WallpaperMode::Centred:
        return 1;
    case WallpaperMode::Tiled:
        return 2;
    case WallpaperMode::Stretched:
        return 3;
    case WallpaperMode::Fit:
        return 4;
    case WallpaperMode::Fill:
        return 5;
    case WallpaperMode::Span:
        return 6;
    }
    return 5;
}

WallpaperMode ModeFromXfceImageStyle(long long style)
{
    switch (style) {
    case 0:
        return WallpaperMode::None;
    case 1:
        return WallpaperMode::Centred;
    case 2:
        return WallpaperMode::Tiled;
    case 3:
        return WallpaperMode::Stretched;
    case 4:
        return WallpaperMode::Fit;
    case 6:
        return WallpaperMode::Span;
    default:
        return WallpaperMode::Fill;
    }
}

bool IsXfceBackdropImageProperty(std::string_view property)
{
    std::string_view rest = property;
    std::string_view part;
    if (rest.substr(0, 10) != "/backdrop/") {
        return false;
    }
    rest.remove_prefix(10);
    if (!TakePart(rest, "screen", part) || !AllDigits(part)) {
        return false;
    }
    if (!TakePart(rest, "monitor", part) || part.empty()) {
        return false;
    }
    if (!TakePart(rest, "workspace", part) || !AllDigits(part)) {
        return false;
    }
    return rest == kImageKey;
}

std::vector<std::string> NewXfceBackdropImageProperties(int screen, const std::vector<std::string>& monitors)
{
    std::vector<std::string> properties;
    for (const std::string& monitor : monitors) {
        properties.push_back("/backdrop/screen" + std::to_string(screen) + "/monitor" + monitor + "/workspace0/"
                             + std::string(kImageKey));
    }
    return properties;
}

void XfceWallpaper::apply(const WallpaperSettings& settings)
{
    XfconfClient xfconf;
    std::vector<std::string> images = ExistingImageProperties(xfconf);
    if (images.empty()) {
        images = NewXfceBackdropImageProperties(ScreenNumberFromDisplay(), MonitorNames());
    }
    const WallpaperMode mode = settings.path.empty() ? WallpaperMode::None
                                                     : ModeFromWindowsValues(settings.tile, settings.style);
    const int style = XfceImageStyleFromMode(mode);
    // The style first: xfdesktop redraws on each write, and the picture then comes in its mode.
    for (const std::string& image : images) {
        xfconf.setInt(kChannel, StylePropertyOf(image), style);
        xfconf.setString(kChannel, image, settings.path);
    }
}

WallpaperSettings XfceWallpaper::read()
{
    XfconfClient xfconf;
    WallpaperSettings result;
    const std::vector<std::string> images = ExistingImageProperties(xfconf);
    WallpaperMode mode = WallpaperMode::None;
    if (!images.empty()) {
        result.path = xfconf.getString(kChannel, images.front()).value_or("");
        const std::optional<long long> style = xfconf.getInt(kChannel, StylePropertyOf(images.front()));
        mode = ModeFromXfceImageStyle(style.value_or(5));
        if (mode == WallpaperMode::None) {
            result.path.clear();
        }
    }
    WindowsValuesFromMode(result.path.empty() ? WallpaperMode::None : mode, result.tile, result.style);
    return result;
}

std::unique_ptr<WallpaperBackend> MakeXfceWallpaper()
{
    return std::make_unique<XfceWallpaper>();
}

} // namespace palvina
