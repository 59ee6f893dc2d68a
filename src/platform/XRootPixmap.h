#pragma once

#include "compose/Bitmap.h"

struct _XDisplay;

namespace palvina {

// Puts a 32-bit canvas into a new pixmap of the default screen's depth, each pixel converted
// through the default visual's red, green and blue masks (TrueColor or DirectColor of any
// depth, 24 and 32 bits included). Returns the pixmap's id; the caller owns it. Throws
// std::runtime_error when the visual has no masks (palette displays) or Xlib runs out of memory.
unsigned long UploadRootPixmap(_XDisplay* display, const Bitmap& canvas);

// Size and depth of a pixmap; false when the server does not answer (the caller traps the
// BadDrawable error of a pixmap that is gone).
bool ReadPixmapGeometry(_XDisplay* display, unsigned long pixmap, unsigned& width, unsigned& height,
                        unsigned& depth);

// The pixels of a pixmap of the default screen's depth, converted back through the default
// visual's masks into a 24-bit picture. Throws std::runtime_error when the pixmap cannot be
// read (gone, another depth) or the visual has no masks.
Bitmap DownloadRootPixmap(_XDisplay* display, unsigned long pixmap);

} // namespace palvina
