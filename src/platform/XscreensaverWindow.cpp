#include "platform/XscreensaverWindow.h"

#include "platform/XDisplay.h"
#include "platform/XErrorTrap.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace palvina {

bool XscreensaverRunning()
{
    XDisplay connection;
    if (!connection.isOpen()) {
        return false;
    }
    Display* display = connection.get();
    // A window may vanish between the listing and the question: that is no reason to end.
    XErrorTrap trap(display);
    const Atom version = XInternAtom(display, "_SCREENSAVER_VERSION", True);
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    bool found = false;
    if (version != None && XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i) {
            Atom type = None;
            int format = 0;
            unsigned long items = 0;
            unsigned long after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, children[i], version, 0, 0, False, AnyPropertyType, &type, &format,
                                   &items, &after, &data) == Success) {
                found = type != None;
            }
            if (data) {
                XFree(data);
            }
        }
        if (children) {
            XFree(children);
        }
    }
    trap.syncAndCheckError();
    return found;
}

} // namespace palvina
