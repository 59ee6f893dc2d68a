#pragma once

#include <string>

namespace palvina {

// Several desktops ignore a write of the value they already hold, so a picture rewritten in
// place would not be shown again. Such a desktop is given the picture under a second name every
// other time: "<dir>/.<name>.alt<ext>", a hard link to the picture (a copy where links fail).

// The second name of a picture: "/a/Palvina.bmp" -> "/a/.Palvina.alt.bmp".
std::string AlternateWallpaperPath(const std::string& path);

// The path to hand to the desktop so that the value changes: `wanted` itself unless the desktop
// holds exactly that now, else its second name, made afresh from the picture's current content.
// An empty `wanted` is returned as it is. Throws FileWriteError when the second name cannot be
// made.
std::string PathToShowWallpaper(const std::string& wanted, const std::string& shownNow);

// The program's path for what a desktop reports: a second name made by PathToShowWallpaper maps
// back to the picture's own path (when that picture exists); any other path is returned as it is.
std::string OriginalWallpaperPath(const std::string& shown);

} // namespace palvina
