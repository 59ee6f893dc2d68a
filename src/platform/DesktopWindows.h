#pragma once

namespace palvina {

// True when the mouse pointer rests on the bare desktop: no window under it on the root, or
// the client window under it is of type _NET_WM_WINDOW_TYPE_DESKTOP. False when there is no
// X display.
bool IsPointerOnBareDesktop();

// Shows or hides the desktop's icon view: the running desktop's own switch where it has one
// (SetIconsThroughDesktopSwitch), otherwise by mapping/unmapping the _NET_WM_WINDOW_TYPE_DESKTOP
// window. Without an icon view nothing happens, nor on KDE Plasma, whose one desktop window
// draws the wallpaper too. Never throws.
void SetDesktopIconViewVisible(bool visible);

} // namespace palvina
