#pragma once

#include "compose/Bitmap.h"
#include "platform/WallpaperMode.h"

namespace palvina {

// The whole screen as the root window shows the wallpaper, a width x height 32-bit picture:
//  - tiled (and no mode given): the picture repeated at its own size from (0, 0);
//  - centred: at its own size in the middle (halves toward zero), cut where it overflows;
//  - stretched: the whole picture onto the whole screen (SmoothStretch);
//  - fit: scaled to lie wholly on the screen keeping its proportions, centred, black bars;
//  - fill and span: scaled to cover the screen keeping its proportions, centred, the
//    overflow cut (the root is one surface, so span is fill over all of it).
// An empty picture gives a black screen. Throws PictureError when the size is not acceptable.
Bitmap RenderRootCanvas(const Bitmap& picture, WallpaperMode mode, int width, int height);

} // namespace palvina
