#include "platform/XRootWallpaper.h"

#include "compose/BmpFile.h"
#include "compose/PictureLoad.h"
#include "files/IniFile.h"
#include "platform/RootCanvas.h"
#include "platform/WallpaperBackends.h"
#include "platform/WallpaperMode.h"
#include "platform/XDisplay.h"
#include "platform/XErrorTrap.h"
#include "platform/XRootPixmap.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

namespace palvina {

namespace {

constexpr std::string_view kRecordSection = "Desktop";
constexpr std::string_view kPathKey = "Wallpaper";
constexpr std::string_view kTileKey = "TileWallpaper";
constexpr std::string_view kStyleKey = "WallpaperStyle";

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home) {
        return home;
    }
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

// The pixmap a root property of type PIXMAP names, or 0.
Pixmap ReadPixmapProperty(Display* display, Window root, Atom property)
{
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    Pixmap pixmap = 0;
    if (XGetWindowProperty(display, root, property, 0, 1, False, XA_PIXMAP, &type, &format, &items,
                           &after, &data) == Success
        && data && type == XA_PIXMAP && format == 32 && items == 1) {
        pixmap = static_cast<Pixmap>(*reinterpret_cast<const unsigned long*>(data));
    }
    if (data) {
        XFree(data);
    }
    return pixmap;
}

bool PixmapExists(Display* display, Pixmap pixmap, XErrorTrap& trap)
{
    trap.syncAndCheckError();
    unsigned width = 0;
    unsigned height = 0;
    unsigned depth = 0;
    const bool answered = ReadPixmapGeometry(display, pixmap, width, height, depth);
    return !trap.syncAndCheckError() && answered;
}

// The pixmap an earlier setter left for us to free: by agreement, a pixmap that both
// _XROOTPMAP_ID and ESETROOT_PMAP_ID name belongs to a client kept alive only for it
// (RetainPermanent), so killing that client frees it. 0 when there is none.
Pixmap PreviousRetainedPixmap(Display* display, Window root, Atom rootPixmap, Atom esetrootPixmap,
                              XErrorTrap& trap)
{
    const Pixmap shown = ReadPixmapProperty(display, root, rootPixmap);
    const Pixmap retained = ReadPixmapProperty(display, root, esetrootPixmap);
    if (retained == 0 || retained != shown || !PixmapExists(display, retained, trap)) {
        return 0;
    }
    return retained;
}

void SetPixmapProperty(Display* display, Window root, Atom property, Pixmap pixmap)
{
    const unsigned long value = pixmap;
    XChangeProperty(display, root, property, XA_PIXMAP, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&value), 1);
}

// Shows the pixmap (or, when it is 0, plain black) on the root and frees the one before.
void ReplaceRootBackground(Display* display, Pixmap pixmap, XErrorTrap& trap)
{
    const Window root = DefaultRootWindow(display);
    const Atom rootPixmap = XInternAtom(display, "_XROOTPMAP_ID", False);
    const Atom esetrootPixmap = XInternAtom(display, "ESETROOT_PMAP_ID", False);

    // No other client may swap the properties between reading and replacing them.
    XGrabServer(display);
    const Pixmap previous = PreviousRetainedPixmap(display, root, rootPixmap, esetrootPixmap, trap);
    if (pixmap != 0) {
        SetPixmapProperty(display, root, rootPixmap, pixmap);
        SetPixmapProperty(display, root, esetrootPixmap, pixmap);
        XSetWindowBackgroundPixmap(display, root, pixmap);
    } else {
        XDeleteProperty(display, root, rootPixmap);
        XDeleteProperty(display, root, esetrootPixmap);
        XSetWindowBackground(display, root, BlackPixel(display, DefaultScreen(display)));
    }
    XClearWindow(display, root);
    if (previous != 0) {
        XKillClient(display, previous);
    }
    XUngrabServer(display);
    // A failed kill (the client went away meanwhile) is no failure of ours.
    trap.syncAndCheckError();
}

void RecordApplied(const WallpaperSettings& settings)
{
    const std::string file = RootWallpaperRecordPath();
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ignored);
    WriteIniValue(kRecordSection, kPathKey, settings.path, file);
    WriteIniValue(kRecordSection, kTileKey, settings.tile, file);
    WriteIniValue(kRecordSection, kStyleKey, settings.style, file);
}

} // namespace

void XRootWallpaper::apply(const WallpaperSettings& settings)
{
    // The file is read afresh every time: the same path with new content shows the new content.
    Bitmap picture;
    if (!settings.path.empty()) {
        picture = LoadBmpOrJpeg(settings.path);
    }

    XDisplay connection;
    if (!connection.isOpen()) {
        throw std::runtime_error("no X display to set the wallpaper on");
    }
    Display* display = connection.get();
    XErrorTrap trap(display);

    Pixmap pixmap = 0;
    if (!picture.empty()) {
        const int screen = DefaultScreen(display);
        const Bitmap canvas = RenderRootCanvas(picture, ModeFromWindowsValues(settings.tile, settings.style),
                                               DisplayWidth(display, screen), DisplayHeight(display, screen));
        pixmap = UploadRootPixmap(display, canvas);
        if (trap.syncAndCheckError()) {
            // Closing the connection normally frees whatever was made.
            throw std::runtime_error("the X server refused the wallpaper pixmap");
        }
    }
    if (pixmap != 0) {
        // The pixmap must outlive this connection; the next setter frees it.
        XSetCloseDownMode(display, RetainPermanent);
    }
    ReplaceRootBackground(display, pixmap, trap);
    XSync(display, False);

    RecordApplied(settings);
}

WallpaperSettings XRootWallpaper::read()
{
    const std::string file = RootWallpaperRecordPath();
    WallpaperSettings recorded{ReadIniValue(kRecordSection, kPathKey, file),
                               ReadIniValue(kRecordSection, kTileKey, file),
                               ReadIniValue(kRecordSection, kStyleKey, file)};
    if (!recorded.tile.empty() || !recorded.style.empty()) {
        return recorded;
    }
    return KeepForeignRootPicture();
}

WallpaperSettings XRootWallpaper::KeepForeignRootPicture()
{
    // Nothing was applied through us yet, but another program (a window manager's setter) may
    // have put a picture on the root. Kept as a screen-size BMP, tiled from (0, 0), it can be
    // applied again later, so the user's own background comes back when the player ends.
    XDisplay connection;
    if (!connection.isOpen()) {
        return {};
    }
    Display* display = connection.get();
    XErrorTrap trap(display);
    const Pixmap shown = ReadPixmapProperty(display, DefaultRootWindow(display),
                                            XInternAtom(display, "_XROOTPMAP_ID", False));
    if (shown == 0) {
        return {};
    }
    Bitmap picture;
    try {
        picture = DownloadRootPixmap(display, shown);
    } catch (const std::runtime_error&) {
        return {};
    }
    if (trap.syncAndCheckError()) {
        return {};
    }
    const std::string path = RootBackgroundCopyPath();
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    WriteBmpFile(picture, path);
    return {path, "1", "0"};
}

std::string RootWallpaperRecordPath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string base = (config && config[0] == '/') ? std::string(config) : HomeFolder() + "/.config";
    return base + "/kestova/desktop.ini";
}

std::string RootBackgroundCopyPath()
{
    const std::string record = RootWallpaperRecordPath();
    return record.substr(0, record.rfind('/') + 1) + "root-background.bmp";
}

std::unique_ptr<WallpaperBackend> MakeXRootWallpaper()
{
    return std::make_unique<XRootWallpaper>();
}

} // namespace palvina
