#pragma once

#include "compose/Bitmap.h"

#include <string>

namespace palvina {

// True when the file name's extension (from its last '.'), lower-cased, is ".bmp".
bool HasBmpExtension(const std::string& path);

// Loads a picture at its own size: a BMP file when HasBmpExtension, else decoded as JPEG.
// Throws PictureError.
Bitmap LoadBmpOrJpeg(const std::string& path);

} // namespace palvina
