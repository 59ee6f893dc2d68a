#pragma once

#include <string_view>

namespace palvina {

enum class DesktopKind { Gnome, Cinnamon, Mate, Xfce, Lxde, Lxqt, Kde, Other };

// The desktop that XDG_CURRENT_DESKTOP names: the value is split on ':' and the first part
// that is known wins, in any letter case ("ubuntu:GNOME" -> Gnome, "X-Cinnamon" -> Cinnamon,
// "Unity" and "Budgie:GNOME" -> Gnome, "KDE" -> Kde, "LXDE" -> Lxde, "LXQt" -> Lxqt). Empty or
// unknown -> Other.
DesktopKind DesktopFromXdgCurrentDesktop(std::string_view value);

// Whether the desktop is actually running in this session: its D-Bus name on the session bus
// or its desktop window's class on the X display.
bool IsDesktopRunning(DesktopKind kind);

// XDG_CURRENT_DESKTOP confirmed by IsDesktopRunning; Other when either fails.
DesktopKind DetectRunningDesktop();

} // namespace palvina
