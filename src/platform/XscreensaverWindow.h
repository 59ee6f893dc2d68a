#pragma once

namespace palvina {

// True when xscreensaver runs on the X display: it marks its own window, a child of the
// root, with the property _SCREENSAVER_VERSION. False without a display.
bool XscreensaverRunning();

} // namespace palvina
