#pragma once

#include "compose/Bitmap.h"

#include <cstdint>

namespace palvina {

// Copies the whole of `source` 1:1 into `dest` with its top-left corner at (x, y); whatever
// falls outside `dest` is cut off. Either bitmap may be 24 or 32 bits.
void PlainCopy(const Bitmap& source, Bitmap& dest, int x, int y);

// The same for one 24-bit row of `width` pixels, placed with its first pixel at (x, y).
void PlaceRow(const std::uint8_t* bgr, int width, Bitmap& dest, int x, int y);

} // namespace palvina
