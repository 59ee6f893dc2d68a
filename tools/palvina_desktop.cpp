// palvina-desktop: the desktop layer on the command line, for checking a real desktop by hand
// and for scripts: set or read the wallpaper through the running desktop's backend, ask whether
// the pointer rests on the bare desktop, show or hide the desktop icons.

#include "platform/DesktopKind.h"
#include "platform/DesktopWindows.h"
#include "platform/Wallpaper.h"
#include "platform/WallpaperBackend.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "usage: palvina-desktop COMMAND\n"
    "  apply PATH [TILE STYLE]  set the wallpaper (TILE \"1\" tiled; STYLE 0 centred, 2 stretched,\n"
    "                           6 fit, 10 fill, 22 span; empty values mean tiled)\n"
    "  read                     print the wallpaper's path, tile and style, one per line\n"
    "  backend                  print the name of the wallpaper backend of this session\n"
    "  pointer                  exit 0 when the pointer rests on the bare desktop, else 1\n"
    "  icons show|hide          show or hide the desktop icons\n";

int Usage()
{
    std::fputs(kUsage, stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace palvina;
    if (argc < 2) {
        return Usage();
    }
    const std::string_view command = argv[1];
    if (command == "apply" && (argc == 3 || argc == 5)) {
        ApplyWallpaper(argv[2], argc == 5 ? argv[3] : "", argc == 5 ? argv[4] : "");
        return 0;
    }
    if (command == "read" && argc == 2) {
        std::string path, tile, style;
        ReadWallpaperSettings(path, tile, style);
        std::printf("%s\n%s\n%s\n", path.c_str(), tile.c_str(), style.c_str());
        return 0;
    }
    if (command == "backend" && argc == 2) {
        std::printf("%s\n", CurrentWallpaperBackend().name());
        return 0;
    }
    if (command == "pointer" && argc == 2) {
        return IsPointerOnBareDesktop() ? 0 : 1;
    }
    if (command == "icons" && argc == 3) {
        const std::string_view what = argv[2];
        if (what != "show" && what != "hide") {
            return Usage();
        }
        SetDesktopIconViewVisible(what == "show");
        return 0;
    }
    return Usage();
}
