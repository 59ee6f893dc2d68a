#include "platform/WallpaperMode.h"

namespace palvina {

namespace {

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

std::string TrimWallpaperValue(std::string_view value)
{
    std::size_t begin = 0;
    std::size_t end = value.size();
    while (begin < end && IsBlank(value[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(value[end - 1])) {
        --end;
    }
    return std::string(value.substr(begin, end - begin));
}

WallpaperMode ModeFromWindowsValues(const std::string& tile, const std::string& style)
{
    if (TrimWallpaperValue(tile) == "1") {
        return WallpaperMode::Tiled;
    }
    const std::string s = TrimWallpaperValue(style);
    if (s == "2") {
        return WallpaperMode::Stretched;
    }
    if (s == "6") {
        return WallpaperMode::Fit;
    }
    if (s == "10") {
        return WallpaperMode::Fill;
    }
    if (s == "22") {
        return WallpaperMode::Span;
    }
    return WallpaperMode::Centred;
}

void WindowsValuesFromMode(WallpaperMode mode, std::string& tile, std::string& style)
{
    tile = "0";
    style = "0";
    switch (mode) {
    case WallpaperMode::Tiled:
        tile = "1";
        break;
    case WallpaperMode::Stretched:
        style = "2";
        break;
    case WallpaperMode::Fit:
        style = "6";
        break;
    case WallpaperMode::Fill:
        style = "10";
        break;
    case WallpaperMode::Span:
        style = "22";
        break;
    case WallpaperMode::None:
    case WallpaperMode::Centred:
        break;
    }
}

} // namespace palvina
