#pragma once

#include "compose/Bitmap.h"

#include <cstdint>
#include <string>

namespace palvina {

// Colours are 0x00BBGGRR; a system colour (0xFF000000 + index) stands for its RGB value.

// Fills the whole bitmap with one colour.
void FillSolid(Bitmap& bitmap, std::uint32_t colour);

// Fills the rectangle from (left, top) up to but not including (right, bottom), cut to the bitmap.
void FillRectangle(Bitmap& bitmap, int left, int top, int right, int bottom, std::uint32_t colour);

// Two-colour gradient over the whole bitmap, from the start colour at line 0 to the end colour
// at line n (just outside the bitmap): direction 0 horizontal bands over the height, 1 vertical
// bands over the width; any other direction draws nothing. Line i has, per component, the
// nearest integer (halves to even) to x * end + (1 - x) * start with x = i / n as a float.
void FillGradient(Bitmap& bitmap, int direction, std::uint32_t endColour, std::uint32_t startColour);

// Fills the whole bitmap with the picture repeated at its own size from the top-left corner: a
// BMP file when the extension is ".bmp" (any case), else decoded as JPEG. Throws PictureError.
void FillTiled(Bitmap& bitmap, const std::string& picturePath);

} // namespace palvina
