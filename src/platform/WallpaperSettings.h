#pragma once

#include <string>

namespace palvina {

// The desktop wallpaper in the program's own terms: the picture's path and the tile and style
// values as Windows defines them (TileWallpaper "1" = tiled; otherwise WallpaperStyle "0"
// centred, "2" stretched, "6" fit, "10" fill, "22" span). An empty path means no picture.
struct WallpaperSettings {
    std::string path;
    std::string tile;
    std::string style;
};

} // namespace palvina
