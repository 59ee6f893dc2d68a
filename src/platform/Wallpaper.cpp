#include "platform/Wallpaper.h"

#include "platform/DesktopKind.h"
#include "platform/WallpaperBackend.h"
#include "platform/WallpaperBackends.h"
#include "platform/WallpaperMode.h"

#include <mutex>
#include <utility>

namespace palvina {

namespace {

// One backend for the process. The mutex also serialises apply() and read(), so two threads
// never drive a desktop at the same time and a backend is never replaced while it works.
std::mutex& BackendMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::unique_ptr<WallpaperBackend>& BackendSlot()
{
    static std::unique_ptr<WallpaperBackend> backend;
    return backend;
}

// The caller holds BackendMutex().
WallpaperBackend& BackendLocked()
{
    std::unique_ptr<WallpaperBackend>& slot = BackendSlot();
    if (!slot) {
        slot = ChooseWallpaperBackend();
    }
    return *slot;
}

std::unique_ptr<WallpaperBackend> MakeBackendFor(DesktopKind kind)
{
    switch (kind) {
    case DesktopKind::Gnome:
        return MakeGnomeWallpaper();
    case DesktopKind::Cinnamon:
        return MakeCinnamonWallpaper();
    case DesktopKind::Mate:
        return MakeMateWallpaper();
    case DesktopKind::Xfce:
        return MakeXfceWallpaper();
    case DesktopKind::Lxde:
        return MakeLxdeWallpaper();
    case DesktopKind::Lxqt:
        return MakeLxqtWallpaper();
    case DesktopKind::Kde:
        return MakeKdeWallpaper();
    case DesktopKind::Other:
        break;
    }
    return MakeXRootWallpaper();
}

} // namespace

void ApplyWallpaper(const std::string& path, const std::string& tile, const std::string& style)
{
    WallpaperSettings settings{path, tile, style};
    if (TrimWallpaperValue(tile).empty() || TrimWallpaperValue(style).empty()) {
        settings.tile = "1";
        settings.style = "0";
    }
    try {
        std::lock_guard lock(BackendMutex());
        BackendLocked().apply(settings);
    } catch (...) {
        // Setting the wallpaper never fails towards the caller: the call just ends.
    }
}

void ReadWallpaperSettings(std::string& path, std::string& tile, std::string& style)
{
    path.clear();
    tile.clear();
    style.clear();
    try {
        std::lock_guard lock(BackendMutex());
        WallpaperSettings settings = BackendLocked().read();
        path = std::move(settings.path);
        tile = std::move(settings.tile);
        style = std::move(settings.style);
    } catch (...) {
        // What could not be read stays empty.
    }
}

WallpaperBackend& CurrentWallpaperBackend()
{
    std::lock_guard lock(BackendMutex());
    return BackendLocked();
}

void SetWallpaperBackend(std::unique_ptr<WallpaperBackend> backend)
{
    std::lock_guard lock(BackendMutex());
    BackendSlot() = std::move(backend);
}

std::unique_ptr<WallpaperBackend> ChooseWallpaperBackend()
{
    try {
        std::unique_ptr<WallpaperBackend> backend = MakeBackendFor(DetectRunningDesktop());
        if (backend) {
            return backend;
        }
    } catch (...) {
        // A desktop backend that cannot be made leaves the plain X root window.
    }
    return MakeXRootWallpaper();
}

} // namespace palvina
