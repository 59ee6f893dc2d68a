#include "platform/XDisplay.h"

#include <X11/Xlib.h>

namespace palvina {

XDisplay::XDisplay()
    : display_(XOpenDisplay(nullptr))
{
}

XDisplay::~XDisplay()
{
    if (display_) {
        XCloseDisplay(display_);
    }
}

} // namespace palvina
