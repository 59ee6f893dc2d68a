#include "compose/MaskBlend.h"

#include "compose/ComposeContext.h"
#include "compose/Resampler.h"
#include "files/AppDir.h"
#include "files/Errors.h"
#include "files/Folders.h"

#include <algorithm>
#include <vector>

namespace palvina {

namespace {

// A 24-bit view of a bitmap: the bitmap itself when it is 24-bit already, else a converted copy.
const Bitmap& As24Bit(const Bitmap& bitmap, Bitmap& converted)
{
    if (bitmap.format() == PixelFormat::Bgr24) {
        return bitmap;
    }
    converted = bitmap;
    converted.setFormat(PixelFormat::Bgr24);
    return converted;
}

void BlendRow(const std::uint8_t* picture, const std::uint8_t* mask, std::uint8_t* background, int pixels)
{
    for (int x = 0; x < pixels; ++x, picture += 3, mask += 3, background += 3) {
        const std::uint8_t a = mask[0];
        background[0] = BlendComponent(picture[0], background[0], a);
        background[1] = BlendComponent(picture[1], background[1], a);
        background[2] = BlendComponent(picture[2], background[2], a);
    }
}

// Blends the picture area of size width x height starting at picture pixel (px, py) into the
// background starting at (bx, by); all three are 24-bit and the area lies inside each.
void BlendArea(const Bitmap& picture, const Bitmap& mask, Bitmap& background, int px, int py, int bx, int by,
               int width, int height)
{
    for (int y = 0; y < height; ++y) {
        BlendRow(picture.row(py + y) + static_cast<std::size_t>(px) * 3,
                 mask.row(py + y) + static_cast<std::size_t>(px) * 3,
                 background.row(by + y) + static_cast<std::size_t>(bx) * 3, width);
    }
}

} // namespace

void BlendWithMask(const Bitmap& picture, const Bitmap& mask, Bitmap& output)
{
    Bitmap picture24;
    Bitmap mask24;
    const Bitmap& p = As24Bit(picture, picture24);
    const Bitmap& k = As24Bit(mask, mask24);
    output.setFormat(PixelFormat::Bgr24);
    output.resize(p.width(), p.height());
    // A mask larger than the picture blends only where both exist.
    BlendArea(p, k, output, 0, 0, 0, 0, std::min(k.width(), p.width()), std::min(k.height(), p.height()));
}

Bitmap LoadRandomMask(const std::string& maskFolder, RandomSource& random, int width, int height)
{
    random.reseedFromClock();
    std::vector<std::string> names;
    ListImageFiles(maskFolder, names);
    if (names.empty()) {
        throw PictureError("No mask picture in " + maskFolder);
    }
    const std::string& name = names[static_cast<std::size_t>(random.below(static_cast<int>(names.size())))];
    return LoadJpegStretched(WithTrailingBackslash(maskFolder) + name, width, height);
}

void BlendWithRandomMask(const Bitmap& picture, Bitmap& background, const std::string& maskFolder,
                         RandomSource& random)
{
    const Bitmap mask = LoadRandomMask(maskFolder, random, picture.width(), picture.height());
    BlendWithMask(picture, mask, background);
}

void BlendOnto(const Bitmap& picture, const Bitmap& mask, Bitmap& canvas, int offX, int offY)
{
    Bitmap picture24;
    Bitmap mask24;
    const Bitmap& p = As24Bit(picture, picture24);
    const Bitmap& k = As24Bit(mask, mask24);
    canvas.setFormat(PixelFormat::Bgr24);
    const int areaWidth = std::min(p.width(), k.width());
    const int areaHeight = std::min(p.height(), k.height());
    const int left = std::max(0, -offX);
    const int top = std::max(0, -offY);
    const int right = std::min(areaWidth, canvas.width() - offX);
    const int bottom = std::min(areaHeight, canvas.height() - offY);
    if (left >= right || top >= bottom) {
        return;
    }
    BlendArea(p, k, canvas, left, top, offX + left, offY + top, right - left, bottom - top);
}

} // namespace palvina
