#pragma once

#include <memory>
#include <string>

namespace palvina {

class WallpaperBackend;

// Sets the desktop wallpaper. When the tile or the style value, trimmed, is empty, both become
// tile "1" and style "0". Never fails towards the caller: errors end the call silently.
void ApplyWallpaper(const std::string& path, const std::string& tile, const std::string& style);

// The desktop wallpaper's path, tile and style values. Never fails: when the backend cannot
// read them, all three are empty text. Calls of these two are serialised.
void ReadWallpaperSettings(std::string& path, std::string& tile, std::string& style);

// The backend in use: chosen once, on first use, from the running desktop
// (ChooseWallpaperBackend); thread-safe. The reference is valid until SetWallpaperBackend.
WallpaperBackend& CurrentWallpaperBackend();

// Replaces the backend in use (tests install a fake; nullptr chooses again on next use).
void SetWallpaperBackend(std::unique_ptr<WallpaperBackend> backend);

// The backend for the running desktop: XDG_CURRENT_DESKTOP confirmed by the desktop actually
// running; otherwise the plain X root window.
std::unique_ptr<WallpaperBackend> ChooseWallpaperBackend();

} // namespace palvina
