#pragma once

#include "platform/WallpaperBackend.h"

#include <string>

namespace palvina {

// The wallpaper on the plain X root window, for sessions whose desktop draws none of its own.
// Every apply opens a connection of its own, renders a screen-size pixmap from the picture,
// makes it the root's background and publishes it in _XROOTPMAP_ID and ESETROOT_PMAP_ID, then
// leaves the connection with its resources retained (RetainPermanent) so the pixmap outlives
// it. The pixmap of the setter before is freed by killing its retained client, as the
// setters that share these two properties agree. An empty path gives a plain black root with
// no pixmap. The applied values are kept in RootWallpaperRecordPath() for read().
class XRootWallpaper : public WallpaperBackend {
public:
    // Throws PictureError for a picture that cannot be read, std::runtime_error without a
    // display, FileWriteError when the record cannot be written.
    void apply(const WallpaperSettings& settings) override;
    // The values last applied through this backend (by any process of this user). Before the
    // first apply, a background another program left on the root is saved as a picture
    // (RootBackgroundCopyPath(), tiled) and named instead; without one the values are empty.
    WallpaperSettings read() override;
    const char* name() const override { return "x-root"; }

private:
    static WallpaperSettings KeepForeignRootPicture();
};

// $XDG_CONFIG_HOME/kestova/desktop.ini ($HOME/.config when the variable is unset, empty or
// not an absolute path).
std::string RootWallpaperRecordPath();

// Where read() keeps the root background another program had set: root-background.bmp beside
// the record.
std::string RootBackgroundCopyPath();

} // namespace palvina
