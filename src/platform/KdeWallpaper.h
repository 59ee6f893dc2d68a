#pragma once

#include "platform/WallpaperBackend.h"

#include <string>

namespace palvina {

// KDE Plasma's wallpaper, set and read through plasmashell's desktop scripting
// (org.kde.plasmashell /PlasmaShell org.kde.PlasmaShell.evaluateScript) on the session bus.
// Plasma keeps a picture whose URL did not change, so a picture applied again under the same
// path is shown through its alternate name.
class KdeWallpaper : public WallpaperBackend {
public:
    void apply(const WallpaperSettings& settings) override;
    WallpaperSettings read() override;
    const char* name() const override { return "kde"; }
};

// Runs a desktop script in plasmashell and returns what it printed. Throws std::runtime_error
// when plasmashell is not on the bus, refuses the script or does not answer in time.
std::string EvaluatePlasmaScript(const std::string& script);

} // namespace palvina
