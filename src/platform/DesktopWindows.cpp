#include "platform/DesktopWindows.h"

#include "platform/DesktopIconSwitch.h"
#include "platform/DesktopKind.h"
#include "platform/XDisplay.h"
#include "platform/XErrorTrap.h"
#include "platform/XWindowQueries.h"

#include <X11/Xlib.h>

namespace palvina {

// A connection per call: the callers ask at most about once a second, and a connection of our
// own cannot be left broken by a server that went away between two calls.

bool IsPointerOnBareDesktop()
{
    try {
        XDisplay connection;
        if (!connection.isOpen()) {
            return false;
        }
        Display* display = connection.get();
        XErrorTrap trap(display);
        Window root = 0;
        Window child = 0;
        int rootX = 0;
        int rootY = 0;
        int x = 0;
        int y = 0;
        unsigned int buttons = 0;
        if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y,
                           &buttons)) {
            return false;  // the pointer is on another screen
        }
        if (child == 0) {
            return true;
        }
        const bool desktop = HasDesktopWindowType(display, FindClientWindow(display, child));
        return !trap.syncAndCheckError() && desktop;
    } catch (...) {
        return false;
    }
}

void SetDesktopIconViewVisible(bool visible)
{
    try {
        const DesktopKind kind = DetectRunningDesktop();
        if (kind != DesktopKind::Other && SetIconsThroughDesktopSwitch(kind, visible)) {
            return;
        }
        if (kind == DesktopKind::Kde) {
            // Plasma draws the icons and the wallpaper in one desktop window: unmapping it would
            // take the wallpaper away too, so there the command has no effect.
            return;
        }
        XDisplay connection;
        if (!connection.isOpen()) {
            return;
        }
        Display* display = connection.get();
        XErrorTrap trap(display);
        for (unsigned long window : FindDesktopTypeWindows(display)) {
            if (visible) {
                XMapWindow(display, window);
            } else {
                XUnmapWindow(display, window);
            }
        }
        XSync(display, False);
    } catch (...) {
        // The command simply has no effect.
    }
}

} // namespace palvina
