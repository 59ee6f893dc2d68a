// palvina-compose: composes one picture into a BMP file exactly as the player's play step does
// for a channel class, for scripts, benchmarks and checks.

#include "compose/ChannelComposer.h"
#include "compose/ComposeContext.h"
#include "files/AppDir.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "usage: palvina-compose --screen WxH --class N [--playlist FILE] [--app-dir DIR] PICTURE DEST\n"
    "  --screen WxH     screen size to compose for, e.g. 1920x1080\n"
    "  --class N        channel class: 0 pictorial, 1 wallpaper, 2 album, 3 shared album\n"
    "  --playlist FILE  the album's play list (class 2): its BlkOption and PicSet options\n"
    "  --app-dir DIR    program folder whose Images/Mask/ holds the masks (default: this tool's folder)\n"
    "Writes DEST (a 24-bit BMP) and exits 0; on failure prints the error and leaves DEST untouched.\n";

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "palvina-compose: %s\n%s", message.c_str(), kUsage);
    return 2;
}

bool ParseNumber(std::string_view text, int& value)
{
    if (text.empty() || text.size() > 6) {
        return false;
    }
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return true;
}

bool ParseScreen(std::string_view text, palvina::ScreenSize& screen)
{
    const auto x = text.find('x');
    return x != std::string_view::npos && ParseNumber(text.substr(0, x), screen.width)
        && ParseNumber(text.substr(x + 1), screen.height) && screen.width > 0 && screen.height > 0;
}

} // namespace

int main(int argc, char** argv)
{
    palvina::ScreenSize screen;
    int channelClass = -1;
    std::string playList;
    std::string appDir;
    std::string positional[2];
    int positionals = 0;

    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--screen" && hasValue) {
            if (!ParseScreen(argv[++i], screen)) {
                return UsageError("bad screen size: " + std::string(argv[i]));
            }
        } else if (arg == "--class" && hasValue) {
            if (!ParseNumber(argv[++i], channelClass) || channelClass > 3) {
                return UsageError("bad channel class: " + std::string(argv[i]));
            }
        } else if (arg == "--playlist" && hasValue) {
            playList = argv[++i];
        } else if (arg == "--app-dir" && hasValue) {
            appDir = argv[++i];
        } else if (arg.starts_with("--") || positionals == 2) {
            return UsageError("unexpected argument: " + std::string(arg));
        } else {
            positional[positionals++] = std::string(arg);
        }
    }
    if (screen.width == 0) {
        return UsageError("--screen is required");
    }
    if (channelClass < 0) {
        return UsageError("--class is required");
    }
    if (positionals != 2) {
        return UsageError("PICTURE and DEST are required");
    }
    if (channelClass == 2 && playList.empty()) {
        return UsageError("--playlist is required for class 2");
    }

    try {
        palvina::RandomSource random;
        palvina::ComposeContext ctx;
        ctx.screenSize = [screen] { return screen; };
        ctx.maskFolder = palvina::WithTrailingBackslash(appDir.empty() ? palvina::GetAppDir() : appDir)
                       + "Images/Mask/";
        ctx.random = &random;
        palvina::ComposeChannelPicture(channelClass, positional[0], playList, positional[1], ctx);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "palvina-compose: %s\n", e.what());
        return 1;
    }
    return 0;
}
