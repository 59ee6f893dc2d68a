#pragma once

#include "platform/WallpaperBackend.h"
#include "platform/WallpaperMode.h"

#include <string>

namespace palvina {

// Where a GSettings desktop keeps its wallpaper.
struct GSettingsWallpaperKeys {
    const char* name;         // the backend's short name
    const char* schema;       // e.g. "org.gnome.desktop.background"
    const char* pictureKey;   // "picture-uri" or "picture-filename"
    const char* darkKey;      // set as well when the schema has it ("picture-uri-dark"), or nullptr
    const char* optionsKey;   // "picture-options"
    bool pictureIsUri;        // a file URI, else a plain path
};

// The wallpaper of GNOME (Unity, Budgie), Cinnamon and MATE: the picture key and
// "picture-options". These desktops ignore a write of an unchanged value, so a picture applied
// again under the same path is shown through its alternate name (AlternateWallpaperName.h).
// The schema and its keys are looked up before use: a missing one throws, it never ends the
// process.
class GSettingsWallpaper : public WallpaperBackend {
public:
    explicit GSettingsWallpaper(const GSettingsWallpaperKeys& keys);

    void apply(const WallpaperSettings& settings) override;
    WallpaperSettings read() override;
    const char* name() const override { return keys_.name; }

private:
    GSettingsWallpaperKeys keys_;
};

// "picture-options" values: none, wallpaper (tiled), centered, scaled (fit), stretched,
// zoom (fill), spanned. An unknown text reads as zoom, these desktops' default.
const char* PictureOptionFromMode(WallpaperMode mode);
WallpaperMode ModeFromPictureOption(const std::string& option);

} // namespace palvina
