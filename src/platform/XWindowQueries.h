#pragma once

#include <string>
#include <vector>

struct _XDisplay;

namespace palvina {

// Window lookups on the X display shared by the desktop detection, the pointer test and the
// icon view switch. Windows are X ids (unsigned long, as Xlib's Window). Every lookup copes
// with windows that vanish meanwhile: the caller holds an XErrorTrap on the display.

// The application's own window for a top-level window: the window itself when it carries
// WM_STATE, else the first window below it that does (a window manager's frame holds it),
// else the window itself (no window manager: the top-level is the client).
unsigned long FindClientWindow(_XDisplay* display, unsigned long window);

// Whether _NET_WM_WINDOW_TYPE of the window lists _NET_WM_WINDOW_TYPE_DESKTOP.
bool HasDesktopWindowType(_XDisplay* display, unsigned long window);

// The client windows of type _NET_WM_WINDOW_TYPE_DESKTOP among the root's children, mapped
// or not, bottom to top.
std::vector<unsigned long> FindDesktopTypeWindows(_XDisplay* display);

// The two parts of WM_CLASS (instance, class); empty texts when it is missing.
struct WindowClass {
    std::string instance;
    std::string className;
};
WindowClass ReadWindowClass(_XDisplay* display, unsigned long window);

} // namespace palvina
