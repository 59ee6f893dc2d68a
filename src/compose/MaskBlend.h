#pragma once

#include "compose/Bitmap.h"

#include <cstdint>
#include <string>

namespace palvina {

class RandomSource;

// x / 255 with the remainder dropped, without a division; exact for 0 <= x <= 65534, which holds
// every blend numerator (at most 255 * 255).
constexpr std::uint32_t DivideBy255(std::uint32_t x)
{
    return (x + 1 + (x >> 8)) >> 8;
}

// One colour component of picture pixel p blended into background b through mask weight a:
// a = 255 gives the picture, 0 the background.
constexpr std::uint8_t BlendComponent(std::uint8_t p, std::uint8_t b, std::uint8_t a)
{
    return static_cast<std::uint8_t>(DivideBy255(p * a + b * (255u - a)));
}

// Blends `picture` into `output` through `mask`, whose blue component is the weight. `output`
// becomes 24-bit with the picture's size (keeping its pixels where they overlap) and is the
// background of the blend. Only the part covered by both the mask and the picture is blended.
void BlendWithMask(const Bitmap& picture, const Bitmap& mask, Bitmap& output);

// The same through a mask chosen at random from `maskFolder` (reseeding `random` from the clock
// first) and smooth-stretched to the picture's size; `background` is given the picture's size
// and holds the result (partly blended when the mask fails to decode halfway). Throws
// PictureError when the folder has no mask or the mask does not decode.
void BlendWithRandomMask(const Bitmap& picture, Bitmap& background, const std::string& maskFolder,
                         RandomSource& random);

// The mask file BlendWithRandomMask uses: `random` is reseeded from the clock, then one of the
// folder's pictures (ListImageFiles) is taken at a random index. Throws PictureError when the
// folder has none.
std::string PickRandomMask(const std::string& maskFolder, RandomSource& random);

// Blends `picture` through `mask` into the rectangle of `canvas` whose top-left corner is
// (offX, offY), where both picture and mask have pixels; what falls outside the canvas is cut
// off. Gives the canvas what copying that rectangle out, blending it and copying it back would.
void BlendOnto(const Bitmap& picture, const Bitmap& mask, Bitmap& canvas, int offX, int offY);

// BlendOnto through a random mask from `maskFolder`, stretched to the picture's size while it
// is decoded and blended row by row, so the stretched mask is never held whole. On failure the
// canvas may be partly blended.
void BlendWithRandomMaskAt(const Bitmap& picture, Bitmap& canvas, int offX, int offY, const std::string& maskFolder,
                           RandomSource& random);

// The same for a JPEG picture stretched to width x height: the picture is stretched while it is
// decoded and each of its rows blended as it is finished, through the mask (reduced by the
// decoder as far as the shown size allows) stretched a row at a time, so neither is held at the
// shown size.
void BlendJpegWithRandomMaskAt(const std::string& picturePath, int width, int height, Bitmap& canvas, int offX,
                               int offY, const std::string& maskFolder, RandomSource& random);

} // namespace palvina
