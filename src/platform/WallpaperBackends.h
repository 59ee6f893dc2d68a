#pragma once

#include <memory>

namespace palvina {

class WallpaperBackend;

// The plain X root window: a screen-size pixmap, always available (the fallback).
std::unique_ptr<WallpaperBackend> MakeXRootWallpaper();

// GSettings desktops: org.gnome.desktop.background (GNOME, Unity, Budgie),
// org.cinnamon.desktop.background (Cinnamon), org.mate.background (MATE).
std::unique_ptr<WallpaperBackend> MakeGnomeWallpaper();
std::unique_ptr<WallpaperBackend> MakeCinnamonWallpaper();
std::unique_ptr<WallpaperBackend> MakeMateWallpaper();

// XFCE through Xfconf over D-Bus.
std::unique_ptr<WallpaperBackend> MakeXfceWallpaper();

// LXDE (pcmanfm) and LXQt (pcmanfm-qt).
std::unique_ptr<WallpaperBackend> MakeLxdeWallpaper();
std::unique_ptr<WallpaperBackend> MakeLxqtWallpaper();

// KDE Plasma through org.kde.PlasmaShell.evaluateScript over D-Bus.
std::unique_ptr<WallpaperBackend> MakeKdeWallpaper();

} // namespace palvina
