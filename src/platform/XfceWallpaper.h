#pragma once

#include "platform/WallpaperBackend.h"
#include "platform/WallpaperMode.h"

#include <string>
#include <string_view>
#include <vector>

namespace palvina {

// Xfce's wallpaper: xfdesktop shows, for each screen, monitor and workspace, the picture in
// /backdrop/screen<n>/monitor<name>/workspace<n>/last-image of the channel "xfce4-desktop" with
// its image-style. apply() sets every such picture; when none exists yet (xfdesktop has never
// run) it makes the ones xfdesktop will look for: workspace 0 of each monitor, named after its
// connector (needs a QGuiApplication to know them) or else "monitor0". read() reports the first.
// xfdesktop reloads the picture on every write, even of the same path.
class XfceWallpaper : public WallpaperBackend {
public:
    void apply(const WallpaperSettings& settings) override;
    WallpaperSettings read() override;
    const char* name() const override { return "xfce"; }
};

// image-style: 0 none, 1 centred, 2 tiled, 3 stretched, 4 scaled (fit), 5 zoomed (fill),
// 6 spanning. An unknown number reads as zoomed, xfdesktop's default.
int XfceImageStyleFromMode(WallpaperMode mode);
WallpaperMode ModeFromXfceImageStyle(long long style);

// Whether a property name is a backdrop's picture: "/backdrop/screen<digits>/monitor<name>/
// workspace<digits>/last-image".
bool IsXfceBackdropImageProperty(std::string_view property);

// The picture properties to make when none exists, for the X screen number and monitor names.
std::vector<std::string> NewXfceBackdropImageProperties(int screen, const std::vector<std::string>& monitors);

} // namespace palvina
