#pragma once

#include "platform/DesktopKind.h"

namespace palvina {

// Shows or hides the desktop icons through the desktop's own switch (XFCE /desktop-icons/style,
// MATE show-desktop-icons, Cinnamon/Nemo desktop-layout, GNOME's desktop-icons extension,
// pcmanfm --desktop-off). Returns false when this desktop has no such switch or it could not
// be used, so the caller falls back to unmapping the desktop window. Never throws.
bool SetIconsThroughDesktopSwitch(DesktopKind kind, bool visible);

} // namespace palvina
