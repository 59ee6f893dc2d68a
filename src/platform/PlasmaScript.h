#pragma once

#include "platform/WallpaperMode.h"

#include <string>

namespace palvina {

// Plasma's desktop scripting (org.kde.PlasmaShell.evaluateScript), built and read here as plain
// text so it can be checked without Plasma.

// A JavaScript string literal in double quotes holding the UTF-8 text exactly: quotes,
// backslashes, line breaks and every control character are escaped.
std::string JavaScriptStringLiteral(const std::string& text);

// Plasma's FillMode (Qt Quick's Image.fillMode): 0 stretch, 1 keep proportions (fit),
// 2 keep proportions and crop (fill), 3 tile, 4 and 5 tile one way, 6 centred (pad). Span
// has no own mode and fills; None (no picture) is written as the default, 2.
int PlasmaFillModeFromMode(WallpaperMode mode);
WallpaperMode ModeFromPlasmaFillMode(int fillMode);

// A script that shows the picture (a URL such as "file:///...") with the fill mode on every
// desktop through the "org.kde.image" wallpaper.
std::string BuildPlasmaApplyScript(const std::string& imageUrl, int fillMode);

// A script that prints, as one JSON line, the first desktop's wallpaper plugin and its
// org.kde.image Image and FillMode values.
std::string BuildPlasmaReadScript();

struct PlasmaWallpaper {
    std::string plugin;    // "org.kde.image" for a picture
    std::string imageUrl;  // as stored: "file:///..." or a plain path; empty when none
    int fillMode = 2;      // Plasma's default when none is stored
};

// The answer to BuildPlasmaReadScript(): the last line that holds a JSON object. Throws
// std::runtime_error when there is none or Plasma has no desktop.
PlasmaWallpaper ParsePlasmaReadReply(const std::string& reply);

} // namespace palvina
