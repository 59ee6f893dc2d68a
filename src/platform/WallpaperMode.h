#pragma once

#include "platform/WallpaperSettings.h"

#include <string>
#include <string_view>

namespace palvina {

// How a desktop shows its wallpaper picture, the common ground of every backend.
enum class WallpaperMode { None, Tiled, Centred, Stretched, Fit, Fill, Span };

// The value without blanks (any byte up to ' ', control characters included) at either end.
std::string TrimWallpaperValue(std::string_view value);

// The program's tile/style values -> mode: tile "1" is tiled; otherwise style "0" centred,
// "2" stretched, "6" fit, "10" fill, "22" span; any other style is centred. Values are trimmed.
WallpaperMode ModeFromWindowsValues(const std::string& tile, const std::string& style);

// Mode -> tile/style values: tiled "1"/"0", centred "0"/"0", stretched "0"/"2", fit "0"/"6",
// fill "0"/"10", span "0"/"22"; None gives "0"/"0".
void WindowsValuesFromMode(WallpaperMode mode, std::string& tile, std::string& style);

} // namespace palvina
