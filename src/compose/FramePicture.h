#pragma once

#include "compose/Bitmap.h"

#include <string>

namespace palvina {

// Paints the frame picture onto the canvas and returns true. A ".bmp" file (any case) is loaded
// into the canvas as it is, so the canvas takes the file's size and content; anything else is
// decoded as JPEG and smooth-stretched onto the whole canvas. Throws PictureError.
bool PaintFramePicture(const std::string& framePath, Bitmap& canvas);

} // namespace palvina
