#include "compose/MaskBlend.h"

#include "compose/ComposeContext.h"
#include "compose/JpegCodec.h"
#include "compose/Resampler.h"
#include "compose/StretchedRows.h"
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

void BlendPixels(const std::uint8_t* picture, const std::uint8_t* mask, std::uint8_t* background, int pixels)
{
    for (int x = 0; x < pixels; ++x, picture += 3, mask += 3, background += 3) {
        const std::uint8_t a = mask[0];
        background[0] = BlendComponent(picture[0], background[0], a);
        background[1] = BlendComponent(picture[1], background[1], a);
        background[2] = BlendComponent(picture[2], background[2], a);
    }
}

// Blends in runs of 16 pixels: the weights are spread to all three components first, so the
// blend itself is one fixed-length loop over bytes that the compiler vectorises.
void BlendRow(const std::uint8_t* __restrict picture, const std::uint8_t* __restrict mask,
              std::uint8_t* __restrict background, int pixels)
{
    constexpr int kRun = 16;
    constexpr int kBytes = kRun * 3;
    int x = 0;
    for (; x + kRun <= pixels; x += kRun, picture += kBytes, mask += kBytes, background += kBytes) {
        std::uint8_t weight[kBytes];
        for (int k = 0; k < kRun; ++k) {
            weight[3 * k] = weight[3 * k + 1] = weight[3 * k + 2] = mask[3 * k];
        }
        for (int i = 0; i < kBytes; ++i) {
            const auto sum = static_cast<std::uint16_t>(picture[i] * weight[i] + background[i] * (255 - weight[i]));
            background[i] = static_cast<std::uint8_t>((sum + 1u + (sum >> 8)) >> 8);
        }
    }
    BlendPixels(picture, mask, background, pixels - x);
}

// Blends a picture row of `width` pixels through a mask row of as many into the 24-bit canvas,
// the row's first pixel lying at (offX, y).
void BlendRowAt(const std::uint8_t* pictureRow, const std::uint8_t* maskRow, int width, Bitmap& canvas, int offX,
                long long y)
{
    if (y < 0 || y >= canvas.height()) {
        return;
    }
    const int left = std::max(0, -offX);
    const int right = static_cast<int>(std::min<long long>(width, static_cast<long long>(canvas.width()) - offX));
    if (left >= right) {
        return;
    }
    BlendRow(pictureRow + static_cast<std::size_t>(left) * 3, maskRow + static_cast<std::size_t>(left) * 3,
             canvas.row(static_cast<int>(y)) + static_cast<std::size_t>(offX + left) * 3, right - left);
}

} // namespace

void BlendWithMask(const Bitmap& picture, const Bitmap& mask, Bitmap& output)
{
    output.setFormat(PixelFormat::Bgr24);
    output.resize(picture.width(), picture.height());
    // A mask smaller than the picture blends only the part it covers.
    BlendOnto(picture, mask, output, 0, 0);
}

void BlendOnto(const Bitmap& picture, const Bitmap& mask, Bitmap& canvas, int offX, int offY)
{
    Bitmap picture24;
    Bitmap mask24;
    const Bitmap& p = As24Bit(picture, picture24);
    const Bitmap& k = As24Bit(mask, mask24);
    canvas.setFormat(PixelFormat::Bgr24);
    const int rows = std::min(p.height(), k.height());
    const int width = std::min(p.width(), k.width());
    for (int y = 0; y < rows; ++y) {
        BlendRowAt(p.row(y), k.row(y), width, canvas, offX, static_cast<long long>(offY) + y);
    }
}

std::string PickRandomMask(const std::string& maskFolder, RandomSource& random)
{
    random.reseedFromClock();
    std::vector<std::string> names;
    ListImageFiles(maskFolder, names);
    if (names.empty()) {
        throw PictureError("No mask picture in " + maskFolder);
    }
    const int index = random.below(static_cast<int>(names.size()));
    return WithTrailingBackslash(maskFolder) + names[static_cast<std::size_t>(index)];
}

void BlendWithRandomMaskAt(const Bitmap& picture, Bitmap& canvas, int offX, int offY, const std::string& maskFolder,
                           RandomSource& random)
{
    const std::string mask = PickRandomMask(maskFolder, random);
    Bitmap picture24;
    const Bitmap& p = As24Bit(picture, picture24);
    canvas.setFormat(PixelFormat::Bgr24);
    StretchJpegRows(mask, p.width(), p.height(), [&](int y, const std::uint8_t* maskRow) {
        BlendRowAt(p.row(y), maskRow, p.width(), canvas, offX, static_cast<long long>(offY) + y);
    });
}

void BlendJpegWithRandomMaskAt(const std::string& picturePath, int width, int height, Bitmap& canvas, int offX,
                               int offY, const std::string& maskFolder, RandomSource& random)
{
    // The mask is decoded only as large as the shown size needs, then stretched a row at a time.
    const Bitmap mask = DecodeJpegFile(PickRandomMask(maskFolder, random), width, height);
    StretchedRows maskRows(mask, width, height);
    canvas.setFormat(PixelFormat::Bgr24);
    StretchJpegRows(picturePath, width, height, [&](int y, const std::uint8_t* pictureRow) {
        BlendRowAt(pictureRow, maskRows.row(y), width, canvas, offX, static_cast<long long>(offY) + y);
    });
}

void BlendWithRandomMask(const Bitmap& picture, Bitmap& background, const std::string& maskFolder,
                         RandomSource& random)
{
    background.setFormat(PixelFormat::Bgr24);
    background.resize(picture.width(), picture.height());
    BlendWithRandomMaskAt(picture, background, 0, 0, maskFolder, random);
}

} // namespace palvina
