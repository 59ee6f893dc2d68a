#pragma once

#include "platform/WallpaperSettings.h"

namespace palvina {

// One desktop's way of setting and reading the wallpaper. apply() and read() may throw;
// ApplyWallpaper and ReadWallpaperSettings swallow every error towards their callers.
class WallpaperBackend {
public:
    virtual ~WallpaperBackend() = default;

    // Shows the picture with the tile/style values (already defaulted by the caller). Applying
    // the same path again after its content changed shows the new content.
    virtual void apply(const WallpaperSettings& settings) = 0;

    // What the desktop shows now, mapped back to the program's terms; the path is the one the
    // program applied, even where the backend had to show it under another file name.
    virtual WallpaperSettings read() = 0;

    // Short name for logs and tests ("x-root", "gnome", "xfce", ...).
    virtual const char* name() const = 0;
};

} // namespace palvina
